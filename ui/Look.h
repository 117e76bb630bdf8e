#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

// The program's name: the caption of every message box.
inline const QString kApplicationTitle = QStringLiteral("Тельмар");

// The fonts of the layout, all "MS Sans Serif" in pixel heights.
enum class FontKind {
    window, // 11 px, the windows' own font
    label,  // L: 16 px bold, the labels of the pages and the dialogs' headings
    button, // B: 13 px bold, buttons and the dialogs' labels
    small,  // S: 11 px, edits, lists and coefficient tiles
    result, // R: 19 px bold, the decision sentence
};

QFont LayoutFont(FontKind kind);

// "MS Sans Serif" does not exist outside Windows, and the usual fallback is too wide for
// the layout; these metric-compatible families fit every text of the windows.
void InstallFontSubstitutes();

// The earthing symbol, drawn from the program's SVG at every size a desktop asks for.
QIcon ProgramIcon();
