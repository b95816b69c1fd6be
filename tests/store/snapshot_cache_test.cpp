#include "store/snapshot_cache.h"

#include <gtest/gtest.h>
#include <map>

namespace {

// A table of any engine: rows by key, the result being every row, with the
// reads counted.
class TableSource : public SnapshotCache::Source {
public:
    std::map<qint64, QString> rows;
    int reads = 0;

    int appendKeys(RowidList &keys, qint64 after, qint64 bound, int limit) override
    {
        ++reads;
        int learnt = 0;
        for (auto it = rows.upper_bound(after); it != rows.end() && it->first <= bound && learnt < limit; ++it, ++learnt)
            keys.append(it->first);
        return learnt;
    }
    std::vector<SnapshotCache::Row> rowsBetween(qint64 first, qint64 last) override
    {
        ++reads;
        std::vector<SnapshotCache::Row> found;
        for (auto it = rows.lower_bound(first); it != rows.end() && it->first <= last; ++it)
            found.push_back({it->first, {it->second}});
        return found;
    }
    RowidList lastKeys(qint64 after, qint64 bound, int limit) override
    {
        ++reads;
        std::vector<qint64> downwards;
        for (auto it = rows.upper_bound(bound); it != rows.begin() && int(downwards.size()) < limit;) {
            if ((--it)->first <= after)
                break;
            downwards.push_back(it->first);
        }
        RowidList keys;
        for (auto key = downwards.rbegin(); key != downwards.rend(); ++key)
            keys.append(*key);
        return keys;
    }
    std::vector<SnapshotCache::Row> rowsWithKeys(const std::vector<qint64> &keys) override
    {
        ++reads;
        std::vector<SnapshotCache::Row> found;
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {  // any order will do
            if (auto it = rows.find(*key); it != rows.end())
                found.push_back({it->first, {it->second}});
        }
        return found;
    }
};

// Keys 1..count, every third one missing when `gaps`: runs and scattered keys.
TableSource tableOf(int count, bool gaps)
{
    TableSource source;
    for (qint64 key = 1; key <= count; ++key) {
        if (!gaps || key % 3 != 0)
            source.rows[key] = QString::number(key);
    }
    return source;
}

QStringList valuesOf(SnapshotCache &cache)
{
    QStringList values;
    for (int i = 0; i < cache.known(); ++i) {
        const QVariant value = cache.row(i).values.at(0);
        values << (value.isNull() ? QStringLiteral("<null>") : value.toString());
    }
    return values;
}

QStringList expectedValues(const TableSource &source, qint64 bound)
{
    QStringList values;
    for (const auto &[key, value] : source.rows) {
        if (key <= bound)
            values << value;
    }
    return values;
}

} // namespace

TEST(SnapshotCache, LearnsTheReadingInKeyOrderAndNothingAboveItsBound)
{
    struct Case {
        const char *what;
        int rows;
        bool gaps;
    };
    const QList<Case> cases = {
        {"small, read whole at opening", 700, true},
        {"one more than read whole", SnapshotCache::residentLimit + 1, false},
        {"large, consecutive keys", 80000, false},
        {"large, scattered keys", 80000, true},
    };
    for (const Case &c : cases) {
        for (const bool lastFirst : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (lastFirst ? ", last rows first" : ""));
            TableSource source = tableOf(c.rows, c.gaps);
            const QStringList atOpening = expectedValues(source, c.rows);
            SnapshotCache cache(source);
            cache.openCounting(c.rows, 1);
            EXPECT_EQ(cache.known(), std::min<int>(atOpening.size(), SnapshotCache::residentLimit + 1));
            // Rows appended after opening lie above the bound.
            source.rows[c.rows + 1] = QStringLiteral("later");
            const QString first = cache.row(0).values.at(0).toString();
            if (lastFirst) {
                cache.learnLast();
                EXPECT_EQ(cache.row(cache.known() - 1).values.at(0).toString(), atOpening.last());
                // Kept before it moves down: another data set changes it.
                cache.keep(cache.known() - 1);
                std::next(source.rows.rbegin())->second = QStringLiteral("changed");
            }
            while (cache.counting())
                cache.learn();
            EXPECT_EQ(cache.row(0).values.at(0).toString(), first);
            EXPECT_EQ(valuesOf(cache), atOpening);
        }
    }
}

TEST(SnapshotCache, ReadsAPageAtATimeAndKeepsABoundedNumber)
{
    for (const bool gaps : {false, true}) {
        SCOPED_TRACE(gaps);
        TableSource source = tableOf(60000, gaps);
        SnapshotCache cache(source);
        cache.openCounting(60000, 1);
        cache.learnAll();
        source.reads = 0;
        const int pages = (cache.known() + SnapshotCache::pageSize - 1) / SnapshotCache::pageSize;
        EXPECT_EQ(valuesOf(cache), expectedValues(source, 60000));
        EXPECT_EQ(source.reads, pages);
        // The last pages are still held, the first were let go.
        cache.row(cache.known() - 1);
        EXPECT_EQ(source.reads, pages);
        cache.row(0);
        EXPECT_EQ(source.reads, pages + 1);
    }
}

TEST(SnapshotCache, KeptRowsAndRowsGoneSinceShowWhatTheyShowed)
{
    struct Case {
        const char *what;
        int rows;
    };
    for (const Case &c : {Case{"read whole at opening", 500}, Case{"read by pages", 5000}}) {
        SCOPED_TRACE(c.what);
        TableSource source = tableOf(c.rows, false);
        SnapshotCache cache(source);
        cache.openCounting(c.rows, 1);
        cache.learnAll();
        EXPECT_EQ(cache.row(100).values.at(0).toString(), "101");
        // Another data set is about to change row 101 and delete row 201.
        for (const qint64 key : {101, 201})
            cache.keep(cache.indexOf(key));
        source.rows[101] = QStringLiteral("changed");
        source.rows.erase(201);
        source.rows.erase(4001);  // gone before its page was read
        EXPECT_EQ(cache.row(100).values.at(0).toString(), "101");
        EXPECT_EQ(cache.row(200).values.at(0).toString(), "201");
        if (c.rows > 4001) {
            EXPECT_TRUE(cache.row(4000).values.at(0).isNull());
        }
        // Refresh shows the changed row as it is now; a row gone keeps what it showed.
        cache.refresh();
        EXPECT_EQ(cache.row(100).values.at(0).toString(), "changed");
        EXPECT_EQ(cache.row(200).values.at(0).toString(), "201");
        EXPECT_EQ(cache.known(), c.rows);
    }
}
