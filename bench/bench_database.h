#pragma once

#include <QString>

// The million-record database the benchmarks share, built once and kept.
//
//   <bench> [--records=N] [--directory=DIR]
//
// Without --directory the database lives in bench-data-N beside the program.
class BenchDatabase {
public:
    // Reads the options above (others are left for the benchmark library) and
    // builds the database when it is not there yet (about a minute for a million rows).
    static void prepare(int argc, char **argv);

    static int records() { return records_; }
    static const QString &directory() { return directory_; }

    // Resident memory of this process.
    static long residentKilobytes();

private:
    static void build(const QString &directory);

    static int records_;
    static QString directory_;
};
