#include "ui/Look.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QFont LayoutFont(FontKind kind)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    switch (kind) {
    case FontKind::window:
    case FontKind::small:
        font.setPixelSize(11);
        break;
    case FontKind::label:
        font.setPixelSize(16);
        font.setBold(true);
        break;
    case FontKind::button:
        font.setPixelSize(13);
        font.setBold(true);
        break;
    case FontKind::result:
        font.setPixelSize(19);
        font.setBold(true);
        break;
    }
    return font;
}

void InstallFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("PT Sans"), QStringLiteral("FreeSans"),
                                QStringLiteral("DejaVu Sans Condensed")});
}

QIcon ProgramIcon()
{
    static const QIcon icon = [] {
        QIcon result;
        QSvgRenderer renderer(QStringLiteral(":/icons/org.telmar.Telmar.svg"));
        // The sizes a title bar and a task switcher ask for; the desktop's menus and
        // launchers take the installed SVG. Each size drawn costs start-up time.
        for (const int size : {16, 24, 32, 48, 64}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            renderer.render(&painter);
            painter.end();
            result.addPixmap(pixmap);
        }
        return result;
    }();
    return icon;
}
