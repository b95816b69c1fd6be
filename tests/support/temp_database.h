#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include "store/connection.h"

// A fresh workstation database in a private temporary folder, with the
// program's connection pointed at it.
class TempDatabase {
public:
    TempDatabase();

    const QString &directory() const { return directoryPath_; }
    QString path() const { return directoryPath_ + QStringLiteral("/ruvured.mdb"); }
    Connection &connection() { return connection_; }

    // Runs a statement directly, outside every data set.
    void exec(const QString &sql, const QVariantList &values = {});
    QVariant scalar(const QString &sql, const QVariantList &values = {});

private:
    QTemporaryDir directory_;
    QString directoryPath_;
    Connection connection_;
};
