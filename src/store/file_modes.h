#pragma once

#include <QString>
#include <sys/types.h>

// Patient records are for the workstation's operators only. Every file the
// program or its tool makes beside a database gets one of these modes exactly,
// whatever the user's umask; in a set-group-ID folder it also takes the
// folder's group, so every operator can use what another one made.
class FileModes {
public:
    static constexpr mode_t database = 0660;  // a database and the program's safety copies
    static constexpr mode_t backup = 0640;    // a backup copy: the operators read it, nobody changes it

    // Creates the new, empty file `path` with exactly `mode`. Never takes over
    // an existing file or follows a link; throws Failure.
    static void createEmpty(const QString &path, mode_t mode);
};
