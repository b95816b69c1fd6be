#include "createdb/sample_dictionaries.h"
#include "existing_file.h"
#include "platform/failure.h"
#include "sqlite_file.h"
#include "store/database_creator.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using CodedName = SampleDictionaries::CodedName;

const QList<std::pair<const char *, const QList<CodedName> *>> &codedDictionaries()
{
    static const QList<std::pair<const char *, const QList<CodedName> *>> list = {
        {"departments", &SampleDictionaries::departments()},
        {"sites", &SampleDictionaries::sites()},
    };
    return list;
}

QString createFilled(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("ruvured.mdb"));
    DatabaseCreator::create(path);
    SampleDictionaries::fill(path);
    return path;
}

} // namespace

TEST(SampleDictionaries, HaveEnoughEntriesForEveryList)
{
    EXPECT_GE(SampleDictionaries::departments().size(), 15);
    EXPECT_EQ(SampleDictionaries::sites().size(), 20);
    EXPECT_EQ(SampleDictionaries::phraseGroups().size(), 8);
    qsizetype phrases = 0;
    for (const auto &group : SampleDictionaries::phraseGroups()) {
        EXPECT_GE(group.phrases.size(), 2) << group.title.toStdString();
        phrases += group.phrases.size();
    }
    EXPECT_GE(phrases, 40);
}

TEST(SampleDictionaries, CodesAreOneUpperCaseInitialPerCharacter)
{
    static const QRegularExpression upperCase(QStringLiteral("^[A-Z]+$"));
    // A character is read the same way in every name here, so a character whose
    // initial differs between two codes marks a mistyped code.
    QHash<QChar, QChar> initials;
    for (const auto &[dictionary, entries] : codedDictionaries()) {
        QSet<QString> names;
        for (const CodedName &entry : *entries) {
            SCOPED_TRACE(std::string(dictionary) + " " + entry.name.toStdString());
            EXPECT_FALSE(names.contains(entry.name));
            names.insert(entry.name);
            EXPECT_LE(entry.name.size(), 50);
            ASSERT_EQ(entry.code.size(), entry.name.size()) << entry.code.toStdString();
            EXPECT_TRUE(upperCase.match(entry.code).hasMatch()) << entry.code.toStdString();
            for (qsizetype i = 0; i < entry.name.size(); ++i) {
                const QChar seen = initials.value(entry.name[i], entry.code[i]);
                EXPECT_EQ(QString(seen).toStdString(), QString(entry.code[i]).toStdString())
                    << QString(entry.name[i]).toStdString();
                initials.insert(entry.name[i], seen);
            }
        }
    }
    const QList<std::pair<QString, QString>> known = {
        {"内科", "NK"}, {"心血管内科", "XXGNK"}, {"胸部正位", "XBZW"}, {"腰椎正侧位", "YZZCW"}};
    for (const auto &[name, code] : known) {
        for (qsizetype i = 0; i < name.size(); ++i)
            EXPECT_EQ(QString(initials.value(name[i])).toStdString(), QString(code[i]).toStdString())
                << name.toStdString();
    }
}

TEST(SampleDictionaries, PhrasesFitTheirColumns)
{
    for (const auto &group : SampleDictionaries::phraseGroups()) {
        EXPECT_FALSE(group.title.isEmpty());
        EXPECT_LE(group.title.size(), 50);
        for (const QString &phrase : group.phrases) {
            EXPECT_FALSE(phrase.trimmed().isEmpty()) << group.title.toStdString();
            EXPECT_LE(phrase.size(), 255) << phrase.toStdString();
        }
    }
}

TEST(SampleDictionaries, FillWritesEveryEntryIntoItsColumns)
{
    const QTemporaryDir dir;
    const SqliteFile db(createFilled(dir));

    for (const auto &[table, entries] : {std::pair{QStringLiteral("ks"), &SampleDictionaries::departments()},
                                         std::pair{QStringLiteral("bwmc"), &SampleDictionaries::sites()}}) {
        QList<QStringList> expected;
        for (const CodedName &entry : *entries)
            expected << QStringList{entry.name, entry.code};
        EXPECT_EQ(db.rows(QStringLiteral("select * from %1 order by rowid").arg(table)), expected)
            << table.toStdString();
    }
    qsizetype phrases = 0;
    for (const auto &group : SampleDictionaries::phraseGroups())
        phrases += group.phrases.size();
    EXPECT_EQ(db.number("select count(*) from bt"), SampleDictionaries::phraseGroups().size());
    EXPECT_EQ(db.number("select count(*) from nr"), phrases);
    // The report window lists a title's phrases by equal text.
    EXPECT_EQ(db.number("select count(*) from nr where bt not in (select bt from bt)"), 0);
    EXPECT_EQ(db.number("select count(*) from bt where bt not in (select bt from nr)"), 0);
    EXPECT_EQ(db.number("select max(length(nr)) <= 255 from nr"), 1);
}

TEST(SampleDictionaries, FillRefusesFilesItShouldNotTouch)
{
    const QTemporaryDir source;
    QList<ExistingFile::Kind> kinds = ExistingFile::foreignKinds();
    kinds.append({"database already filled", ExistingFile::contentsOf(createFilled(source))});
    for (const auto &[name, bytes] : kinds) {
        SCOPED_TRACE(name);
        const ExistingFile existing(bytes);
        EXPECT_THROW(SampleDictionaries::fill(existing.path()), Failure);
        EXPECT_TRUE(existing.untouched());
    }

    const QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.mdb"));
    EXPECT_THROW(SampleDictionaries::fill(missing), Failure);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(SampleDictionaries, FillWritesAllOrNothing)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ruvured.mdb"));
    DatabaseCreator::create(path);
    SqliteFile db(path);
    // Phrases are written last: departments, sites and titles are already in
    // when the first phrase is refused.
    db.execute("create trigger refuse before insert on nr begin select raise(fail, 'refused'); end");

    EXPECT_THROW(SampleDictionaries::fill(path), Failure);
    EXPECT_EQ(db.number("select (select count(*) from ks) + (select count(*) from bwmc) + (select count(*) from bt)"), 0);
}
