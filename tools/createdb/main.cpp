// ruvured-createdb [--sample] <path>
// Creates a new, empty workstation database; with --sample it also fills the
// department, site and phrase dictionaries. An existing file is never touched.
// ruvured-createdb --check <path>           full check of a database
// ruvured-createdb --backup <path> <copy>   consistent copy, also while the program runs
// ruvured-createdb --audit [--verify] ...   the trail of who did what (see usage())
// ruvured-createdb --restore <path> <number> [--deleted-at <time>]   a deleted examination put back
//   (--audit and --restore take --server "<conninfo>" in place of <path>)
// ruvured-createdb [--sample] --server "<conninfo>"   the tables in an empty server database
// ruvured-createdb --copy <path> --server "<conninfo>" a workstation file moved to an empty server database
// ruvured-createdb --upgrade --server "<conninfo>"    a server database of an older version brought up to date

#include "createdb/audit_commands.h"
#include "createdb/console.h"
#include "createdb/sample_dictionaries.h"
#include "createdb/server_database.h"
#include "platform/core/failure.h"
#include "store/database_creator.h"
#include "store/connection.h"
#include "store/maintenance.h"
#include "store/server_schema.h"
#include "store/server_session.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <algorithm>
#include <csignal>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

int usage()
{
    Console::error(QStringLiteral("用法：ruvured-createdb [--sample] <数据库文件>\n"
                                 "  创建新的数据库文件；已存在的文件不会被覆盖。\n"
                                 "  --sample  同时填入示例科室、检查部位和报告短语。\n"
                                 "用法：ruvured-createdb --check <数据库文件>\n"
                                 "  完整检查数据库文件是否损坏。\n"
                                 "用法：ruvured-createdb --backup <数据库文件> <副本文件>\n"
                                 "  写出数据库的一致副本；程序运行时也可使用，已存在的副本文件不会被覆盖。\n"
                                 "用法：ruvured-createdb --audit <数据库文件> [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
                                 "[--record <记录号>] [--csv]\n"
                                 "  按时间顺序列出操作记录（时间、用户、计算机、操作、记录号、说明），以制表符分隔；"
                                 "--csv 输出带标题行的 CSV。\n"
                                 "用法：ruvured-createdb --audit --verify <数据库文件>\n"
                                 "  逐条核对操作记录链；完整时退出状态为 0，否则指出第一条不符的记录。\n"
                                 "用法：ruvured-createdb --restore <数据库文件> <记录号> [--deleted-at \"删除时间\"]\n"
                                 "  恢复在“病历管理”中删除的检查记录；同一记录号删除过多份时，用列出的删除时间指明哪一份。\n"
                                 "  --audit 和 --restore 用 --server \"<连接字符串>\" 代替数据库文件时，"
                                 "处理数据库服务器上的数据库。\n"
                                 "用法：ruvured-createdb [--sample] --server \"<连接字符串>\"\n"
                                 "  在数据库服务器上一个已有的空数据库中建表。\n"
                                 "用法：ruvured-createdb --copy <数据库文件> --server \"<连接字符串>\"\n"
                                 "  把数据库文件中的全部记录复制到服务器上一个已有的空数据库，并逐行核对。\n"
                                 "用法：ruvured-createdb --upgrade --server \"<连接字符串>\"\n"
                                 "  把服务器上旧版本程序的数据库升级到本版本（须以数据库所有者的身份连接）。"));
    return 2;
}

// A server has its own tools for what --check and --backup do for a file.
int serverMaintenance(const QString &mode)
{
    if (mode == QLatin1String("--backup"))
        Console::error(QStringLiteral("数据库服务器上的数据库请用服务器自带的 pg_dump 备份，例如每晚：\n"
                                     "  pg_dump -Fc -d ruvured -f /var/backups/ruvured-$(date +%F).dump\n"
                                     "恢复用 pg_restore。详见 README。"));
    else
        Console::error(QStringLiteral("数据库服务器自己保证数据完整；要检查，请在服务器上运行 pg_amcheck，"
                                     "或用 pg_dump 完整读出一次（读不出的表会报错）。详见 README。"));
    return 2;
}

int onServer(const QString &conninfo, const QString &copyFrom, bool sample)
{
    try {
        if (!copyFrom.isEmpty()) {
            const qint64 examinations = ServerDatabase::copy(copyFrom, conninfo);
            Console::out(QStringLiteral("已把“%1”复制到数据库服务器并逐行核对：%2条检查记录。").arg(copyFrom).arg(examinations));
        } else {
            ServerDatabase::create(conninfo, sample);
            Console::out(sample ? QStringLiteral("已在数据库服务器上建表（含示例字典）。")
                                 : QStringLiteral("已在数据库服务器上建表。"));
        }
    } catch (const Failure &failure) {
        Console::error(failure.message());
        return 1;
    }
    return 0;
}

// Files are upgraded by whoever opens them; a server database only by its
// owner, since the rooms' login may not change tables.
int upgradeServer(const QString &conninfo)
{
    try {
        int before = 0;
        {
            ServerSession session(conninfo);
            before = ServerSchema::marks(session).version;
        }
        Connection connection;
        connection.setServer(conninfo);
        connection.open();
        Console::out(before < ServerSchema::version ? QStringLiteral("已把数据库服务器上的数据库升级到本版本。")
                                                    : QStringLiteral("数据库服务器上的数据库已是本版本，无需升级。"));
    } catch (const Failure &failure) {
        Console::error(failure.message());
        return 1;
    }
    return 0;
}

int check(const QString &path)
{
    try {
        const QString verdict = Maintenance::check(path);
        if (verdict == QLatin1String("ok")) {
            Console::out(QStringLiteral("数据库文件“%1”检查完毕，没有发现损坏。").arg(path));
            return 0;
        }
        Console::error(QStringLiteral("数据库文件“%1”已损坏，请用备份恢复：\n%2").arg(path, verdict));
    } catch (const Failure &failure) {
        Console::error(failure.message());
    }
    return 1;
}

int backup(const QString &path, const QString &copy)
{
    // Stopped (Ctrl+C, a timer's stop, a shutdown), the copy in progress is
    // removed before the tool ends: nothing half made is left behind.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, requestStop);
    try {
        Maintenance::backup(path, copy, [](int) { return stopRequested == 0; });
    } catch (const Failure &failure) {
        Console::error(failure.message());
        return 1;
    }
    Console::out(QStringLiteral("已写出数据库副本：%1").arg(copy));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    static const QStringList modes = {"--sample", "--check", "--backup", "--copy", "--audit", "--restore", "--upgrade"};
    static const QStringList valued = {"--from", "--to", "--record", "--deleted-at"};
    static const QStringList flags = {"--verify", "--csv"};
    QString mode;
    QStringList paths;
    QMap<QString, QString> options;
    QString server;
    const QStringList arguments = app.arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--server") && server.isEmpty() && i + 1 < arguments.size())
            server = arguments.at(++i);
        else if (modes.contains(argument) && mode.isEmpty())
            mode = argument;
        else if (valued.contains(argument) && i + 1 < arguments.size() && !options.contains(argument))
            options[argument] = arguments.at(++i);
        else if (flags.contains(argument) && !options.contains(argument))
            options[argument] = QString();
        else if (argument.startsWith(QLatin1Char('-')))
            return usage();
        else
            paths << argument;
    }
    // Each option belongs to one command.
    const QStringList given = options.keys();
    const auto only = [&](const QStringList &allowed) {
        return std::all_of(given.begin(), given.end(), [&](const QString &option) { return allowed.contains(option); });
    };
    // The trail commands work on a database file or on the server, never both.
    const bool onTheServer = !server.isEmpty();
    const AuditCommands::Where where{onTheServer ? server : paths.value(0), onTheServer};
    if (mode == QLatin1String("--audit")) {
        if (paths.size() != (onTheServer ? 0 : 1))
            return usage();
        if (options.contains("--verify"))
            return given.size() == 1 ? AuditCommands::verify(where) : usage();
        if (!only({"--from", "--to", "--record", "--csv"}))
            return usage();
        AuditCommands::Listing listing;
        listing.csv = options.contains("--csv");
        for (const auto &[option, date] : {std::pair{"--from", &listing.from}, std::pair{"--to", &listing.to}}) {
            if (!options.contains(option))
                continue;
            *date = QDate::fromString(options.value(option), QStringLiteral("yyyy-MM-dd"));
            if (!date->isValid()) {
                Console::error(QStringLiteral("“%1”不是 YYYY-MM-DD 格式的日期。").arg(options.value(option)));
                return usage();
            }
        }
        if (options.contains("--record")) {
            bool isNumber = false;
            const qlonglong number = options.value("--record").toLongLong(&isNumber);
            if (!isNumber)
                return usage();
            listing.recordNumber = number;
        }
        return AuditCommands::list(where, listing);
    }
    if (mode == QLatin1String("--restore")) {
        bool isNumber = false;
        const qlonglong number = paths.size() == (onTheServer ? 1 : 2) ? paths.last().toLongLong(&isNumber) : 0;
        if (!isNumber || !only({"--deleted-at"}))
            return usage();
        return AuditCommands::restore(where, number, options.value("--deleted-at"));
    }
    if (!given.isEmpty())
        return usage();
    if (!server.isEmpty()) {
        if (mode == QLatin1String("--check") || mode == QLatin1String("--backup"))
            return serverMaintenance(mode);
        if (mode == QLatin1String("--copy"))
            return paths.size() == 1 ? onServer(server, paths.first(), false) : usage();
        if (mode == QLatin1String("--upgrade"))
            return paths.isEmpty() ? upgradeServer(server) : usage();
        return paths.isEmpty() ? onServer(server, {}, mode == QLatin1String("--sample")) : usage();
    }
    if (mode == QLatin1String("--copy") || mode == QLatin1String("--upgrade"))
        return usage();
    if (mode == QLatin1String("--check"))
        return paths.size() == 1 ? check(paths.first()) : usage();
    if (mode == QLatin1String("--backup"))
        return paths.size() == 2 ? backup(paths.at(0), paths.at(1)) : usage();
    const bool sample = mode == QLatin1String("--sample");
    if (paths.size() != 1)
        return usage();
    const QString path = paths.first();

    try {
        DatabaseCreator::create(path);
    } catch (const Failure &failure) {
        Console::error(failure.message());
        return 1;
    }
    if (sample) {
        try {
            SampleDictionaries::fill(path);
        } catch (const Failure &failure) {
            // The file is ours and a few moments old; without its dictionaries
            // it is removed so that the same command can simply be run again.
            QFile::remove(path);
            Console::error(failure.message());
            Console::error(QStringLiteral("已删除未完成的数据库文件：%1").arg(path));
            return 1;
        }
    }
    Console::out(sample ? QStringLiteral("已创建数据库（含示例字典）：%1").arg(path)
                        : QStringLiteral("已创建数据库：%1").arg(path));
    return 0;
}
