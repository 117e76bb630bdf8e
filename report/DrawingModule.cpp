#include "report/engine/DrawingModule.h"

#include "report/InstallationDrawing.h"
#include "report/engine/ReportRows.h"

#include <QGuiApplication>

#include <exception>

extern "C" __attribute__((visibility("default"))) bool
TelmarDrawInstallation(const DesignRecord *record, const char *separator, DeliverDrawing deliver,
                       void *context)
{
    try {
        // Fonts and images need an application; offscreen, it needs no display.
        int argc = 1;
        char name[] = "telmar-calc";
        char *argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's notes about the session it runs in are no business of a command line's.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        const QGuiApplication application(argc, argv);
        qInstallMessageHandler(previous);
        const QByteArray png =
            InstallationPng(*record, QSize(kDrawingWidthPixels, kDrawingHeightPixels), separator);
        if (png.isEmpty()) return false;
        deliver(context, png.constData(), static_cast<std::size_t>(png.size()));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
