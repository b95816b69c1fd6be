#include "existing_file.h"
#include "platform/core/failure.h"
#include "store/database_creator.h"
#include "store/schema.h"
#include "temp_database.h"

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
    TempDatabase db;
    // Only the database itself: no temporary or journal file is left behind.
    EXPECT_EQ(entries(db.directory()), QStringList{"ruvured.mdb"});

    // The store cuts written text to these declared widths, so a changed width
    // silently changes what is stored.
    const QList<std::pair<QString, QString>> expected = {
        {"hzzl", "jcjlh INTEGER, xm VARCHAR(50), xb VARCHAR(50), nl INTEGER, jcrq DATETIME TEXT, jcbw VARCHAR(50), "
                 "jcks VARCHAR(50), lczd VARCHAR(50), jcsj MEMO TEXT, zdyj MEMO TEXT, jtzz VARCHAR(50)"},
        {"ks", "ksmc VARCHAR(50), kspym VARCHAR(50)"},
        {"bwmc", "bwmc VARCHAR(50), bwpym VARCHAR(50)"},
        {"bt", "bt VARCHAR(50)"},
        {"nr", "bt VARCHAR(50), nr VARCHAR(255)"},
    };
    EXPECT_EQ(db.scalar("select group_concat(name, ',') from "
                        "(select name from sqlite_master where type = 'table' order by name)").toString(),
              "bt,bwmc,file_checks,hzzl,ks,nr,removed_rows");
    for (const auto &[table, columns] : expected) {
        EXPECT_EQ(db.scalar(QStringLiteral("select group_concat(name || ' ' || type, ', ') from pragma_table_info('%1')")
                                .arg(table)).toString(), columns);
    }
    EXPECT_EQ(db.scalar("PRAGMA application_id").toInt(), Schema::applicationId);
    EXPECT_EQ(db.scalar("PRAGMA user_version").toInt(), Schema::userVersion);
    EXPECT_EQ(db.scalar("select count(*) from hzzl").toInt(), 0);
}

TEST(DatabaseCreator, TablesTakeEmptyTextNullMemosAndDuplicates)
{
    TempDatabase db;
    const QString record = "insert into hzzl values (2024010101, '', '', 0, '2024-01-01', '', '', '', null, null, '')";
    for (const QString &statement : {record, QStringLiteral("insert into ks values ('', '')"),
                                     QStringLiteral("insert into bwmc values ('', '')"),
                                     QStringLiteral("insert into bt values ('')"),
                                     QStringLiteral("insert into nr values ('', '')")}) {
        db.exec(statement);
        db.exec(statement);
    }
    EXPECT_EQ(db.scalar("select count(*) from hzzl where jtzz = '' and jcsj is null").toInt(), 2);
    EXPECT_EQ(db.scalar("select count(*) from nr where bt = ''").toInt(), 2);
}

TEST(DatabaseCreator, RefusesAnExistingFileAndLeavesItUntouched)
{
    const TempDatabase database;
    QList<ExistingFile::Kind> kinds = ExistingFile::foreignKinds();
    kinds.append({"workstation database", ExistingFile::contentsOf(database.path())});
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
