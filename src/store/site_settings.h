#pragma once

#include <QString>

// Where this workstation keeps its records. A site may put `ruvured.ini`
// beside the program, or `/etc/ruvured/ruvured.ini` when there is none there:
//   [database]
//   file=/var/lib/ruvured/ruvured.mdb      (an SQLite file; relative to the ini's folder)
//   server=service=ruvured                 (a libpq connection string)
// Without either, the records are in `ruvured.mdb` beside the program.
class SiteSettings {
public:
    static QString systemFile();  // /etc/ruvured/ruvured.ini

    // Reads the settings that apply to a program in `programDirectory`. Never
    // throws: a file that cannot be read or makes no sense is kept as problem().
    static SiteSettings load(const QString &programDirectory, const QString &systemIni = systemFile());

    // The settings file read; empty when neither exists.
    const QString &iniFile() const { return iniFile_; }
    // The operator-facing reason why the settings cannot be used; empty when they can.
    const QString &problem() const { return problem_; }

    // The SQLite file to open when no server is named.
    const QString &databaseFile() const { return databaseFile_; }
    // The libpq connection string; empty when the records are in a file.
    const QString &server() const { return server_; }
    bool usesServer() const { return !server_.isEmpty(); }

private:
    QString iniFile_;
    QString problem_;
    QString databaseFile_;
    QString server_;
};
