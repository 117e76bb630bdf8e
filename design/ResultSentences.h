#pragma once

#include "design/DesignRecord.h"

#include <string>
#include <string_view>
#include <vector>

// The sentences of the results page, built from the record; the label that shows each.
struct ResultSentences {
    std::string designResistivity;    // Label17
    std::string singleElectrode;      // Label18, the resistance of one electrode
    std::string estimatedCount;       // Label19
    std::string estimatedStripLength; // Label20
    std::string stripResistance;      // Label21
    std::string totalResistance;      // Label22, what the electrodes must reach beside the strip
    std::string refinedCount;         // Label24, x₂ unrounded: it ends kRefinedCountCaption
    std::string decision;             // Label25, the count to install
    std::string refinedStripLength;   // Label32
    std::string installation;         // Label33, the finished installation against the norm
    // A sentence for each picked utilization coefficient the tables do not bear out.
    std::vector<std::string> coefficientNotes;
};

// The fixed first half of the sentence that refinedCount ends (Label23).
inline constexpr std::string_view kRefinedCountCaption =
    "Уточнённое количество вертикальных заземлителей с учётом";

// For each utilization coefficient more than 10 % off the tables at the decided count: what
// the table gives there, and that it is to be picked again.
std::vector<std::string> CoefficientNotes(const DesignRecord &record,
                                          std::string_view decimalSeparator);

ResultSentences ComposeResultSentences(const DesignRecord &record,
                                       std::string_view decimalSeparator);
