#include "existing_file.h"
#include "platform/failure.h"
#include "sqlite_file.h"
#include "store/database_creator.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

TEST(DatabaseCreator, CreatesExactlyTheFiveTablesWithTheirColumnWidths)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ruvured.mdb"));
    DatabaseCreator::create(path);

    // The store cuts written text to these declared widths, so a changed width
    // silently changes what is stored.
    const QList<std::pair<QString, QStringList>> expected = {
        {"hzzl", {"jcjlh INTEGER", "xm VARCHAR(50)", "xb VARCHAR(50)", "nl INTEGER", "jcrq DATETIME",
                  "jcbw VARCHAR(50)", "jcks VARCHAR(50)", "lczd VARCHAR(50)", "jcsj MEMO", "zdyj MEMO",
                  "jtzz VARCHAR(50)"}},
        {"ks", {"ksmc VARCHAR(50)", "kspym VARCHAR(50)"}},
        {"bwmc", {"bwmc VARCHAR(50)", "bwpym VARCHAR(50)"}},
        {"bt", {"bt VARCHAR(50)"}},
        {"nr", {"bt VARCHAR(50)", "nr VARCHAR(255)"}},
    };
    const SqliteFile db(path);
    QStringList tables;
    for (const QStringList &row : db.rows("select name from sqlite_master where type = 'table' order by name"))
        tables << row.first();
    EXPECT_EQ(tables, (QStringList{"bt", "bwmc", "hzzl", "ks", "nr"}));

    for (const auto &[table, columns] : expected) {
        QStringList actual;
        for (const QStringList &row : db.rows(QStringLiteral("select name || ' ' || type from pragma_table_info('%1')").arg(table)))
            actual << row.first();
        EXPECT_EQ(actual, columns) << table.toStdString();
    }
    EXPECT_EQ(db.number("PRAGMA application_id"), Schema::applicationId);
    EXPECT_EQ(db.number("PRAGMA user_version"), Schema::userVersion);
    EXPECT_EQ(db.number("select count(*) from hzzl"), 0);
    // Only the database itself: no temporary or journal file is left behind.
    EXPECT_EQ(entries(dir.path()), QStringList{"ruvured.mdb"});
}

TEST(DatabaseCreator, TablesTakeEmptyTextNullMemosAndDuplicates)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ruvured.mdb"));
    DatabaseCreator::create(path);
    SqliteFile db(path);
    const QString record = "insert into hzzl values (2024010101, '', '', 0, '2024-01-01', '', '', '', null, null, '')";
    for (const QString &statement : {record, QStringLiteral("insert into ks values ('', '')"),
                                     QStringLiteral("insert into bwmc values ('', '')"),
                                     QStringLiteral("insert into bt values ('')"),
                                     QStringLiteral("insert into nr values ('', '')")}) {
        db.execute(statement);
        db.execute(statement);
    }
    EXPECT_EQ(db.number("select count(*) from hzzl where jtzz = '' and jcsj is null"), 2);
    EXPECT_EQ(db.number("select count(*) from nr where bt = ''"), 2);
}

TEST(DatabaseCreator, RefusesAnExistingFileAndLeavesItUntouched)
{
    const QTemporaryDir source;
    const QString database = source.filePath(QStringLiteral("existing.mdb"));
    DatabaseCreator::create(database);
    QList<ExistingFile::Kind> kinds = ExistingFile::foreignKinds();
    kinds.append({"workstation database", ExistingFile::contentsOf(database)});
    for (const auto &[name, bytes] : kinds) {
        SCOPED_TRACE(name);
        const ExistingFile existing(bytes);
        EXPECT_THROW(DatabaseCreator::create(existing.path()), Failure);
        EXPECT_TRUE(existing.untouched());
    }
}

TEST(DatabaseCreator, DoesNotCreateThroughADanglingLink)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ruvured.mdb"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("elsewhere.mdb")), path));

    EXPECT_THROW(DatabaseCreator::create(path), Failure);
    EXPECT_EQ(entries(dir.path()), QStringList{"ruvured.mdb"});
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("elsewhere.mdb"))));
}

TEST(DatabaseCreator, ReportsAMissingFolderAsAFailure)
{
    const QTemporaryDir dir;
    try {
        DatabaseCreator::create(dir.filePath(QStringLiteral("missing/ruvured.mdb")));
        FAIL() << "created a database in a missing folder";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.message().startsWith(QStringLiteral("无法创建数据库"))) << failure.what();
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}
