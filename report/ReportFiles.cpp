#include "report/ReportFiles.h"

#include "report/engine/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
QString PrivateFolder(QString &folder, QString &error)
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

} // namespace

WrittenReport ReportsFolder::write(const std::string &rtf)
{
    WrittenReport report;
    const QString where = PrivateFolder(folder_, report.error);
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
