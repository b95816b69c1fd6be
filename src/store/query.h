#pragma once

#include <QDate>
#include <QMap>
#include <QStringList>

#include "store/data_set.h"

// A data set over a statement with named parameters (":name"). Its text is
// built line by line; lines are joined by a line break.
class Query : public DataSet {
    Q_OBJECT
public:
    using DataSet::DataSet;

    // The statement's lines; change them only while the query is closed.
    QStringList &SQL() { return lines_; }
    const QStringList &SQL() const { return lines_; }

    // Closes, replaces the statement by `lines` and opens again.
    void Reopen(const QStringList &lines);

    // The value bound to ":name" at the next Open. A date parameter compares
    // equal to a stored whole day; so does a text in the short date format
    // compared with a date column, and any other text there fails the Open
    // with "'<text>' is not a valid date".
    void setParameter(const QString &name, const QVariant &value);

protected:
    QString selectText() const override;
    RowSource::Parameters parameters() const override;

private:
    // Whether the statement compares ":name" with a date column.
    bool comparedWithDate(const QString &name) const;

    QStringList lines_;
    QMap<QString, QVariant> parameters_;
};
