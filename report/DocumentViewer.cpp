#include "DocumentViewer.h"

#include "ErrorBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <unistd.h>

namespace {

std::function<bool(const QString &)> documentOpener;
QString lastReportFile;

bool OpenWithDesktop(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// A folder of this user's only: a real directory, not a link, owned by the user and
// closed to others. Anything else in its place is not used.
bool IsPrivateFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && info.ownerId() == ::getuid() &&
           (info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                  QFile::ReadOther | QFile::WriteOther | QFile::ExeOther)) == 0;
}

} // namespace

QString ReportsFolder()
{
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return temp + QStringLiteral("/telmar-reports-%1").arg(::getuid());
}

void SetDocumentOpener(std::function<bool(const QString &)> opener)
{
    documentOpener = std::move(opener);
}

QString LastReportFile() { return lastReportFile; }

bool ShowFilledDocument(const std::string &rtf)
{
    const QString folder = ReportsFolder();
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!IsPrivateFolder(folder)) {
        ShowWarningBox(nullptr, QStringLiteral("Не удалось записать отчёт: папка для отчётов\n%1\n"
                                               "недоступна для записи или принадлежит "
                                               "другому пользователю.")
                                    .arg(QDir::toNativeSeparators(folder)));
        return false;
    }

    QTemporaryFile file(folder + QStringLiteral("/Отчёт-XXXXXX.rtf"));
    file.setAutoRemove(false);
    if (!file.open() || file.write(rtf.data(), static_cast<qint64>(rtf.size())) !=
                            static_cast<qint64>(rtf.size()) ||
        !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        ShowWarningBox(nullptr, QStringLiteral("Не удалось записать отчёт в папку\n%1\n%2")
                                    .arg(QDir::toNativeSeparators(folder), reason));
        return false;
    }
    file.close();
    lastReportFile = file.fileName();

    const auto &open = documentOpener ? documentOpener : OpenWithDesktop;
    if (open(lastReportFile)) return true;
    ShowWarningBox(nullptr, QStringLiteral("Отчёт записан в файл\n%1\nно в системе нет "
                                           "программы, которая открыла бы его. Откройте файл "
                                           "в текстовом редакторе.")
                                .arg(QDir::toNativeSeparators(lastReportFile)));
    return false;
}
