#pragma once

#include <QVariantList>
#include <QtGlobal>
#include <limits>
#include <unordered_map>
#include <vector>

#include "store/rowid_list.h"

// The rows of one reading of a result, found again by their key (SQLite's
// rowid, or a key column of the table's own on another engine): which rows
// the result holds, in result order, kept as runs of keys, and a bounded
// cache of their values. Small results are read whole when they open;
// larger ones a page at a time as rows are reached, least recently used
// page first out. A result learns its keys either all at once or a step at
// a time in ascending key order; positions never shift as it learns, except
// that the last keys may be learnt first (a grid going to its last row): the
// keys learnt after that go in before them.
// Rows that another data set is about to change are kept as they were.
// The cache holds no statement and no lock between calls: every read goes
// through its Source.
class SnapshotCache {
public:
    struct Row {
        qint64 key = 0;
        QVariantList values;
    };

    // What an engine gives the cache. Each call is one read of its own.
    class Source {
    public:
        virtual ~Source() = default;
        // Appends to `keys` the result's keys above `after` and at most
        // `bound`, ascending, no more than `limit`; returns how many.
        virtual int appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit) = 0;
        // The result's rows with keys `first` .. `last`, in any order.
        virtual std::vector<Row> rowsBetween(qint64 first, qint64 last) = 0;
        // The result's rows among `keys`, in any order.
        virtual std::vector<Row> rowsWithKeys(const std::vector<qint64> &keys) = 0;
        // The result's last `limit` keys above `after` and at most `bound`
        // (fewer when there are no more), ascending.
        virtual RowidList lastKeys(qint64 after, qint64 bound, int limit) = 0;
    };

    // Rows read together: a few screens. A page of rows scattered over the
    // file is as many reads of the disk when it is cold, and the first
    // screen waits for one.
    static constexpr int pageSize = 32;
    // Results up to this many rows are read whole at opening.
    static constexpr int residentLimit = 1024;
    // Pages of a larger result kept at most: 8,192 rows.
    static constexpr int cachedPages = 256;
    // Keys learnt per step after opening: a few milliseconds.
    static constexpr int countStep = 32768;
    // Last keys learnt first: many screens, so that paging up from the last
    // row does not reach the keys before them while they are still learnt.
    static constexpr int lastStep = 4096;

    explicit SnapshotCache(Source &source) : source_(&source) {}
    SnapshotCache() = default;
    // Reads through `source` from now on (a data set chooses its engine's at opening).
    void setSource(Source &source) { source_ = &source; }

    // Opens on a result whose keys are all known, with `columns` values a row.
    void openKnown(RowidList keys, int columns);
    // Opens on a result whose keys are learnt in ascending order up to
    // `bound` (keys above it are not part of the reading): the first
    // residentLimit + 1 now, the rest by learn().
    void openCounting(qint64 bound, int columns);
    void clear();

    // Keys of the result known so far.
    int known() const { return keys_.size() + last_.size(); }
    // Positions below this never move; the last keys, when learnt first, lie
    // from here on and move down by every key learnt before them.
    int settled() const { return keys_.size(); }
    bool counting() const { return counting_; }
    // Learns up to `limit` more keys in ascending order, before the last keys
    // when those were learnt first; returns how many.
    int learn(int limit = countStep);
    void learnAll() { learn(std::numeric_limits<int>::max()); }
    // Learns the result's last `limit` keys ahead of those in between, when
    // they are not known yet.
    void learnLast(int limit = lastStep);

    // The row at position `index` (< known()). A row gone before its page
    // was read holds nulls.
    const Row &row(int index);
    // Position of the row with `key`, -1 when the keys learnt lack it.
    int indexOf(qint64 key) const;
    // Keeps the row at `index` as it is now, whatever the file holds later.
    void keep(int index);
    // Reads the rows again; a row gone since keeps what it showed.
    void refresh();

private:
    struct Page {
        std::vector<Row> rows;
        quint64 used = 0;
    };
    void readWholeIfSmall();
    Page fetchPage(int page, const Page *previous);
    qint64 learntUpTo() const;
    qint64 keyAt(int index) const;
    bool consecutive(int index, int count) const;
    // `count` keys went in at `index`: what lay there and after moves down.
    void insertedAt(int index, int count);

    Source *source_ = nullptr;
    RowidList keys_;
    RowidList last_;  // the last keys, learnt before those between keys_ and them
    int columns_ = 0;
    bool counting_ = false;
    qint64 bound_ = 0;
    bool resident_ = false;  // every page read at opening and kept
    std::unordered_map<int, Page> pages_;
    quint64 uses_ = 0;
    std::unordered_map<int, Row> kept_;  // by position
};
