#pragma once

#include <QVariant>

class DataSet;

// A column of a data set's current row, read and written by name.
class Field {
public:
    Field(DataSet *dataSet, int index) : dataSet_(dataSet), index_(index) {}

    // The value under the null rules: null for a null column and for any column
    // of an empty data set, except a memo, which reads as text (empty for null).
    QVariant value() const;
    bool isNull() const { return value().isNull(); }
    // Fails on null with "Could not convert variant of type (Null) into type (String)".
    QString asString() const;
    // Fails on null, and on text that is not a whole number.
    int asInteger() const;

    // Sets the column of the row being appended or edited.
    void setValue(const QVariant &value);

private:
    DataSet *dataSet_;
    int index_;
};
