#pragma once

#include <QByteArray>
#include <QString>

// Saves `bytes` as the file at `path` the user chose, whole or not at all: written to a
// new file beside it and put in its place at once. A link to a regular file is written
// through and stays a link; anything else in the place (a FIFO, a device, a folder, a link
// to one or to nothing) is refused, since the save would replace it. The reason, for the
// user, when the file could not be saved; empty when it was.
QString SaveWholeFile(const QString &path, const QByteArray &bytes);

// Why a save to `path` would be refused for what stands there, without writing; empty when
// it may be made.
QString SaveTargetProblem(const QString &path);
