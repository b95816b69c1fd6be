#include "bench_server.h"

#include "bench_database.h"
#include "private_cluster.h"
#include "store/server_session.h"

#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

const char *BenchServer::name(BenchEngine engine)
{
    return engine == BenchEngine::Server ? "server" : "file";
}

QString BenchServer::conninfo()
{
    static const QString database = [] {
        const QString conninfo = PrivateCluster::instance().createWorkstationDatabase();
        ServerSession session(conninfo);
        // One statement on the server itself: a row at a time from here would take an hour.
        session.exec(QStringLiteral("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jtzz, jcsj, zdyj) "
                                    "select 1000000000 + n, '患者' || n, '男', n % 100, date '2006-03-05' + (n / 100), "
                                    "'胸部正位', '内科', '咳嗽待查', n::text, repeat('两肺纹理增粗。', 20), '考虑支气管炎' "
                                    "from generate_series(1, ?) as n"),
                     {BenchDatabase::records()});
        session.exec(QStringLiteral("analyze hzzl"));
        return conninfo;
    }();
    return database;
}

QString BenchServer::programFolder()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        QFile ini(folder.path() + QStringLiteral("/ruvured.ini"));
        if (!ini.open(QIODevice::WriteOnly) || ini.write(("[database]\nserver=" + conninfo() + '\n').toUtf8()) < 0)
            throw std::runtime_error("cannot write " + ini.fileName().toStdString());
        return folder.path();
    }();
    return path;
}
