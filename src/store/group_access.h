#pragma once

#include <QString>

// A shared database is for the members of one group (the package's
// `ruvured`). When this account is shut out of a file by that group's
// permissions, on the file itself or on a folder above it, the operator is
// told which group to join instead of being told the file is missing.
class GroupAccess {
public:
    // The operator-facing refusal when only a group membership stands between
    // this account and reading and writing `path`; empty otherwise.
    static QString refusal(const QString &path);
};
