#pragma once

#include "design/DesignRecord.h"
#include "design/FieldSizing.h"
#include "report/engine/PdfConversion.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// The drawing of the installation as PNG, kDrawingWidthPixels by kDrawingHeightPixels;
// empty where it cannot be drawn, and the report goes without it.
using ReportDrawing = std::function<std::string(const DesignRecord &record)>;

// What the built-in engine makes a report of.
struct ReportRequest {
    const DesignRecord &record;
    std::filesystem::path templatePath;
    ReportDrawing drawing = {}; // none: the report goes without its drawing
    // Given: the filled document is converted to PDF by this office.
    std::optional<std::filesystem::path> office = std::nullopt;
    std::function<void(int percent)> progress = {}; // 0 to 100
    std::function<bool()> keepGoing = {};           // asked while the office works
    // «Проверка расчётом поля» though the design decides by the coefficients.
    bool fieldCheck = false;
    // The map of the section's installation as PNG, kFieldMapWidthPixels by
    // kFieldMapHeightPixels; none: the section goes without it.
    std::function<std::string(const FieldCheck &check)> fieldMap = {};
    // The plot of the design's survey as PNG, kSurveyPlotWidthPixels by
    // kSurveyPlotHeightPixels; none: «Результаты изысканий» goes without it.
    std::function<std::string(const Survey &survey, const std::optional<SurveyFit> &fit)>
        surveyPlot = {};
};

// The report made, or the step that failed.
struct MadeReport {
    enum class Failure {
        none,
        templateUnreadable, // the template could not be read as RTF
        placeholderMissing, // the template has no place for `missingPlaceholder`
        pdf,                // the office made no PDF; see `pdfFailure` and `detail`
    };
    Failure failure = Failure::none;
    std::string missingPlaceholder = {};
    PdfConversion::Failure pdfFailure = PdfConversion::Failure::none;
    std::string detail = {}; // the system's reason or the office's last words
    std::string bytes = {};  // the filled RTF document, or its PDF

    bool made() const { return failure == Failure::none; }
};

// Fills the template with the rows of the record, dated today and with its drawing, and,
// where an office is given, converts the document to PDF. Writes no file and may run on
// any thread.
MadeReport MakeReport(const ReportRequest &request);
