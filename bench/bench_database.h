#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>
#include <vector>

struct sqlite3;
class Connection;

// The benchmarks' database of many stored examinations (about 300 characters
// each), built once in a folder beside the benchmark programs and kept there.
class BenchDatabase {
public:
    // Reads --records=N (default 1,000,000) and --directory=DIR from the
    // command line, builds the database there unless it exists, and returns
    // the folder that holds ruvured.mdb.
    static QString prepare(int argc, char **argv);
    static int records();

    // A database of as many records beside `besides` (the folder prepare
    // returned) where every `every`-th record has the searched record number,
    // day and department, and no other record has any of them.
    static QString prepareSearched(const QString &besides, int every);
    static constexpr int searchedNumber = 2026121001;
    static QDate searchedDay();
    static QString searchedDepartment();

    // A new empty database in `<directory>.building`, to be filled and then
    // renamed to `directory`, so an interrupted build is never taken for a
    // finished one. Returns the building folder.
    static QString startBuilding(const QString &directory);

    // Drops `file` from the operating system's page cache.
    static void dropFromPageCache(const QString &file);

    // Resident memory of this process, in kilobytes.
    static long residentKilobytes();

    // The middle of `values` once sorted: paired timings on a shared machine.
    static double median(std::vector<double> values);

    // One examination stored under `number` by a single insert, as the
    // benchmarks' saves write it, on either engine.
    static void insertExamination(Connection &connection, qint32 number);

    // The benchmarks' reference: every row of `text` read into memory at once.
    static std::vector<QVariantList> readEverything(sqlite3 *db, const QString &text);
};
