#pragma once

#include "DesignRecord.h"

#include <string>
#include <string_view>

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
};

// The fixed first half of the sentence that label24 ends.
inline constexpr std::string_view kRefinedCountCaption =
    "Уточнённое количество вертикальных заземлителей с учётом";

ResultSentences ComposeResultSentences(const DesignRecord &record, std::string_view decimalSeparator);
