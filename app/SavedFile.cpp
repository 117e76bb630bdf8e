#include "app/SavedFile.h"

#include "report/engine/WholeFile.h"

#include <QFile>

QString SaveWholeFile(const QString &path, const QByteArray &bytes)
{
    const WholeFileWrite saved =
        WriteWholeFile(QFile::encodeName(path).toStdString(), std::string_view(bytes));
    switch (saved.failure) {
    case WholeFileWrite::Failure::none:
        return {};
    case WholeFileWrite::Failure::notRegular:
        return QStringLiteral("это не обычный файл; сохранить можно только в обычный файл");
    case WholeFileWrite::Failure::linkNotToRegular:
        return QStringLiteral("это ссылка не на обычный файл; сохранить можно только в "
                              "обычный файл");
    case WholeFileWrite::Failure::failed:
        break;
    }
    return QString::fromLocal8Bit(saved.reason);
}
