#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "store/connection.h"

class ServerSession;

// The two engines a workstation database can live on; tests of what both
// must do run once on each.
enum class Engine { File, Server };

// The engine a test program runs its windows on: the server when
// RUVURED_TEST_ENGINE=server (CTest runs the window tests once so), else a file.
Engine engineOfThisRun();

// "File" or "Server", for the names of parametrized tests.
std::string engineName(Engine engine);
std::string engineTestName(const ::testing::TestParamInfo<Engine> &info);
// A test suite over a fixture that takes TempDatabase's engine from GetParam() runs on both.
#define RUN_ON_BOTH_ENGINES(suite) \
    INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::Values(Engine::File, Engine::Server), engineTestName)

// A fresh workstation database with the program's connection pointed at it:
// a file in a private temporary folder, or a database of its own on this test
// program's private PostgreSQL cluster, named by a ruvured.ini in the folder.
class TempDatabase {
public:
    explicit TempDatabase(Engine engine = Engine::File);
    ~TempDatabase();

    Engine engine() const { return engine_; }
    bool onServer() const { return engine_ == Engine::Server; }
    const QString &directory() const { return directoryPath_; }
    QString path() const { return directoryPath_ + QStringLiteral("/ruvured.mdb"); }
    Connection &connection() { return connection_; }

    // Runs a statement ("?" marks) directly, outside every data set, as
    // another program would: through a session of its own on the server.
    void exec(const QString &sql, const QVariantList &values = {});
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    // Every row of `sql`, its columns joined by '|', null as "<null>".
    QStringList rows(const QString &sql);

private:
    Engine engine_;
    QTemporaryDir directory_;
    QString directoryPath_;
    Connection connection_;
    std::unique_ptr<ServerSession> other_;
};
