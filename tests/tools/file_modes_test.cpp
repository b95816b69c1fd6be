#include "store/database_creator.h"
#include "store/maintenance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

} // namespace

// Patient names and diagnoses: whatever umask the operator's session has,
// nothing the tool writes is readable by other accounts (the copy kept before
// an upgrade: Connection's upgrade test).
TEST(FileModes, EveryFileMadeFromADatabaseIsForOwnerAndGroupOnly)
{
    struct Case {
        const char *what;
        std::function<void(const QString &db)> make;
        const char *made;
        mode_t mode;
    };
    const QList<Case> cases = {
        {"a new database", [](const QString &db) { DatabaseCreator::create(db); }, "ruvured.mdb", 0660},
        {"a backup",
         [](const QString &db) {
             DatabaseCreator::create(db);
             Maintenance::backup(db, QFileInfo(db).dir().filePath("copy.mdb"));
         },
         "copy.mdb", 0640},
    };
    for (const mode_t mask : {0000, 0022, 0002, 0077}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", umask " + std::to_string(mask));
            const QTemporaryDir dir;
            const QString db = dir.filePath("ruvured.mdb");
            const mode_t previous = ::umask(mask);
            c.make(db);
            ::umask(previous);
            EXPECT_EQ(modeOf(dir.filePath(c.made)), c.mode);
            EXPECT_EQ(modeOf(db), 0660u);
            // Nothing half-made (a partial copy, a journal) is left beside them.
            for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
                EXPECT_TRUE(name.endsWith(".mdb")) << name.toStdString();
        }
    }
}
