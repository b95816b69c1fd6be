#include "store/statement_cache.h"

StatementCache::Lease::~Lease()
{
    statement_->reset();
    statement_->clearBindings();
    if (inUse_)
        *inUse_ = false;
}

StatementCache::Lease StatementCache::take(sqlite3 *db, const QString &text)
{
    if (const auto kept = entries_.find(text); kept != entries_.end()) {
        // A statement still being stepped by its caller is not shared.
        if (kept->second.inUse)
            return Lease(std::make_unique<Statement>(db, text));
        kept->second.inUse = true;
        return Lease(kept->second.statement.get(), &kept->second.inUse);
    }
    auto statement = std::make_unique<Statement>(db, text);
    if (entries_.size() >= capacity)
        return Lease(std::move(statement));
    Entry &entry = entries_[text];
    entry.statement = std::move(statement);
    entry.inUse = true;
    return Lease(entry.statement.get(), &entry.inUse);
}
