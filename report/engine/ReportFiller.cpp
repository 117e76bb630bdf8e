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
            const bool drawn = row.picture && !row.png.empty();
            if (drawn)
                replaced = document.replaceWithPicture(row.placeholder, row.png, row.widthTwips,
                                                       row.heightTwips);
            // An empty section leaves no blank paragraphs behind; a backend that cannot take
            // a paragraph out leaves it empty.
            if (!drawn && row.text.empty() && row.paragraphOptional)
                replaced = document.removeParagraphOf(row.placeholder);
            if (!replaced) replaced = document.ReplacePlaceholder(row.placeholder, row.text);
        }
        if (!replaced)
            return {.complete = false, .missingPlaceholder = std::string(row.placeholder)};
        if (row.advance > 0 && advanced) advanced(row.advance);
    }
    return {};
}
