#include "bench_database.h"

#include "platform/core/clock.h"
#include "store/connection.h"
#include "store/database_creator.h"
#include "store/statement.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace {

int recordCount = 1000000;

QString findings(int i)
{
    const QString sentences[] = {
        QStringLiteral("两肺纹理清晰，走行自然，肺野内未见明确实质性病变。"),
        QStringLiteral("双肺门影不大，纵隔居中，心影大小、形态未见异常。"),
        QStringLiteral("两膈面光整，肋膈角锐利。"),
        QStringLiteral("腰椎生理曲度变直，诸椎体边缘骨质增生，呈唇样改变。"),
        QStringLiteral("椎间隙未见明显变窄，附件结构未见异常。"),
        QStringLiteral("右胫腓骨远端骨皮质连续性中断，断端对位对线尚可。"),
    };
    QString text;
    for (int k = 0; text.size() < 220; ++k)
        text += sentences[(i + k) % 6] + QChar(13);
    return text;
}

// Builds the database in a side folder and moves it into place when complete,
// so an interrupted build is never taken for a finished one. With
// `searchedEvery` > 0, every so many records carry the searched number, day
// and department and the others differ in all three.
void build(const QString &directory, int searchedEvery)
{
    const QString building = BenchDatabase::startBuilding(directory);
    Connection connection;
    connection.setConnectionString(Connection::connectionStringFor(building));
    sqlite3 *db = connection.handle();
    Statement::execute(db, "PRAGMA synchronous = OFF");
    Statement::execute(db, "BEGIN");
    Statement insert(db, "insert into hzzl values (?,?,?,?,?,?,?,?,?,?,?)");
    const QDate first(2006, 1, 1);
    for (int i = 0; i < recordCount; ++i) {
        const bool searched = searchedEvery > 0 && i % searchedEvery == 0;
        const QDate day = searched ? BenchDatabase::searchedDay() : first.addDays(i / 60);
        const int number = searched ? BenchDatabase::searchedNumber
                                    : day.year() * 1000000 + day.month() * 10000 + day.day() * 100 + i % 60 + 1;
        const QString department = searched || searchedEvery == 0 ? BenchDatabase::searchedDepartment()
                                                                  : QStringLiteral("骨科%1").arg(i % 7);
        insert.reset();
        insert.bindAll({number, QStringLiteral("患者%1").arg(i), i % 2 ? QStringLiteral("男") : QStringLiteral("女"),
                        20 + i % 60, day.toString(Qt::ISODate), QStringLiteral("胸部正位"), department,
                        QStringLiteral("咳嗽待查"), findings(i), QStringLiteral("心肺膈未见明显异常。"),
                        QString::number(i % 40)});
        insert.step();
    }
    Statement::execute(db, "COMMIT");
    connection.close();
    QDir().rename(building, directory);
}

} // namespace

QString BenchDatabase::startBuilding(const QString &directory)
{
    const QString building = directory + QStringLiteral(".building");
    QDir(building).removeRecursively();
    QDir().mkpath(building);
    DatabaseCreator::create(building + QStringLiteral("/ruvured.mdb"));
    return building;
}

QString BenchDatabase::prepare(int argc, char **argv)
{
    QString directory;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--records=", 10) == 0)
            recordCount = std::atoi(argv[i] + 10);
        else if (std::strncmp(argv[i], "--directory=", 12) == 0)
            directory = QString::fromLocal8Bit(argv[i] + 12);
    }
    if (directory.isEmpty())
        directory = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data-%1").arg(recordCount);
    if (!QFile::exists(directory + QStringLiteral("/ruvured.mdb")))
        build(directory, 0);
    return directory;
}

QString BenchDatabase::prepareSearched(const QString &besides, int every)
{
    const QString directory = besides + QStringLiteral("-searched-every-%1").arg(every);
    if (!QFile::exists(directory + QStringLiteral("/ruvured.mdb")))
        build(directory, every);
    return directory;
}

QDate BenchDatabase::searchedDay()
{
    return QDate(2026, 12, 10);
}

QString BenchDatabase::searchedDepartment()
{
    return QStringLiteral("呼吸内科");
}

int BenchDatabase::records()
{
    return recordCount;
}

void BenchDatabase::dropFromPageCache(const QString &file)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

long BenchDatabase::residentKilobytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BenchDatabase::insertExamination(Connection &connection, qint32 number)
{
    connection.write(QStringLiteral("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jtzz, jcsj, zdyj) "
                                    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {number, QStringLiteral("张三"), QStringLiteral("男"), 45, Clock::today().toString(Qt::ISODate),
                      QStringLiteral("胸部正位"), QStringLiteral("内科"), QStringLiteral("咳嗽待查"), QStringLiteral("12"),
                      QStringLiteral("两肺纹理清晰。\r"), QStringLiteral("心肺膈未见异常。\r")});
}

std::vector<QVariantList> BenchDatabase::readEverything(sqlite3 *db, const QString &text)
{
    std::vector<QVariantList> rows;
    Statement statement(db, text);
    while (statement.step()) {
        QVariantList row;
        for (int column = 0; column < statement.columnCount(); ++column)
            row << statement.value(column);
        rows.push_back(std::move(row));
    }
    return rows;
}

double BenchDatabase::median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
