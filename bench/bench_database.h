#pragma once

#include <QString>
#include <QVariantList>
#include <vector>

struct sqlite3;

// The benchmarks' database of many stored examinations (about 300 characters
// each), built once in a folder beside the benchmark programs and kept there.
class BenchDatabase {
public:
    // Reads --records=N (default 1,000,000) and --directory=DIR from the
    // command line, builds the database there unless it exists, and returns
    // the folder that holds ruvured.mdb.
    static QString prepare(int argc, char **argv);
    static int records();

    // Resident memory of this process, in kilobytes.
    static long residentKilobytes();

    // The middle of `values` once sorted: paired timings on a shared machine.
    static double median(std::vector<double> values);

    // The benchmarks' reference: every row of `text` read into memory at once.
    static std::vector<QVariantList> readEverything(sqlite3 *db, const QString &text);
};
