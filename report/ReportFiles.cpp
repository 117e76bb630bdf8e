#include "report/ReportFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex folderMutex;
QString folder; // this run's reports folder

QString Reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// This user's own folder, a real directory and closed to everyone else.
bool IsPrivateFolder(const QString &path)
{
    struct stat info {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// The folder to write to, made anew where there is none fit for use.
QString PrivateFolder(QString &error)
{
    if (IsPrivateFolder(folder)) return folder;
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    QByteArray pattern = QFile::encodeName(temp + QStringLiteral("/telmar-reports-XXXXXX"));
    if (!::mkdtemp(pattern.data())) { // 0700 from the start: nothing to change afterwards
        error = QStringLiteral("Не удалось создать папку для отчётов в\n%1\n%2")
                    .arg(QDir::toNativeSeparators(temp), Reason(errno));
        return {};
    }
    folder = QFile::decodeName(pattern);
    return folder;
}

bool WriteAll(int fd, const std::string &data)
{
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

QString ReportsFolder()
{
    std::lock_guard lock(folderMutex);
    return folder;
}

WrittenReport WriteReportFile(const std::string &rtf)
{
    std::lock_guard lock(folderMutex);
    WrittenReport report;
    const QString where = PrivateFolder(report.error);
    if (where.isEmpty()) return report;

    QByteArray name = QFile::encodeName(where + QStringLiteral("/Отчёт-XXXXXX.rtf"));
    const int fd = ::mkstemps(name.data(), 4); // O_CREAT | O_EXCL, mode 0600
    if (fd < 0) {
        report.error = QStringLiteral("Не удалось записать отчёт в папку\n%1\n%2")
                           .arg(QDir::toNativeSeparators(where), Reason(errno));
        return report;
    }
    const bool written = WriteAll(fd, rtf);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(name.constData());
        report.error =
            QStringLiteral("Не удалось записать отчёт в папку\n%1\n%2")
                .arg(QDir::toNativeSeparators(where), Reason(written ? errno : writeError));
        return report;
    }
    report.path = QFile::decodeName(name);
    return report;
}
