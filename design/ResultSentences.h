#pragma once

#include "design/DesignRecord.h"
#include "design/DesignResult.h"

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
    // The two sentences that set a resistance beside a raised norm, without the norm's
    // clause, for a line too short for the whole; empty where there is no allowance.
    std::string totalResistanceBrief;
    std::string installationBrief;
    // What the user is to act on: coefficients the tables do not bear out, sizes below
    // the least ПУЭ allows; then what a number means where it may be misread, which the
    // line that shows it gives as its tooltip too.
    std::vector<std::string> notes;
    std::string totalResistanceNote; // Label22's Rз is a requirement, not a result
    std::string countNote;           // Label24 and Label25: the count taken is past n′
    // Whether re-picking the coefficients from the tables is to be offered.
    bool offerSettling = false;
    // The results no sentence above shows, each "caption = value unit", after them.
    std::vector<std::string> extras;
};

// The fixed first half of the sentence that refinedCount ends (Label23).
inline constexpr std::string_view kRefinedCountCaption =
    "Уточнённое количество вертикальных заземлителей с учётом";

// A resistance written beside the norm it `meets` or not: one decimal as the results write
// resistances, more where one would read against the decision (3,35 ≤ 3,36, not 3,4 ≤ 3,36).
// `leastDecimals` above 1 writes that many at the least.
std::string ResistanceAgainstNorm(double resistance, double norm, bool meets,
                                  std::string_view decimalSeparator, int leastDecimals = 1);

// Whether both utilization coefficients agree with the tables at the decided count.
bool CoefficientsAgree(const DesignRecord &record);

// Where the coefficients are more than 10 % off the tables at the decided count: what the
// tables give there, and how to settle them; or that the tables settle nothing.
std::vector<std::string> CoefficientNotes(const DesignRecord &record,
                                          std::string_view decimalSeparator);

// An electrode or strip below the least sizes of black steel in the ground.
std::vector<std::string> SizeNotes(const DesignRecord &record, std::string_view decimalSeparator);

// The inputs and the decision outside what the method's tables cover: the ratio a/L and
// the counts of the utilization tables, the electrode lengths of the climatic table, the
// resistivities of the soil table. The calculation still runs; these say where its
// coefficients are taken from the tables' edge, or which input to check.
std::vector<std::string> RangeNotes(const DesignRecord &record, std::string_view decimalSeparator);

// Why a line's number reads as it does: Rз is what the vertical electrodes must give, not
// what the installation gives; the count taken is past n′ rounded up because fewer
// electrodes miss the norm. Empty where the line needs no word.
std::string TotalResistanceNote(const DesignRecord &record, std::string_view decimalSeparator);
std::string CountNote(const DesignRecord &record, std::string_view decimalSeparator);

ResultSentences ComposeResultSentences(const DesignRecord &record,
                                       std::string_view decimalSeparator);
ResultSentences ComposeResultSentences(const DesignResult &result,
                                       std::string_view decimalSeparator);

// The results of `result` that no sentence of the page shows: the lines of `extras`.
std::vector<std::string> ExtraResultLines(const DesignResult &result,
                                          std::string_view decimalSeparator);
