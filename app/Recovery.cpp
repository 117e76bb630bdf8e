#include "app/Recovery.h"

#include "app/DesignFile.h"
#include "app/SavedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

// Beside each copy: the lock of the program that keeps it, and the name of the design file
// it is the work on.
QString LockOf(const QString &copy)
{
    return copy + QStringLiteral(".lock");
}

QString SourceOf(const QString &copy)
{
    return copy + QStringLiteral(".source");
}

// A file name is short; anything longer in its place is not ours.
constexpr qint64 kLongestSource = 1 << 16;

QString ReadSource(const QString &copy)
{
    const QFileInfo info(SourceOf(copy));
    if (!info.isFile() || info.isSymLink() || info.size() > kLongestSource) return {};
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.read(kLongestSource));
}

// A lock that a program holds until it ends, however it ends: it goes stale only with the
// program, never with its age.
std::unique_ptr<QLockFile> LockFor(const QString &copy)
{
    auto lock = std::make_unique<QLockFile>(LockOf(copy));
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

Recovery::Recovery(QString folder) : folder_(std::move(folder)) {}

Recovery::~Recovery() = default;

QString Recovery::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QStringLiteral("/recovery");
}

QString Recovery::store(const QJsonObject &design, const QString &designFile)
{
    if (!lock_) {
        if (!QDir().mkpath(folder_))
            return QStringLiteral("не удалось создать папку %1")
                .arg(QDir::toNativeSeparators(folder_));
        QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        // A name no other program picks, locked before anything is written under it.
        const QString path =
            QDir(folder_).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + ".telmar");
        auto lock = LockFor(path);
        if (!lock->tryLock(0))
            return QStringLiteral("не удалось занять %1")
                .arg(QDir::toNativeSeparators(LockOf(path)));
        lock_ = std::move(lock);
        path_ = path;
    }
    // Restored in another folder, the work still goes back to its own file. The name is
    // written again only when it changes: the design is written after every pause.
    const QString source =
        designFile.isEmpty() ? QString() : QFileInfo(designFile).absoluteFilePath();
    if (source_ != source) {
        if (QString problem = SaveWholeFile(SourceOf(path_), source.toUtf8()); !problem.isEmpty())
            return problem;
        source_ = source;
    }
    return WriteDesignFile(path_, design);
}

void Recovery::discard()
{
    if (!lock_) return;
    QFile::remove(path_);
    QFile::remove(SourceOf(path_));
    lock_.reset(); // the lock file goes with the lock
    path_.clear();
    source_.reset();
}

std::vector<Recovery::Copy> Recovery::leftBehind() const
{
    std::vector<Copy> copies;
    const QFileInfoList files =
        QDir(folder_).entryInfoList({QStringLiteral("*.telmar")}, QDir::Files);
    for (const QFileInfo &file : files) {
        const QString path = file.filePath();
        if (path == path_ || file.isSymLink()) continue;
        // A copy whose lock can be taken has no program left to keep it.
        const auto lock = LockFor(path);
        if (!lock->tryLock(0)) continue;
        lock->unlock();
        copies.push_back(
            {.path = path, .designFile = ReadSource(path), .written = file.lastModified()});
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy &a, const Copy &b) { return a.written > b.written; });
    return copies;
}

void Recovery::remove(const Copy &copy)
{
    QFile::remove(copy.path);
    QFile::remove(SourceOf(copy.path));
    QFile::remove(LockOf(copy.path));
}
