#include "report/engine/ReportPipeline.h"

#include "report/engine/FieldSection.h"
#include "report/engine/ReportFiller.h"
#include "report/engine/ReportRows.h"
#include "report/engine/RtfWordProcessor.h"
#include "report/engine/SurveySection.h"

#include <algorithm>
#include <chrono>
#include <cmath>

MadeReport MakeReport(const ReportRequest &request)
{
    const auto progress = [&request](int percent) {
        if (request.progress) request.progress(percent);
    };
    std::string filled;
    RtfWordProcessor document([&filled](const std::string &rtf) {
        filled = rtf;
        return true;
    });
    progress(0);
    if (!document.OpenDocument(request.templatePath))
        return {.failure = MadeReport::Failure::templateUnreadable};
    const std::optional<FieldReading> field = ReportedField(request.record, request.fieldCheck);
    std::vector<ReportRow> rows =
        ReportRows(request.record, TodayInWords(), field ? &*field : nullptr);
    if (request.drawing) {
        if (std::string png = request.drawing(request.record); !png.empty())
            PlaceDrawing(rows, std::move(png));
    }
    if (field && field->problem.empty() && request.fieldMap)
        PlaceFieldMap(rows, request.fieldMap(DecidedCheck(*field)));
    if (request.record.survey && request.surveyPlot)
        PlaceSurveyPlot(rows, request.surveyPlot(*request.record.survey,
                                                 ReportedSurveyFit(request.record.survey)));

    // The filling is quick; with a PDF the office's part is most of the wait.
    const int fillShare = request.office ? 20 : 100;
    int percent = 0;
    const FillOutcome fill = FillReport(document, rows, [&](int advance) {
        percent = std::min(100, percent + advance);
        progress(percent * fillShare / 100);
    });
    if (!fill.complete)
        return {.failure = MadeReport::Failure::placeholderMissing,
                .missingPlaceholder = fill.missingPlaceholder};
    document.SetWordVisible(true);
    if (!request.office) {
        progress(100);
        return {.bytes = std::move(filled)};
    }

    // The bar creeps on while the office works, never quite to the end.
    const auto started = std::chrono::steady_clock::now();
    PdfConversion made = ConvertToPdf(*request.office, filled, kPdfDeadline, [&] {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        progress(fillShare + static_cast<int>((95 - fillShare) * (1 - std::exp(-seconds / 4))));
        return !request.keepGoing || request.keepGoing();
    });
    if (made.failure != PdfConversion::Failure::none)
        return {.failure = MadeReport::Failure::pdf,
                .pdfFailure = made.failure,
                .detail = std::move(made.detail)};
    progress(100);
    return {.bytes = std::move(made.pdf)};
}
