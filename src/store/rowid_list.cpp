#include "store/rowid_list.h"

#include <algorithm>

void RowidList::clear()
{
    runs_.clear();
    runs_.shrink_to_fit();
    size_ = 0;
}

void RowidList::append(qint64 rowid)
{
    appendRun(rowid, 1);
}

void RowidList::appendRange(qint64 first, qint64 last)
{
    if (last >= first)
        appendRun(first, int(last - first + 1));
}

void RowidList::append(const RowidList &other)
{
    for (const Run &run : other.runs_)
        appendRun(run.first, run.length);
}

void RowidList::appendRun(qint64 first, int length)
{
    if (!runs_.empty() && runs_.back().first + runs_.back().length == first)
        runs_.back().length += length;
    else
        runs_.push_back({first, size_, length});
    size_ += length;
}

const RowidList::Run &RowidList::runAt(int index) const
{
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), index, [](int i, const Run &run) { return i < run.start; });
    return *(after - 1);
}

qint64 RowidList::at(int index) const
{
    const Run &run = runAt(index);
    return run.first + (index - run.start);
}

int RowidList::indexOf(qint64 rowid) const
{
    for (const Run &run : runs_) {
        if (rowid >= run.first && rowid < run.first + run.length)
            return run.start + int(rowid - run.first);
    }
    return -1;
}

bool RowidList::consecutive(int index, int count) const
{
    const Run &run = runAt(index);
    return index + count <= run.start + run.length;
}
