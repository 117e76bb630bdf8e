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

// The bytes `make` makes with an application at hand, handed to `deliver`; false where it
// made none or threw.
template <typename Make> bool Delivered(DeliverDrawing deliver, void *context, Make make)
{
    try {
        const auto application = Application();
        const QByteArray bytes = make();
        if (bytes.isEmpty()) return false;
        deliver(context, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawInstallation(const DesignRecord *record, const char *separator, DeliverDrawing deliver,
                       void *context)
{
    return Delivered(deliver, context, [&] {
        return InstallationPng(*record, QSize(kDrawingWidthPixels, kDrawingHeightPixels),
                               separator);
    });
}

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawFieldMap(const FieldCheck *check, int width, int height, const char *separator,
                   DeliverDrawing deliver, void *context)
{
    if (!check->solution) return false;
    return Delivered(deliver, context, [&] {
        return FieldMapPng(FieldMapOf(*check->solution, check->voltages), QSize(width, height),
                           separator);
    });
}

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawSurveyPlot(const Survey *survey, const SurveyFit *fit, int width, int height,
                     const char *separator, DeliverDrawing deliver, void *context)
{
    return Delivered(deliver, context, [&] {
        return SurveyPlotPng(*survey, fit ? std::optional(*fit) : std::nullopt,
                             QSize(width, height), separator);
    });
}

extern "C" __attribute__((visibility("default"))) bool
TelmarPdfOfRtf(const char *rtf, std::size_t size, DeliverDrawing deliver, void *context)
{
    return Delivered(deliver, context, [&] { return PdfOfRtf(std::string_view(rtf, size)); });
}
