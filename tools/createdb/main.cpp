// ruvured-createdb [--sample] <path>
// Creates a new, empty workstation database; with --sample it also fills the
// department, site and phrase dictionaries. An existing file is never touched.

#include "createdb/sample_dictionaries.h"
#include "platform/core/failure.h"
#include "store/database_creator.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fputc('\n', stream);
}

int usage()
{
    print(stderr, QStringLiteral("用法：ruvured-createdb [--sample] <数据库文件>\n"
                                 "  创建新的数据库文件；已存在的文件不会被覆盖。\n"
                                 "  --sample  同时填入示例科室、检查部位和报告短语。"));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    bool sample = false;
    QStringList paths;
    const QStringList arguments = app.arguments().mid(1);
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--sample"))
            sample = true;
        else if (argument.startsWith(QLatin1Char('-')))
            return usage();
        else
            paths << argument;
    }
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
