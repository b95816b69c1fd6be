#pragma once

#include <QString>
#include <optional>

// The parts of "select <columns> from <table> [where <condition>]": the one
// statement shape whose rows are rows of a single table, so that they can be
// found again by rowid. Anything else (functions, joins, grouping, ordering)
// has no such shape.
struct SelectShape {
    QString columns;
    QString table;
    QString condition;  // "where ..." or empty

    static std::optional<SelectShape> of(const QString &text);

    // The statement again with the rowid in front of the columns, in the given tail.
    QString withRowid(const QString &tail) const;
    // The result's rowids in ascending order, from just after :rowid_after_
    // up to :rowid_bound_, at most :rowid_limit_ of them. With an index on the
    // condition's column this is a seek and a walk along the index, whatever
    // the size of the result. Descending, the walk starts at the bound and
    // goes down: the result's last rowids.
    enum class Walk { Ascending, Descending };
    QString rowidsInOrder(Walk walk = Walk::Ascending) const;
};
