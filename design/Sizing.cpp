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
    double failing = 0; // no electrodes meet nothing
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
    if (s.decided.count < leastCount) {
        s.decided = installationOf(leastCount);
        s.fewer = installationOf(leastCount - 1);
        s.met = MeetsNorm(s.decided, norm);
    }
    return s;
}
