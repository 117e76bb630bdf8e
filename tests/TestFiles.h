#pragma once

// Reading, writing and fingerprinting the files the report tests work on.

#include <QCryptographicHash>
#include <QFile>

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray FileHash(const QString &path)
{
    return QCryptographicHash::hash(ReadFile(path), QCryptographicHash::Sha256);
}
