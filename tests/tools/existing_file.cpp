#include "existing_file.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

QList<ExistingFile::Kind> ExistingFile::foreignKinds()
{
    return {
        {"empty file", QByteArray()},
        {"text file", QStringLiteral("患者名单\n").toUtf8()},
        {"bare SQLite header", QByteArrayLiteral("SQLite format 3")},
    };
}

QByteArray ExistingFile::contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ExistingFile::ExistingFile(const QByteArray &bytes) : bytes_(bytes)
{
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path().toStdString());
}

QString ExistingFile::path() const
{
    return dir_.filePath(QStringLiteral("ruvured.mdb"));
}

bool ExistingFile::untouched() const
{
    const QStringList entries =
        QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return entries == QStringList{QStringLiteral("ruvured.mdb")} && contentsOf(path()) == bytes_;
}
