// ruvured-createdb [--sample] <path>
// Creates a new, empty workstation database; with --sample it also fills the
// department, site and phrase dictionaries. An existing file is never touched.
// ruvured-createdb --check <path>           full check of a database
// ruvured-createdb --backup <path> <copy>   consistent copy, also while the program runs

#include "createdb/sample_dictionaries.h"
#include "platform/core/failure.h"
#include "store/database_creator.h"
#include "store/maintenance.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fputc('\n', stream);
}

int usage()
{
    print(stderr, QStringLiteral("用法：ruvured-createdb [--sample] <数据库文件>\n"
                                 "  创建新的数据库文件；已存在的文件不会被覆盖。\n"
                                 "  --sample  同时填入示例科室、检查部位和报告短语。\n"
                                 "用法：ruvured-createdb --check <数据库文件>\n"
                                 "  完整检查数据库文件是否损坏。\n"
                                 "用法：ruvured-createdb --backup <数据库文件> <副本文件>\n"
                                 "  写出数据库的一致副本；程序运行时也可使用，已存在的副本文件不会被覆盖。"));
    return 2;
}

int check(const QString &path)
{
    try {
        const QString verdict = Maintenance::check(path);
        if (verdict == QLatin1String("ok")) {
            print(stdout, QStringLiteral("数据库文件“%1”检查完毕，没有发现损坏。").arg(path));
            return 0;
        }
        print(stderr, QStringLiteral("数据库文件“%1”已损坏，请用备份恢复：\n%2").arg(path, verdict));
    } catch (const Failure &failure) {
        print(stderr, failure.message());
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
        print(stderr, failure.message());
        return 1;
    }
    print(stdout, QStringLiteral("已写出数据库副本：%1").arg(copy));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QString mode;
    QStringList paths;
    const QStringList arguments = app.arguments().mid(1);
    for (const QString &argument : arguments) {
        const bool known = argument == QLatin1String("--sample") || argument == QLatin1String("--check")
                           || argument == QLatin1String("--backup");
        if (known && mode.isEmpty())
            mode = argument;
        else if (argument.startsWith(QLatin1Char('-')))
            return usage();
        else
            paths << argument;
    }
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
        print(stderr, failure.message());
        return 1;
    }
    if (sample) {
        try {
            SampleDictionaries::fill(path);
        } catch (const Failure &failure) {
            // The file is ours and a few moments old; without its dictionaries
            // it is removed so that the same command can simply be run again.
            QFile::remove(path);
            print(stderr, failure.message());
            print(stderr, QStringLiteral("已删除未完成的数据库文件：%1").arg(path));
            return 1;
        }
    }
    print(stdout, sample ? QStringLiteral("已创建数据库（含示例字典）：%1").arg(path)
                         : QStringLiteral("已创建数据库：%1").arg(path));
    return 0;
}
