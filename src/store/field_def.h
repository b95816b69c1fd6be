#pragma once

#include <QString>

#include "platform/core/grid_source.h"

// One column of a data set as its readers and the grid see it.
struct FieldDef {
    QString name;  // column name, or the statement's alias
    GridSource::ColumnKind kind = GridSource::ColumnKind::Text;
    int size = 0;  // text: declared width in characters; 0 = no limit

    // Kind and width from a declared column type such as "VARCHAR(50)".
    static FieldDef fromDeclaredType(const QString &name, const QString &declaredType);
};
