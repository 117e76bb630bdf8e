#include "design/Sizing.h"

#include "design/Number.h"

#include <cmath>

bool MeetsNorm(const Installation &installation, double norm)
{
    return installation.holds && installation.resistance > 0 && installation.resistance <= norm;
}

// The answer lies in 1…estimate. R(n) falls with n, so a bisection finds it in a handful
// of steps; whatever the method, the count it returns meets the norm and the one below it
// does not.
Sizing SmallestCountMeetingNorm(const InstallationOfCount &installationOf, double norm,
                                double estimate, double leastCount)
{
    Sizing s;
    s.decided = installationOf(estimate);
    if (!MeetsNorm(s.decided, norm)) {
        // Only rounding can leave the estimate just short; beyond that the inputs are out
        // of the formulas' range and no count is looked for.
        const Installation next = installationOf((Number(estimate) + 1).value());
        if (!MeetsNorm(next, norm)) return s;
        s.decided = next;
    }
    s.met = true;
    const Installation meeting = s.decided;
    // Halves (failing, s.decided] down to one count that meets with the one below failing.
    const auto narrow = [&](double failing) {
        while (s.decided.count - failing > 1) {
            const double middle = std::floor(failing + (s.decided.count - failing) / 2);
            if (middle <= failing || middle >= s.decided.count) break; // beyond 2^53
            const Installation tried = installationOf(middle);
            if (MeetsNorm(tried, norm)) {
                s.decided = tried;
            } else {
                failing = middle;
                s.fewer = tried;
            }
        }
    };
    narrow(0); // no electrodes meet nothing
    if (s.decided.count < leastCount) {
        s.decided = installationOf(leastCount);
        s.fewer = installationOf(leastCount - 1);
        s.met = MeetsNorm(s.decided, norm);
        // Where the formulas stop falling with the count (a strip far wider than its
        // length), the least count may fail though more electrodes met: the count taken
        // is then the least above it that meets, never a failing one beside one that met.
        if (!s.met && meeting.count > leastCount) {
            s.fewer = s.decided;
            s.decided = meeting;
            s.met = true;
            narrow(leastCount);
        }
    }
    return s;
}
