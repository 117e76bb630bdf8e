#pragma once

#include "ui/SavedState.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

class TForm1;

// A design saved by the windows: JSON, UTF-8, the format's name and version, and the inputs
// under telmar-calc's field names. The inputs are the design: telmar-calc runs a saved
// design as it is, and opening it puts the inputs on the pages. What only the windows need
// goes under an optional "view": each lookup window's picks, by what it looks up, and the
// texts of the pages that give no input. Results are not stored. Files of the first version
// kept the windows' texts by the controls' names; they open as they did.

inline const QString kDesignFormat = QStringLiteral("telmar-design");
inline constexpr int kDesignVersion = 2;
inline constexpr qint64 kLargestDesignFile = 1 << 20;

// The design on the screen of `form` and its dialogs, as a file holds it.
QJsonObject CaptureDesign(const TForm1 &form);

// A design file read and checked whole, waiting to be put into the windows of `form`.
struct PendingDesign {
    // The problem, or what puts it in place with what a newer program wrote that this one
    // ignores.
    PendingState state;
    // A design as telmar-calc reads it, without the format of a design file: it opens as
    // a new design, not yet saved.
    bool newDesign = false;
    // The page of the wizard the design was left on, 1 to 3.
    int page = 1;
};
PendingDesign ReadDesignFile(const QString &path, TForm1 &form);
// The same for a design already read, as CaptureDesign gives it.
PendingDesign ReadDesign(const QJsonObject &design, TForm1 &form);

// `design` with the page of the wizard it is left on, which its view keeps; a page is no
// change of the design.
QJsonObject WithPage(QJsonObject design, int page);

// Writes `design` to `path` atomically; the reason when it could not be written.
QString WriteDesignFile(const QString &path, const QJsonObject &design);
