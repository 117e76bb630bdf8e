#include "report/engine/DrawingModule.h"

#include "report/FieldMapPicture.h"
#include "report/InstallationDrawing.h"
#include "report/ReportPages.h"
#include "report/SurveyPlot.h"
#include "report/engine/ReportRows.h"

#include <QGuiApplication>

#include <exception>
#include <memory>

namespace {

// Fonts and images need an application; offscreen, it needs no display.
std::unique_ptr<QGuiApplication> Application()
{
    static int argc = 1;
    static char name[] = "telmar-calc";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the session it runs in are no business of a command line's.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application;
}

} // namespace

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawInstallation(const DesignRecord *record, const char *separator, DeliverDrawing deliver,
                       void *context)
{
    try {
        const auto application = Application();
        const QByteArray png =
            InstallationPng(*record, QSize(kDrawingWidthPixels, kDrawingHeightPixels), separator);
        if (png.isEmpty()) return false;
        deliver(context, png.constData(), static_cast<std::size_t>(png.size()));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawFieldMap(const FieldCheck *check, int width, int height, const char *separator,
                   DeliverDrawing deliver, void *context)
{
    try {
        if (!check->solution) return false;
        const FieldMapData data = FieldMapOf(*check->solution, check->voltages);
        const auto application = Application();
        const QByteArray png = FieldMapPng(data, QSize(width, height), separator);
        if (png.isEmpty()) return false;
        deliver(context, png.constData(), static_cast<std::size_t>(png.size()));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawSurveyPlot(const Survey *survey, const SurveyFit *fit, int width, int height,
                     const char *separator, DeliverDrawing deliver, void *context)
{
    try {
        const auto application = Application();
        const QByteArray png = SurveyPlotPng(*survey, fit ? std::optional(*fit) : std::nullopt,
                                             QSize(width, height), separator);
        if (png.isEmpty()) return false;
        deliver(context, png.constData(), static_cast<std::size_t>(png.size()));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

extern "C" __attribute__((visibility("default"))) bool
TelmarPdfOfRtf(const char *rtf, std::size_t size, DeliverDrawing deliver, void *context)
{
    try {
        const auto application = Application();
        const QByteArray pdf = PdfOfRtf(std::string_view(rtf, size));
        if (pdf.isEmpty()) return false;
        deliver(context, pdf.constData(), static_cast<std::size_t>(pdf.size()));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
