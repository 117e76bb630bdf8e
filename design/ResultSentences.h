#pragma once

#include "design/DesignRecord.h"

#include <string>
#include <string_view>
#include <vector>

// The sentences of the results page, one per label, built from the record.
struct ResultSentences {
    std::string label17; // design resistivity
    std::string label18; // one electrode
    std::string label19; // estimated count
    std::string label20; // estimated strip length
    std::string label21; // strip resistance
    std::string label22; // total resistance
    std::string label24; // unrounded refined count, ends the fixed caption above it
    std::string label25; // the decision
    std::string label32; // refined strip length
    std::string label33; // the finished installation's resistance against the norm
    // A sentence for each picked utilization coefficient the tables do not bear out.
    std::vector<std::string> coefficientNotes;
};

// The fixed first half of the sentence that label24 ends.
inline constexpr std::string_view kRefinedCountCaption =
    "Уточнённое количество вертикальных заземлителей с учётом";

// "Сопротивление заземляющего устройства = 3,4 Ом ≤ 4 Ом", or that the norm is not met.
std::string InstallationSentence(const DesignRecord &record, std::string_view decimalSeparator);

// For each utilization coefficient more than 10 % off the tables at the decided count: what
// the table gives there, and that it is to be picked again.
std::vector<std::string> CoefficientNotes(const DesignRecord &record,
                                          std::string_view decimalSeparator);

ResultSentences ComposeResultSentences(const DesignRecord &record,
                                       std::string_view decimalSeparator);
