#include "report/engine/ReportFiller.h"

FillOutcome FillReport(WordProcessor &document, const std::vector<ReportRow> &rows,
                       const std::function<void(int)> &advanced)
{
    for (const ReportRow &row : rows) {
        document.SelectionToStart();
        bool replaced = false;
        for (int attempt = 0; attempt < kReplacementAttempts && !replaced; ++attempt) {
            // A drawing the backend cannot take leaves its place empty rather than the report
            // unfinished.
            if (row.picture && !row.png.empty())
                replaced = document.replaceWithPicture(row.placeholder, row.png, row.widthTwips,
                                                       row.heightTwips);
            if (!replaced) replaced = document.ReplacePlaceholder(row.placeholder, row.text);
        }
        if (!replaced)
            return {.complete = false, .missingPlaceholder = std::string(row.placeholder)};
        if (row.advance > 0 && advanced) advanced(row.advance);
    }
    return {};
}
