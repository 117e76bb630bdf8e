#include "app/ReportRunner.h"
#include "app/Windows.h"
#include "ui/Look.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telmar"));
    QApplication::setApplicationVersion(QStringLiteral(TELMAR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.telmar.Telmar"));
    QApplication::setWindowIcon(ProgramIcon());
    InstallFontSubstitutes();
    // The interface is Russian whatever the desktop's language: so are Qt's own texts.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    const auto windows = CreateWindows();
    QObject::connect(windows->Form1.get(), &TForm1::closed, &application, &QApplication::quit);
    windows->Form1->show();
    windows->Form1->openFromCommandLine(QApplication::arguments());
    const int status = application.exec();
    if (windows->Form1->reportRunner().running()) {
        // A report stuck in an office is not waited for, nor torn down under its feet; the
        // office this run started goes.
        windows->Form1->reportRunner().abandon();
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
