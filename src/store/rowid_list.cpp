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
    if (!runs_.empty()) {
        Run &last = runs_.back();
        if (last.first + last.length == rowid) {
            ++last.length;
            ++size_;
            return;
        }
    }
    runs_.push_back({rowid, size_, 1});
    ++size_;
}

void RowidList::appendRange(qint64 first, qint64 last)
{
    if (last < first)
        return;
    const int length = int(last - first + 1);
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
