#include "store/schema_upgrade.h"

#include "platform/core/failure.h"
#include "store/file_modes.h"
#include "store/maintenance.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <sqlite3.h>

namespace {

QString freeName(const QString &wanted)
{
    QString name = wanted;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = wanted + QStringLiteral(".%1").arg(n);
    return name;
}

// Counts SQLite's progress calls, so that a statement without a measure of
// its own (the compaction) can be shown against the work of a similar one.
class WorkMeter {
public:
    WorkMeter(sqlite3 *db, std::function<void(qint64 calls)> onCall) : db_(db), onCall_(std::move(onCall))
    {
        sqlite3_progress_handler(db_, 20000, &WorkMeter::called, this);
    }
    ~WorkMeter() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    WorkMeter(const WorkMeter &) = delete;
    WorkMeter &operator=(const WorkMeter &) = delete;
    qint64 calls() const { return calls_; }

private:
    static int called(void *self)
    {
        auto *meter = static_cast<WorkMeter *>(self);
        if (meter->onCall_)
            meter->onCall_(++meter->calls_);
        else
            ++meter->calls_;
        return 0;
    }
    sqlite3 *db_;
    std::function<void(qint64)> onCall_;
    qint64 calls_ = 0;
};

// Version 1 gave the memos and the date numeric affinity. SQLite cannot
// change a column's declared type: each table is rebuilt with the current
// declaration, rows in their order and numbered afresh, so no table starts
// with gaps that nobody tracked. Copied a slice at a time to show progress.
void rebuildTables(sqlite3 *db, const SchemaUpgrade::Progress &progress)
{
    qint64 total = 0;
    for (const Schema::Table &table : Schema::tables())
        total += Statement::scalar(db, QStringLiteral("select count(*) from %1").arg(table.name)).toLongLong();
    constexpr int slice = 20000;
    qint64 copied = 0;
    for (const Schema::Table &table : Schema::tables()) {
        const QString columns = Schema::columnNames(table).join(',');
        Statement::execute(db, QStringLiteral("CREATE TABLE upgrade_%1 (%2)").arg(table.name, table.columns));
        {
            // Finalized before the old table is dropped.
            Statement next(db, QStringLiteral("select max(r) from (select _rowid_ as r from %1 where _rowid_ > ? "
                                              "order by _rowid_ limit %2)")
                                   .arg(table.name)
                                   .arg(slice));
            const QString insert = QStringLiteral("INSERT INTO upgrade_%1 (%2) SELECT %2 FROM %1 "
                                                  "WHERE _rowid_ > ? AND _rowid_ <= ? ORDER BY _rowid_")
                                       .arg(table.name, columns);
            for (qint64 from = std::numeric_limits<qint64>::min();;) {
                next.reset();
                next.bind(1, from);
                if (!next.step() || next.value(0).isNull())
                    break;
                const qint64 upTo = next.value(0).toLongLong();
                Statement::execute(db, insert, {from, upTo});
                copied += sqlite3_changes(db);
                from = upTo;
                if (progress)
                    progress(QStringLiteral("正在升级数据表"), total > 0 ? int(copied * 100 / total) : 100);
            }
        }
        Statement::execute(db, QStringLiteral("DROP TABLE %1").arg(table.name));
        Statement::execute(db, QStringLiteral("ALTER TABLE upgrade_%1 RENAME TO %1").arg(table.name));
    }
    for (const QString &statement : Schema::indexStatements() + Schema::trackingStatements())
        Statement::execute(db, statement);
}

void addCheckRecord(sqlite3 *db, const SchemaUpgrade::Progress &)
{
    for (const QString &statement : Schema::checkStatements())
        Statement::execute(db, statement);
}

// The trail starts empty: its first row is the first action after the upgrade.
void addTrail(sqlite3 *db, const SchemaUpgrade::Progress &)
{
    for (const QString &statement : Schema::trailStatements())
        Statement::execute(db, statement);
}

struct Step {
    void (*take)(sqlite3 *db, const SchemaUpgrade::Progress &progress);
    bool rebuildsTables;  // leaves the old tables' pages free
};

// The step that brings version N to N + 1 is steps[N - 1].
constexpr Step steps[] = {
    {rebuildTables, true},
    {addCheckRecord, false},
    {addTrail, false},
};
static_assert(std::size(steps) == Schema::userVersion - Schema::oldestUpgradable);

} // namespace

QString SchemaUpgrade::run(sqlite3 *db, const QString &path, int fromVersion, const Progress &progress)
{
    const QString kept = freeName(path + QStringLiteral(".v%1.bak").arg(fromVersion));
    try {
        Maintenance::copy(db, kept, FileModes::database, [&](int percent) {
            if (progress)
                progress(QStringLiteral("正在保存原文件的副本"), percent);
            return true;
        });
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("数据库文件“%1”需要升级，但升级前无法先保存原文件的副本，文件未作改动。%2")
                          .arg(path, failure.message()));
    }
    bool rebuilt = false;
    qint64 rebuildWork = 0;
    try {
        const WorkMeter meter(db, {});
        Statement::execute(db, QStringLiteral("BEGIN IMMEDIATE"));
        for (int version = fromVersion; version < Schema::userVersion; ++version) {
            const Step &step = steps[version - Schema::oldestUpgradable];
            step.take(db, progress);
            rebuilt = rebuilt || step.rebuildsTables;
        }
        Statement::execute(db, QStringLiteral("PRAGMA user_version = %1").arg(Schema::userVersion));
        Statement::execute(db, QStringLiteral("COMMIT"));
        rebuildWork = meter.calls();
    } catch (const Failure &failure) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Failure(QStringLiteral("数据库文件“%1”升级失败，文件未作改动，原文件的副本在“%2”。%3")
                          .arg(path, kept, failure.message()));
    }
    if (rebuilt) {
        // The old tables' pages are free now: without them the file is half
        // the size, and so is every backup of it. Rows are numbered 1..n
        // after the rebuild, so compacting cannot renumber them. An interrupted
        // compaction (killed, or no room for its temporary copy) rolls back
        // and leaves the upgraded file whole, only larger.
        const WorkMeter meter(db, [&](qint64 calls) {
            if (progress)
                progress(QStringLiteral("正在整理数据库文件"), int(qMin<qint64>(99, calls * 100 / qMax<qint64>(1, rebuildWork))));
        });
        sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr);
        if (progress)
            progress(QStringLiteral("正在整理数据库文件"), 100);
    }
    return kept;
}
