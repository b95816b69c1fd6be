#include "store/snapshot_cache.h"

#include <algorithm>

void SnapshotCache::clear()
{
    keys_.clear();
    columns_ = 0;
    counting_ = false;
    bound_ = 0;
    resident_ = false;
    pages_.clear();
    kept_.clear();
}

void SnapshotCache::openKnown(RowidList keys, int columns)
{
    clear();
    keys_ = std::move(keys);
    columns_ = columns;
    readWholeIfSmall();
}

void SnapshotCache::openCounting(qint64 bound, int columns)
{
    clear();
    columns_ = columns;
    bound_ = bound;
    counting_ = true;
    learn(residentLimit + 1);
    readWholeIfSmall();
}

void SnapshotCache::readWholeIfSmall()
{
    resident_ = !counting_ && known() <= residentLimit;
    if (resident_) {
        for (int page = 0; page * pageSize < known(); ++page)
            pages_[page] = fetchPage(page, nullptr);
    }
}

int SnapshotCache::learn(int limit)
{
    if (!counting_)
        return 0;
    // After the last key learnt, so that a step that failed half way goes on where it stopped.
    const qint64 after = known() > 0 ? keys_.at(known() - 1) : std::numeric_limits<qint64>::min();
    const int learnt = source_->appendKeys(keys_, after, bound_, limit);
    counting_ = learnt == limit;
    return learnt;
}

const SnapshotCache::Row &SnapshotCache::row(int index)
{
    if (auto found = kept_.find(index); found != kept_.end())
        return found->second;
    const int page = index / pageSize;
    auto found = pages_.find(page);
    // A page read while its keys were still being learnt may lack the later rows.
    if (found != pages_.end() && int(found->second.rows.size()) <= index % pageSize) {
        pages_.erase(found);
        found = pages_.end();
    }
    if (found == pages_.end()) {
        if (int(pages_.size()) >= cachedPages) {
            const auto oldest = std::min_element(pages_.begin(), pages_.end(),
                                                 [](const auto &a, const auto &b) { return a.second.used < b.second.used; });
            pages_.erase(oldest);
        }
        found = pages_.emplace(page, fetchPage(page, nullptr)).first;
    }
    found->second.used = ++uses_;
    return found->second.rows.at(index % pageSize);
}

SnapshotCache::Page SnapshotCache::fetchPage(int page, const Page *previous)
{
    const int start = page * pageSize;
    const int count = std::min(pageSize, known() - start);
    std::vector<Row> read;
    if (keys_.consecutive(start, count)) {
        read = source_->rowsBetween(keys_.at(start), keys_.at(start + count - 1));
    } else {
        std::vector<qint64> keys;
        keys.reserve(count);
        for (int i = 0; i < count; ++i)
            keys.push_back(keys_.at(start + i));
        read = source_->rowsWithKeys(keys);
    }
    std::unordered_map<qint64, Row> found;
    for (Row &row : read)
        found.emplace(row.key, std::move(row));
    Page result;
    result.rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 key = keys_.at(start + i);
        if (auto hit = found.find(key); hit != found.end())
            result.rows.push_back(std::move(hit->second));
        else if (previous)  // gone since: it keeps what it showed
            result.rows.push_back(previous->rows.at(i));
        else  // deleted by another program before this reading reached it
            result.rows.push_back(Row{key, QVariantList(columns_)});
    }
    return result;
}

void SnapshotCache::keep(int index)
{
    // A result read whole already holds every row as it was.
    if (resident_ || kept_.contains(index))
        return;
    Row row = this->row(index);
    kept_.emplace(index, std::move(row));
}

void SnapshotCache::refresh()
{
    if (resident_) {
        for (auto &[page, held] : pages_)
            held = fetchPage(page, &held);
    } else {
        pages_.clear();
    }
    for (auto &[index, row] : kept_) {
        std::vector<Row> again = source_->rowsWithKeys({row.key});
        if (!again.empty())
            row = std::move(again.front());
    }
}
