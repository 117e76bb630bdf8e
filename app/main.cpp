#include "Look.h"
#include "Windows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telmar"));
    QApplication::setApplicationVersion(QStringLiteral(TELMAR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.telmar.Telmar"));
    QApplication::setWindowIcon(ProgramIcon());
    InstallFontSubstitutes();

    const auto windows = CreateWindows();
    QObject::connect(windows->Form1.get(), &TForm1::closed, &application, &QApplication::quit);
    windows->Form1->show();
    return application.exec();
}
