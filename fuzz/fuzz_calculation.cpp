// Any inputs the record can hold give either every result finite, or one of the three
// arithmetic messages with the fields before the fault written and the later ones
// untouched.

#include "design/Calculation.h"
#include "design/CoefficientMethod.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kUntouched = -7.25e-300; // no step computes this exact value

class Bytes {
public:
    Bytes(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T take()
    {
        T value{};
        const std::size_t n = std::min(sizeof(T), size_ - std::min(size_, pos_));
        if (n > 0) std::memcpy(&value, data_ + pos_, n);
        pos_ += sizeof(T);
        return value;
    }

    // A finite input, as the conversions give: never negative, never beyond a double.
    double real()
    {
        const double value = std::fabs(take<double>());
        return std::isfinite(value) ? value : 0;
    }

    std::int32_t whole() { return take<std::int32_t>() & 0x7fffffff; }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::vector<double *> ResultsInOrder(DesignRecord &r)
{
    return {&r.electrodeMidDepth,   &r.designResistivity,      &r.singleElectrodeResistance,
            &r.estimatedCountExact, &r.estimatedCountFraction, &r.estimatedCount,
            &r.stripLength,         &r.stripResistance,        &r.totalElectrodeResistance,
            &r.refinedCountExact,   &r.refinedCountFraction,   &r.refinedCount,
            &r.refinedStripLength,  &r.refinedStripResistance, &r.installationResistance,
            &r.fewerStripLength,    &r.fewerStripResistance,   &r.fewerInstallationResistance};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Bytes bytes(data, size);
    DesignRecord r;
    const auto choices = bytes.take<std::uint8_t>();
    r.arrangement = choices & 1 ? Arrangement::row : Arrangement::contour;
    r.electrodeMaterial = static_cast<ElectrodeMaterial>((choices >> 1) % 3);
    r.upperResistivity = bytes.real();
    r.lowerResistivity = bytes.real();
    r.verticalClimaticCoefficient = bytes.real();
    r.horizontalClimaticCoefficient = bytes.real();
    r.upperLayerThickness = bytes.real();
    r.stripDepth = bytes.real();
    r.normativeResistance = bytes.whole();
    r.angleWidth = bytes.whole();
    r.rodDiameter = bytes.whole();
    r.electrodeLength = bytes.real();
    r.stripWidth = bytes.whole();
    r.electrodeSpacing = bytes.real();
    r.stripUtilization = bytes.real();
    r.electrodeUtilization = bytes.real();
    // A byte past the inputs asks for the coefficients by the tables as well; the corpus
    // written before it stays given.
    const bool tabulated = bytes.take<std::uint8_t>() & 1;
    for (double *field : ResultsInOrder(r))
        *field = kUntouched;
    r.countNoun = r.countAdjective = "untouched";
    try {
        CalculateGrounding(r);
    } catch (const ArithmeticError &error) {
        const std::string message = error.what();
        FUZZ_CHECK(message == "Floating point division by zero" ||
                   message == "Invalid floating point operation" ||
                   message == "Floating point overflow");
        FUZZ_CHECK(!error.step().empty()); // the result it was working out
        bool faultSeen = false;
        for (double *field : ResultsInOrder(r)) {
            if (*field == kUntouched)
                faultSeen = true;
            else
                FUZZ_CHECK(!faultSeen && std::isfinite(*field));
        }
        FUZZ_CHECK(faultSeen);
        FUZZ_CHECK(r.countNoun == "untouched" && r.countAdjective == "untouched");
        return 0;
    }
    for (double *field : ResultsInOrder(r))
        FUZZ_CHECK(std::isfinite(*field) && *field != kUntouched);
    FUZZ_CHECK(r.estimatedCount >= 1 && r.estimatedCount == std::trunc(r.estimatedCount));
    FUZZ_CHECK(r.refinedCount >= 1 && r.refinedCount == std::trunc(r.refinedCount));
    FUZZ_CHECK(r.stripLength != 0);
    if (r.estimatedCount == r.refinedCount) FUZZ_CHECK(r.refinedStripLength == r.stripLength);
    FUZZ_CHECK(r.refinedStripLength != 0);
    FUZZ_CHECK(r.countNoun != "untouched");
    FUZZ_CHECK(std::isfinite(r.tabulatedStripUtilization) && r.tabulatedStripUtilization > 0);
    FUZZ_CHECK(std::isfinite(r.tabulatedElectrodeUtilization) &&
               r.tabulatedElectrodeUtilization > 0);
    // The decision meets the norm, and one electrode fewer does not.
    const std::int32_t Rn = r.normativeResistance;
    if (r.installationMeetsNorm) {
        FUZZ_CHECK(r.refinedCount <= std::max(r.estimatedCount + 1, LeastCount(r.arrangement)));
        FUZZ_CHECK(r.installationResistance > 0 && r.installationResistance <= Rn);
        // A contour takes its tables' least count even where fewer would do; a resistance of
        // next to nothing (an underflowing electrode), or of a strip of 0 or below, is no
        // installation to decide on.
        if (r.refinedCount > LeastCount(r.arrangement) && r.refinedCount < 9007199254740992.0)
            FUZZ_CHECK(!(r.fewerInstallationResistance > 1e-9 &&
                         r.fewerInstallationResistance <= Rn && r.fewerStripResistance > 0));
        // With given coefficients the row below takes the design's own, as the decision did.
        if (r.refinedCount > 1)
            FUZZ_CHECK(r.fewerElectrodeUtilization == r.electrodeUtilization &&
                       r.fewerStripUtilization == r.stripUtilization);
    } else {
        FUZZ_CHECK(r.refinedCount == std::max(r.estimatedCount, LeastCount(r.arrangement)) ||
                   r.refinedCount == r.estimatedCount);
    }
    if (r.stripAloneMeetsNorm)
        FUZZ_CHECK(r.refinedCountExact == 0 && r.totalElectrodeResistance == 0);
    // The whole calculation from the inputs alone decides the same.
    const DesignResult whole = Calculate(r);
    FUZZ_CHECK(whole.record.refinedCount == r.refinedCount &&
               whole.record.installationResistance == r.installationResistance);
    if (!tabulated) return 0;
    // By the tables every count takes its own coefficients, the row below the decision too,
    // and that row does not meet the norm either.
    DesignRecord own = r;
    own.utilization = UtilizationSource::tabulated;
    try {
        own = Calculate(own).record;
    } catch (const ArithmeticError &) {
        return 0;
    }
    const double n = own.refinedCount;
    if (own.settling != Settling::settled || n <= LeastCount(own.arrangement) ||
        n >= 9007199254740992.0)
        return 0;
    FUZZ_CHECK(TabulatedCoefficients(own, n) ==
               std::pair(own.electrodeUtilization, own.stripUtilization));
    FUZZ_CHECK(TabulatedCoefficients(own, n - 1) ==
               std::pair(own.fewerElectrodeUtilization, own.fewerStripUtilization));
    FUZZ_CHECK(!(own.fewerInstallationResistance > 1e-9 &&
                 own.fewerInstallationResistance <= own.allowedResistance &&
                 own.fewerStripResistance > 0));
    return 0;
}
