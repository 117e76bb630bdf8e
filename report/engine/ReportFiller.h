#pragma once

#include "report/engine/ReportRows.h"
#include "report/engine/WordProcessor.h"

#include <functional>
#include <string>
#include <vector>

// How a fill ended: complete, or stopped at a placeholder the document does not hold.
struct FillOutcome {
    bool complete = true;
    std::string missingPlaceholder;
};

// Each placeholder is tried this many times before the fill gives up on it.
inline constexpr int kReplacementAttempts = 3;

// Replaces the rows' placeholders one after the other, each searched from the top of the
// document; `advanced` is told each row's advance. A placeholder that cannot be replaced
// in kReplacementAttempts tries stops the fill, leaving what was done so far.
FillOutcome FillReport(WordProcessor &document, const std::vector<ReportRow> &rows,
                       const std::function<void(int advance)> &advanced);
