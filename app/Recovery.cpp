#include "app/Recovery.h"

#include "app/DesignFile.h"
#include "app/SavedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCopySuffix = QStringLiteral(".telmar");
const QString kLockSuffix = QStringLiteral(".lock");
const QString kSourceSuffix = QStringLiteral(".source");

// A file name is short; anything longer in its place is not ours.
constexpr qint64 kLongestSource = 1 << 16;
// Whatever else piles up in the folder, a start looks at so many names and tries so many
// locks at most.
constexpr std::size_t kMostNamesRead = 100000;
constexpr std::size_t kMostLocksTried = 2000;

std::string Native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// The folder of the copies, opened without following a link, when it is the user's own;
// made owner-only where it is not. -1 when it may not be used.
int OpenFolder(const QString &folder)
{
    const int fd = ::open(Native(folder).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid() ||
        ((status.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A regular file read whole when it is small, without following a link or waiting on it.
QString ReadSource(int folder, const std::string &name)
{
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat status {};
    QByteArray bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= kLongestSource) {
        bytes.resize(status.st_size);
        const ssize_t got = ::read(fd, bytes.data(), bytes.size());
        bytes.resize(got > 0 ? got : 0);
    }
    ::close(fd);
    return QString::fromUtf8(bytes);
}

} // namespace

class Recovery::Lock {
public:
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;
    ~Lock() { ::close(fd_); }

    // Takes the lock file `name` in `folder`, made when it is not there; whatever stands in
    // its place that is not a regular file (a FIFO, a link, a folder) is no program's lock
    // and goes. Nothing when another program holds it or it cannot be made.
    static std::unique_ptr<Lock> take(int folder, const std::string &name, bool fresh)
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            struct stat before {};
            if (!fresh && ::fstatat(folder, name.c_str(), &before, AT_SYMLINK_NOFOLLOW) == 0 &&
                !S_ISREG(before.st_mode)) {
                if (::unlinkat(folder, name.c_str(), S_ISDIR(before.st_mode) ? AT_REMOVEDIR : 0) !=
                    0)
                    return nullptr;
            }
            const int fd = ::openat(folder, name.c_str(),
                                    O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC |
                                        (fresh ? O_EXCL : 0),
                                    0600);
            if (fd < 0) return nullptr;
            struct stat opened {};
            struct stat named {};
            if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
                ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                ::close(fd);
                return nullptr;
            }
            // Taken from a file that another program removed meanwhile: no lock at all.
            if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
                return std::unique_ptr<Lock>(new Lock(fd));
            ::close(fd);
        }
        return nullptr;
    }

private:
    explicit Lock(int fd) : fd_(fd) {}
    int fd_;
};

Recovery::Recovery(QString folder) : folder_(std::move(folder)) {}

Recovery::~Recovery() = default;

QString Recovery::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/telmar/recovery");
}

QString Recovery::store(const QJsonObject &design, const QString &designFile)
{
    if (!lock_) {
        const QString shown = QDir::toNativeSeparators(folder_);
        QDir().mkpath(QFileInfo(folder_).absolutePath());
        if (::mkdir(Native(folder_).c_str(), 0700) != 0 && errno != EEXIST)
            return QStringLiteral("не удалось создать папку %1").arg(shown);
        const int folder = OpenFolder(folder_);
        if (folder < 0) return QStringLiteral("папка %1 — ссылка, чужая или недоступна").arg(shown);
        // A name no other program picks, locked before anything is written under it; the
        // copy and its name made owner-only, which their writes keep.
        const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces) + kCopySuffix;
        auto lock = Lock::take(folder, Native(name + kLockSuffix), true);
        bool made = lock != nullptr;
        for (const QString &file : {name, name + kSourceSuffix}) {
            const int fd =
                made ? ::openat(folder, Native(file).c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                     : -1;
            made = fd >= 0 && ::close(fd) == 0;
        }
        ::close(folder);
        if (!made)
            return QStringLiteral("не удалось занять %1")
                .arg(QDir::toNativeSeparators(QDir(folder_).filePath(name)));
        lock_ = std::move(lock);
        path_ = QDir(folder_).filePath(name);
        source_ = QString();
    }
    // Restored in another folder, the work still goes back to its own file. The name is
    // written again only when it changes: the design is written after every pause.
    const QString source =
        designFile.isEmpty() ? QString() : QFileInfo(designFile).absoluteFilePath();
    if (source_ != source) {
        if (QString problem = SaveWholeFile(path_ + kSourceSuffix, source.toUtf8());
            !problem.isEmpty())
            return problem;
        source_ = source;
    }
    return WriteDesignFile(path_, design);
}

void Recovery::discard()
{
    if (!lock_) return;
    QFile::remove(path_);
    QFile::remove(path_ + kSourceSuffix);
    QFile::remove(path_ + kLockSuffix); // while still held: no one takes it meanwhile
    lock_.reset();
    path_.clear();
    source_.reset();
}

std::vector<Recovery::Copy> Recovery::leftBehind() const
{
    const int folder = OpenFolder(folder_);
    if (folder < 0) return {};
    // The names of the folder by the copy they belong to: "<uuid>.telmar" itself, its
    // ".lock" and ".source", and the temporaries of a write cut short (".<name>.XXXXXX").
    struct Entry {
        bool copy = false;
        struct timespec written {};
        std::vector<std::string> names;
    };
    std::map<std::string, Entry> entries;
    const std::string own = Native(QFileInfo(path_).fileName());
    if (DIR *listing = ::fdopendir(::dup(folder))) {
        std::size_t read = 0;
        while (const dirent *item = ::readdir(listing)) {
            if (++read > kMostNamesRead) break;
            std::string name = item->d_name;
            std::string key = name;
            if (key.starts_with('.') && key.size() > 8 && key[key.size() - 7] == '.') {
                key = key.substr(1, key.size() - 8); // a temporary
                if (key.ends_with(".source")) key.resize(key.size() - 7);
            } else if (key.ends_with(".lock") || key.ends_with(".source")) {
                key.resize(key.rfind('.'));
            } else if (!key.ends_with(".telmar") && key.size() > 7 && key[key.size() - 7] == '.') {
                key.resize(key.size() - 7); // a temporary, named without the dot
            }
            if (!key.ends_with(".telmar") || key.size() <= 7 || key == own) continue;
            Entry &entry = entries[key];
            entry.names.push_back(name);
            struct stat status {};
            if (name == key && ::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(status.st_mode)) {
                entry.copy = true;
                entry.written = status.st_mtim;
            }
        }
        ::closedir(listing);
    }
    // The newest copies are tried first; names without a copy after them.
    std::vector<std::pair<const std::string *, Entry *>> order;
    for (auto &[key, entry] : entries)
        order.emplace_back(&key, &entry);
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) {
        const Entry &x = *a.second, &y = *b.second;
        if (x.copy != y.copy) return x.copy;
        return std::pair(x.written.tv_sec, x.written.tv_nsec) >
               std::pair(y.written.tv_sec, y.written.tv_nsec);
    });
    std::vector<Copy> copies;
    std::size_t tried = 0;
    for (const auto &[key, entry] : order) {
        if (copies.size() >= kMostOffered || ++tried > kMostLocksTried) break;
        // A copy whose lock can be taken has no program left to keep it.
        std::shared_ptr<const Lock> lock = Lock::take(folder, *key + ".lock", false);
        if (!lock) continue;
        for (const std::string &name : entry->names)
            if (name != *key && name != *key + ".lock" && name != *key + ".source")
                ::unlinkat(folder, name.c_str(), 0); // a temporary no write will finish
        if (!entry->copy) {
            for (const char *suffix : {".source", ".lock"})
                ::unlinkat(folder, (*key + suffix).c_str(), 0);
            continue;
        }
        copies.push_back({.path = QDir(folder_).filePath(QFile::decodeName(key->c_str())),
                          .designFile = ReadSource(folder, *key + ".source"),
                          .written = QDateTime::fromSecsSinceEpoch(entry->written.tv_sec),
                          .lock = std::move(lock)});
    }
    ::close(folder);
    return copies;
}

void Recovery::remove(const Copy &copy)
{
    QFile::remove(copy.path);
    QFile::remove(copy.path + kSourceSuffix);
    QFile::remove(copy.path + kLockSuffix);
}
