#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Writes bytes into a file exactly as given (for the per-case fixtures).
inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
}

// A QByteArray from a string literal, embedded zero bytes included.
template<std::size_t N>
QByteArray bytesOf(const char (&literal)[N])
{
    return QByteArray(literal, static_cast<qsizetype>(N - 1));
}
