#include "store/site_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct IniCase {
    const char *what;
    const char *besideProgram;  // nullptr: no ini beside the program
    const char *system;         // nullptr: no system-wide ini
    const char *databaseFile;   // expected, relative to the program folder ("" when a server is used)
    const char *server;
    const char *problemPart;    // "" when the settings are usable
};

void write(const QString &path, const char *text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(SiteSettings, ChoosesWhereTheRecordsAre)
{
    const IniCase cases[] = {
        {"no ini anywhere", nullptr, nullptr, "ruvured.mdb", "", ""},
        {"ini without a database section", "[other]\nx=1\n", nullptr, "ruvured.mdb", "", ""},
        {"absolute file", "[database]\nfile=/var/lib/ruvured/ruvured.mdb\n", nullptr,
         "/var/lib/ruvured/ruvured.mdb", "", ""},
        {"relative file is beside the ini", "[database]\nfile=data/records.mdb\n", nullptr, "data/records.mdb", "", ""},
        {"server with a host list keeps its commas", "[database]\nserver=host=a,b dbname=ruvured\n", nullptr,
         "ruvured.mdb", "host=a,b dbname=ruvured", ""},
        {"the ini beside the program wins", "[database]\nfile=mine.mdb\n", "[database]\nserver=service=ruvured\n",
         "mine.mdb", "", ""},
        {"system ini when none is beside", nullptr, "[database]\nserver=service=ruvured\n", "ruvured.mdb",
         "service=ruvured", ""},
        {"file and server together", "[database]\nfile=a.mdb\nserver=service=ruvured\n", nullptr, "ruvured.mdb", "",
         "同时指定了数据库文件"},
    };
    for (const IniCase &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString program = dir.filePath("program");
        QDir().mkpath(program);
        if (c.besideProgram)
            write(program + "/ruvured.ini", c.besideProgram);
        const QString system = dir.filePath("etc-ruvured.ini");
        if (c.system)
            write(system, c.system);

        const SiteSettings site = SiteSettings::load(program, system);
        if (*c.problemPart) {
            EXPECT_TRUE(site.problem().contains(QString::fromUtf8(c.problemPart))) << site.problem().toStdString();
            continue;
        }
        EXPECT_TRUE(site.problem().isEmpty()) << site.problem().toStdString();
        EXPECT_EQ(site.server(), QString::fromUtf8(c.server));
        EXPECT_EQ(site.databaseFile(), QDir(program).absoluteFilePath(QString::fromUtf8(c.databaseFile)));
    }
}

TEST(SiteSettings, AnUnreadableIniIsReportedNotIgnored)
{
    QTemporaryDir dir;
    // A folder where the file should be cannot be read as settings; falling
    // back to the default file would put this room's records somewhere else.
    QDir(dir.path()).mkpath("ruvured.ini");
    const SiteSettings site = SiteSettings::load(dir.path(), QString());
    EXPECT_TRUE(site.problem().contains("无法读取配置文件")) << site.problem().toStdString();
}
