#pragma once

#include <optional>
#include <string>
#include <vector>

// A soil survey turned into the two layers the calculation takes: the readings of one
// Wenner line or one Schlumberger sounding, the two-layer earth each array sees, and the
// ρ1, ρ2 and H that best explain the readings.

enum class SurveyMethod { wenner, schlumberger };

// What was read at one spacing: a measured resistance R (Ом) or an apparent resistivity
// ρк (Ом·м).
enum class SurveyQuantity { resistance, apparentResistivity };

struct SurveyReading {
    double spacing = 0;          // Wenner: a; Schlumberger: AB/2, m
    double potentialSpacing = 0; // Schlumberger: MN/2, m; unused for Wenner
    double value = 0;            // R, Ом, or ρк, Ом·м, as `SurveyQuantity` says
};

struct Survey {
    SurveyMethod method = SurveyMethod::wenner;
    SurveyQuantity quantity = SurveyQuantity::apparentResistivity;
    std::vector<SurveyReading> readings;
    // Kept with the readings for the report; the fit takes the electrodes as points on the
    // surface, the probes being driven shallow against the spacings.
    double probeDepth = 0; // m, 0 when not given
    std::string date;
    std::string place;
};

struct TwoLayerSoil {
    double upperResistivity = 0;    // ρ1, Ом·м
    double lowerResistivity = 0;    // ρ2, Ом·м
    double upperLayerThickness = 0; // H, m
};

// Above this misfit two layers explain the readings poorly.
inline constexpr double kPoorFitPercent = 10;

struct SurveyFit {
    // A uniform soil has ρ1 = ρ2 and no thickness.
    double upperResistivity = 0;
    double lowerResistivity = 0;
    std::optional<double> upperLayerThickness;
    double rmsPercent = 0; // RMS of (ρк fitted − ρк read)/ρк read, per cent
    bool uniform = false;
    bool poor = false;
};

// The layers a fit puts on the soil page: ρ to a tenth of an Ом·м and H to a centimetre,
// as a survey can tell them; a uniform soil gives its ρ to both layers and no H.
struct AppliedSoil {
    double upperResistivity = 0;
    double lowerResistivity = 0;
    std::optional<double> upperLayerThickness;
};
AppliedSoil SoilToApply(const SurveyFit &fit);

// A fit, or the reason there is none: a Russian message naming the row (counted from 1).
struct SurveyOutcome {
    std::optional<SurveyFit> fit;
    std::string fault;
};

// The apparent resistivity the array reads over the two-layer earth.
double ApparentResistivity(SurveyMethod method, double spacing, double potentialSpacing,
                           const TwoLayerSoil &soil);

// ρк of one reading: R times the array's geometric factor, or ρк as read.
double ReadingResistivity(const Survey &survey, const SurveyReading &reading);

// The first fault of the readings in Russian, or nothing when they can be fitted.
std::optional<std::string> SurveyFault(const Survey &survey);

// ρ1, ρ2 and H by least squares on the logarithms of ρк, from several starting guesses.
SurveyOutcome FitSurvey(const Survey &survey);

// What the fit says, a sentence a line, with the decimal comma.
std::vector<std::string> SurveySentences(const SurveyFit &fit);
