#include "app/SavedFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

// Where a save of `path` may go: a new name, a regular file, or the regular file a link
// leads to, which keeps the link. Anything else (a FIFO, a device, a folder, a link to one
// or to nothing) is refused with the reason: the save would replace it.
struct SaveTarget {
    QString path;
    QString problem;
};

SaveTarget SaveTargetOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return {.path = path, .problem = {}};
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    if (target.isEmpty() || !QFileInfo(target).isFile())
        return {.path = {},
                .problem = info.isSymLink()
                               ? QStringLiteral("это ссылка не на обычный файл; сохранить "
                                                "можно только в обычный файл")
                               : QStringLiteral("это не обычный файл; сохранить можно только "
                                                "в обычный файл")};
    return {.path = target, .problem = {}};
}

} // namespace

QString SaveWholeFile(const QString &path, const QByteArray &bytes)
{
    const SaveTarget target = SaveTargetOf(path);
    if (!target.problem.isEmpty()) return target.problem;
    QSaveFile file(target.path);
    // Unbuffered, and every write checked here: QSaveFile commits a file cut short by a
    // full disk when the error came in a buffered write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = errno;
        file.cancelWriting();
        return error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
    }
    if (!file.commit()) return file.errorString();
    return {};
}
