#pragma once

#include <QtGlobal>
#include <vector>

// The rowids of a result in result order, kept as runs of consecutive
// numbers: a table that was only ever appended to is one run, however long.
class RowidList {
public:
    void clear();
    void append(qint64 rowid);
    // The whole range first..last, one run.
    void appendRange(qint64 first, qint64 last);
    // Every rowid of `other` after these, in its order.
    void append(const RowidList &other);

    int size() const { return size_; }
    qint64 at(int index) const;
    // Position of `rowid`, or -1 when the result does not hold it.
    int indexOf(qint64 rowid) const;
    // Whether positions index .. index+count-1 hold consecutive ascending rowids.
    bool consecutive(int index, int count) const;

private:
    struct Run {
        qint64 first;  // rowid of the run's first row
        int start;     // its position in the result
        int length;
    };
    const Run &runAt(int index) const;
    // Joins the last run when it goes on from it.
    void appendRun(qint64 first, int length);

    std::vector<Run> runs_;
    int size_ = 0;
};
