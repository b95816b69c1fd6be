#include "failure_text.h"
#include "private_cluster.h"
#include "store/connection.h"
#include "store/server_session.h"

#include <gtest/gtest.h>

// A server that cannot be used is reported like a file that cannot: one
// sentence saying why, and nothing opened.
TEST(ServerConnection, SaysWhyAServerCannotBeUsed)
{
    PrivateCluster &cluster = PrivateCluster::instance();
    const QString ours = cluster.createWorkstationDatabase();
    const QString empty = cluster.createDatabase();
    struct Case {
        QString conninfo;
        QString messagePart;  // empty: opens
    };
    const QList<Case> cases = {
        {ours, {}},
        {"host=/nonexistent/ruvured dbname=ruvured connect_timeout=2", "无法连接数据库服务器"},
        {cluster.conninfo("postgres") + " user=nobody", "数据库服务器拒绝了登录"},
        {cluster.conninfo("no_such_database"), "数据库服务器拒绝了登录"},
        {empty, "不是本系统的数据库"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.conninfo.toStdString());
        Connection connection;
        connection.setServer(c.conninfo);
        const QString message = failureOf([&] { connection.open(); });
        if (c.messagePart.isEmpty()) {
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            EXPECT_TRUE(connection.connected());
        } else {
            EXPECT_TRUE(message.contains(c.messagePart)) << message.toStdString();
            EXPECT_FALSE(connection.connected());
        }
    }
}

// The action that finds the connection gone says so; the next one reconnects.
TEST(ServerConnection, ReconnectsOnTheActionAfterALostConnection)
{
    Connection connection;
    connection.setServer(PrivateCluster::instance().createWorkstationDatabase());
    connection.write("insert into ks (ksmc, kspym) values (?, ?)", {"内科", "NK"});
    ServerSession other(connection.server());
    other.exec("select pg_terminate_backend(pid) from pg_stat_activity "
               "where datname = current_database() and pid <> pg_backend_pid()");

    const QString message = failureOf([&] { connection.scalar("select count(*) from ks"); });
    EXPECT_TRUE(message.startsWith("与数据库服务器的连接已断开")) << message.toStdString();
    EXPECT_EQ(connection.scalar("select count(*) from ks").toInt(), 1);

    // Lost inside a save: looked up after reconnecting, and reported as not stored.
    const QString lost = failureOf([&] {
        connection.transaction([&] {
            connection.write("insert into ks (ksmc, kspym) values (?, ?)", {"外科", "WK"});
            other.exec("select pg_terminate_backend(pid) from pg_stat_activity "
                       "where datname = current_database() and pid <> pg_backend_pid()");
            connection.write("insert into ks (ksmc, kspym) values (?, ?)", {"儿科", "EK"});
        });
    });
    EXPECT_EQ(lost, "保存时与数据库服务器的连接断开；重新连接后查明这次没有保存，请再保存一次。");
    EXPECT_EQ(connection.scalar("select count(*) from ks").toInt(), 1);
}
