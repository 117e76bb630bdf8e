#pragma once

#include "ui/SavedState.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

class TForm1;

// A design saved by the windows: JSON, UTF-8, the format's name and version; the inputs
// under telmar-calc's field names, so that telmar-calc runs a saved design as it is; and
// under "windows" what the windows need to look as they did: each list's text and chosen
// item, each field's and tile's text, each dialog's picks. Results are not stored.

inline const QString kDesignFormat = QStringLiteral("telmar-design");
inline constexpr int kDesignVersion = 1;
inline constexpr qint64 kLargestDesignFile = 1 << 20;

// The design on the screen of `form` and its dialogs, as a file holds it.
QJsonObject CaptureDesign(const TForm1 &form);

// A design file read and checked whole, waiting to be put into the windows of `form`: the
// problem, or what puts it in place with what a newer program wrote that this one ignores.
PendingState ReadDesignFile(const QString &path, TForm1 &form);

// Writes `design` to `path` atomically; the reason when it could not be written.
QString WriteDesignFile(const QString &path, const QJsonObject &design);
