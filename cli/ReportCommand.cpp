// --report: the filled template, or its PDF, written whole to the file named.

#include "cli/Commands.h"

#include "cli/DesignJson.h"
#include "cli/Status.h"
#include "report/engine/DrawingModule.h"
#include "report/engine/OfficeProgram.h"
#include "report/engine/PdfConversion.h"
#include "report/engine/ReportPipeline.h"
#include "report/engine/ReportRows.h"
#include "report/engine/ReportTemplate.h"
#include "report/engine/WholeFile.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <sys/stat.h>

using enum Status;

namespace {

namespace fs = std::filesystem;

// The drawing of the report; nothing, with a word on standard error, where the module
// cannot be loaded.
std::string Drawing(const DesignRecord &record)
{
    const auto draw =
        reinterpret_cast<decltype(&TelmarDrawInstallation)>(DrawingEntry(kDrawingEntry));
    std::string png;
    if (draw && draw(&record, ",", KeepDrawn, &png)) return png;
    std::cerr << "telmar-calc: the report goes without its drawing: the drawing module "
                 "(libtelmar-drawing.so) cannot be loaded\n";
    return {};
}

// The plot of the survey's section; nothing where it cannot be drawn.
std::string SurveyPlot(const Survey &survey, const std::optional<SurveyFit> &fit)
{
    const auto draw =
        reinterpret_cast<decltype(&TelmarDrawSurveyPlot)>(DrawingEntry(kSurveyPlotEntry));
    std::string png;
    if (draw && draw(&survey, fit ? &*fit : nullptr, kSurveyPlotWidthPixels,
                     kSurveyPlotHeightPixels, ",", KeepDrawn, &png))
        return png;
    return {};
}

// The filled report as a PDF whose pages the drawing module draws; the run ends where it
// cannot.
std::string DrawnPdf(const std::string &rtf)
{
    const auto draw = reinterpret_cast<decltype(&TelmarPdfOfRtf)>(DrawingEntry(kPdfOfRtfEntry));
    if (!draw)
        Fail(reportFailed, "no office is installed to make the PDF (LibreOffice's soffice), "
                           "and the drawing module (libtelmar-drawing.so) that draws it "
                           "cannot be loaded; write the report as FILE.rtf instead");
    std::string pdf;
    if (!draw(rtf.data(), rtf.size(), KeepDrawn, &pdf) || pdf.empty())
        Fail(reportFailed, "the report's PDF could not be drawn");
    return pdf;
}

bool SameFile(const fs::path &a, const fs::path &b)
{
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Set by Ctrl+C, a TERM or a closed terminal's HUP while the office makes the PDF: the office, in a
// session of its own, hears neither, and is ended by us before we go.
volatile std::sig_atomic_t interrupted = 0;

bool IsPdf(const fs::path &path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".pdf";
}

// The report made, the office's PDF caught from a Ctrl+C or a TERM on the way.
MadeReport MakeReportHeedingSignals(const ReportRequest &request)
{
    if (!request.office) return MakeReport(request);
    struct sigaction catcher {
    }, previousInt{}, previousTerm{}, previousHup{};
    catcher.sa_handler = [](int) { interrupted = 1; };
    ::sigaction(SIGINT, &catcher, &previousInt);
    ::sigaction(SIGTERM, &catcher, &previousTerm);
    ::sigaction(SIGHUP, &catcher, &previousHup);
    MadeReport made = MakeReport(request);
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    ::sigaction(SIGHUP, &previousHup, nullptr);
    return made;
}

// Ends the run where the office made no PDF, with the reason.
void CheckPdf(const MadeReport &made, const fs::path &office)
{
    const std::string detail = made.detail.empty() ? "" : ": " + Shown(made.detail, 300);
    switch (made.pdfFailure) {
    case PdfConversion::Failure::none:
        return;
    case PdfConversion::Failure::cannotStart:
        Fail(reportFailed,
             "cannot start the office '" + Shown(office.string(), 400) + "'" + detail);
    case PdfConversion::Failure::timedOut:
        Fail(reportFailed, "the office made no PDF in " + std::to_string(kPdfDeadline.count()) +
                               " s and was ended");
    case PdfConversion::Failure::cancelled:
        Fail(reportFailed, "interrupted; the office was ended and no report written");
    case PdfConversion::Failure::failed:
        Fail(reportFailed, "the office made no PDF" + detail);
    }
}

// Ends the run where the report may not go to `shown` or could not be written there.
void CheckWritten(const WholeFileWrite &write, const std::string &shown)
{
    switch (write.failure) {
    case WholeFileWrite::Failure::none:
        return;
    case WholeFileWrite::Failure::notRegular:
        Fail(reportFailed, "'" + shown + "' is not a regular file; the report goes only to one");
    case WholeFileWrite::Failure::linkNotToRegular:
        Fail(reportFailed,
             "'" + shown + "' is a link to no regular file; the report goes only to one");
    case WholeFileWrite::Failure::failed:
        Fail(reportFailed, "cannot write '" + shown + "': " + write.reason);
    }
}

} // namespace

// Fills the template as the Report button does and writes it to the report file, as RTF or,
// for a name ending in .pdf, as the office's PDF: never over the template or anything but a
// regular file or a link to one, over an existing one only when forced, and always whole.
void WriteReport(const DesignRecord &record, const Options &options)
{
    const fs::path templatePath = options.reportTemplate.value_or(
        FindReportTemplate(fs::read_symlink("/proc/self/exe").parent_path()));
    const fs::path &target = *options.report;
    const std::string shown = Shown(target.string());
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (SameFile(target, templatePath))
            Fail(reportFailed, "refusing to write the report over its template '" + shown + "'");
        CheckWritten(WholeFileTarget(target), shown);
        if (!options.force) Fail(reportFailed, "'" + shown + "' exists; use --force to replace it");
    }
    std::optional<fs::path> office;
    const bool pdf = IsPdf(target);
    if (pdf && options.office != "none") {
        office = FindOfficeProgram(options.office);
        if (!office && !options.office.empty())
            Fail(reportFailed,
                 "the office '" + Shown(options.office, 400) + "' is not a program to run");
    }

    const MadeReport made = MakeReportHeedingSignals(
        {.record = record,
         .templatePath = templatePath,
         .drawing = Drawing,
         .office = office,
         .keepGoing = [] { return !interrupted; },
         .fieldCheck = options.field,
         .fieldMap =
             [](const FieldCheck &check) {
                 return FieldMapPng(check, kFieldMapWidthPixels, kFieldMapHeightPixels);
             },
         .surveyPlot = SurveyPlot});
    switch (made.failure) {
    case MadeReport::Failure::none:
        break;
    case MadeReport::Failure::templateUnreadable:
        Fail(reportFailed,
             "cannot read the report template '" + Shown(templatePath.string(), 400) + "'");
    case MadeReport::Failure::placeholderMissing:
        Fail(reportFailed, "the report template '" + Shown(templatePath.string(), 400) +
                               "' has no place for '" + made.missingPlaceholder + "'");
    case MadeReport::Failure::pdf:
        CheckPdf(made, *office);
    }
    if (pdf && !office) {
        // No office: the pages are drawn here.
        CheckWritten(WriteWholeFile(target, DrawnPdf(made.bytes)), shown);
        return;
    }
    CheckWritten(WriteWholeFile(target, made.bytes), shown);
}
