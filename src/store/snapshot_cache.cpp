#include "store/snapshot_cache.h"

#include <algorithm>

void SnapshotCache::clear()
{
    keys_.clear();
    last_.clear();
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
    const qint64 upTo = last_.size() > 0 ? last_.at(0) - 1 : bound_;
    RowidList learnt;
    const int count = source_->appendKeys(learnt, learntUpTo(), upTo, limit);
    const int at = settled();
    keys_.append(learnt);
    if (last_.size() > 0 && count > 0)
        insertedAt(at, count);
    counting_ = count == limit;
    if (!counting_) {
        keys_.append(last_);
        last_.clear();
    }
    return count;
}

void SnapshotCache::learnLast(int limit)
{
    if (!counting_ || last_.size() > 0)
        return;
    RowidList last = source_->lastKeys(learntUpTo(), bound_, limit);
    if (last.size() < limit) {  // nothing lies between
        keys_.append(last);
        counting_ = false;
    } else {
        last_ = std::move(last);
    }
}

qint64 SnapshotCache::learntUpTo() const
{
    // After the last key learnt in order, so that a step that failed half way goes on where it stopped.
    return settled() > 0 ? keys_.at(settled() - 1) : std::numeric_limits<qint64>::min();
}

void SnapshotCache::insertedAt(int index, int count)
{
    std::erase_if(pages_, [index](const auto &page) { return (page.first + 1) * pageSize > index; });
    std::unordered_map<int, Row> kept;
    for (auto &[at, row] : kept_)
        kept.emplace(at < index ? at : at + count, std::move(row));
    kept_ = std::move(kept);
}

qint64 SnapshotCache::keyAt(int index) const
{
    return index < settled() ? keys_.at(index) : last_.at(index - settled());
}

bool SnapshotCache::consecutive(int index, int count) const
{
    if (index + count <= settled())
        return keys_.consecutive(index, count);
    return index >= settled() && last_.consecutive(index - settled(), count);
}

int SnapshotCache::indexOf(qint64 key) const
{
    if (const int index = keys_.indexOf(key); index >= 0)
        return index;
    const int index = last_.indexOf(key);
    return index >= 0 ? settled() + index : -1;
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
    if (consecutive(start, count)) {
        read = source_->rowsBetween(keyAt(start), keyAt(start + count - 1));
    } else {
        std::vector<qint64> keys;
        keys.reserve(count);
        for (int i = 0; i < count; ++i)
            keys.push_back(keyAt(start + i));
        read = source_->rowsWithKeys(keys);
    }
    std::unordered_map<qint64, Row> found;
    for (Row &row : read)
        found.emplace(row.key, std::move(row));
    Page result;
    result.rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 key = keyAt(start + i);
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
