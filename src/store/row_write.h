#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// One row that a data set is about to write, as a companion sees it inside
// the write's transaction (see DataSet::setCompanion). Values are as stored.
class RowWrite {
public:
    enum class Kind { Insert, Update, Delete };

    Kind kind = Kind::Insert;
    QString table;
    qint64 rowid = 0;     // 0 for an insert
    QStringList columns;  // the data set's columns, in order
    QVariantList before;  // update and delete: the row as the data set holds it
    QVariantList after;   // insert and update: the row as it will be written

    QVariant valueBefore(const QString &column) const { return valueIn(before, column); }
    QVariant valueAfter(const QString &column) const { return valueIn(after, column); }

private:
    QVariant valueIn(const QVariantList &values, const QString &column) const
    {
        const int index = int(columns.indexOf(column));
        return index >= 0 && index < values.size() ? values.at(index) : QVariant();
    }
};
