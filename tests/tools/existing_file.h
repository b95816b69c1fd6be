#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// A file already standing where a database is about to be written, alone in a
// private folder, so a test can tell whether anything touched it.
class ExistingFile {
public:
    struct Kind {
        const char *name;
        QByteArray bytes;
    };

    // Files that are not workstation databases: empty, plain text, a bare
    // SQLite header. Tests add their own database files to these.
    static QList<Kind> foreignKinds();
    static QByteArray contentsOf(const QString &path);

    explicit ExistingFile(const QByteArray &bytes);

    QString path() const;
    // The same bytes as written, and no other file beside it.
    bool untouched() const;

private:
    QTemporaryDir dir_;
    QByteArray bytes_;
};
