#include "private_cluster.h"
#include "store/audit_trail.h"
#include "store/query.h"
#include "temp_database.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct Rooms {
    const char *engine;
    int processes;
    int savesEach;
};

class RecordNumbers : public ::testing::TestWithParam<Rooms> {};

// Every copy of the program allocates from the same day at the same time, so
// nearly every save finds its number taken by another and must move on. The
// trail keeps one chain through them all: each save's trace and its print's,
// and none of a save taken back.
TEST_P(RecordNumbers, SimultaneousSavesNeverShareANumberAndKeepOneTrail)
{
    const Rooms rooms = GetParam();
    TempDatabase file;
    const bool server = QLatin1String(rooms.engine) == QLatin1String("server");
    const QString target = server ? PrivateCluster::instance().createWorkstationDatabase() : file.directory();
    Connection check;
    if (server)
        check.setServer(target);
    else
        check.setConnectionString(Connection::connectionStringFor(target));

    std::vector<std::unique_ptr<QProcess>> savers;
    for (int i = 0; i < rooms.processes; ++i) {
        savers.push_back(std::make_unique<QProcess>());
        savers.back()->start(QStringLiteral(CONCURRENT_SAVER_PROGRAM),
                             {QString::number(rooms.savesEach), server ? "--server" : "--file", target});
    }
    for (auto &saver : savers) {
        ASSERT_TRUE(saver->waitForFinished(600000));
        EXPECT_EQ(saver->exitCode(), 0) << saver->readAllStandardError().toStdString();
    }
    const int total = rooms.processes * rooms.savesEach;
    EXPECT_EQ(check.scalar("select count(*) from hzzl").toInt(), total);
    EXPECT_EQ(check.scalar("select count(distinct jcjlh) from hzzl").toInt(), total);
    // Keys handed out to racing rooms leave no gap a whole-table reading would count.
    Query all(&check, "ADOQuery4");
    all.Reopen({"select jcjlh from hzzl"});
    EXPECT_EQ(all.recordCount(), total);
    all.setCurrentRow(total - 1);
    EXPECT_EQ(all.fieldByName("jcjlh").asInteger(), check.scalar("select jcjlh from hzzl order by _rowid_ desc limit 1").toInt());
    const AuditTrail::Verdict trail = AuditTrail::verify(check);
    EXPECT_EQ(trail.rows, 2 * total);
    EXPECT_FALSE(trail.firstBroken);
    EXPECT_EQ(check.scalar("select count(distinct jcjlh) from audit_trail where action = ?", {AuditTrail::saved}).toInt(), total);
}

INSTANTIATE_TEST_SUITE_P(BothEngines, RecordNumbers,
                         ::testing::Values(Rooms{"file", 2, 500}, Rooms{"server", 4, 250}),
                         [](const auto &info) { return std::string(info.param.engine); });

} // namespace
