#include "app/SavedFile.h"

#include "report/engine/WholeFile.h"

#include <QFile>

namespace {

QString Reason(const WholeFileWrite &saved)
{
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

} // namespace

QString SaveWholeFile(const QString &path, const QByteArray &bytes)
{
    return Reason(WriteWholeFile(QFile::encodeName(path).toStdString(), std::string_view(bytes)));
}

QString SaveTargetProblem(const QString &path)
{
    const WholeFileWrite target = WholeFileTarget(QFile::encodeName(path).toStdString());
    return target.failure == WholeFileWrite::Failure::failed ? QString() : Reason(target);
}
