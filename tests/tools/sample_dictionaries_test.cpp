#include "createdb/sample_dictionaries.h"
#include "existing_file.h"
#include "platform/core/failure.h"
#include "temp_database.h"

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
    TempDatabase db;
    SampleDictionaries::fill(db.path());

    const QList<std::pair<QString, const QList<CodedName> *>> tables = {
        {"select group_concat(ksmc || '=' || kspym, ';') from (select * from ks order by rowid)",
         &SampleDictionaries::departments()},
        {"select group_concat(bwmc || '=' || bwpym, ';') from (select * from bwmc order by rowid)",
         &SampleDictionaries::sites()},
    };
    for (const auto &[sql, entries] : tables) {
        QStringList expected;
        for (const CodedName &entry : *entries)
            expected << entry.name + '=' + entry.code;
        EXPECT_EQ(db.scalar(sql).toString(), expected.join(';'));
    }
    qsizetype phrases = 0;
    for (const auto &group : SampleDictionaries::phraseGroups())
        phrases += group.phrases.size();
    EXPECT_EQ(db.scalar("select count(*) from bt").toInt(), SampleDictionaries::phraseGroups().size());
    EXPECT_EQ(db.scalar("select count(*) from nr").toInt(), phrases);
    // The report window lists a title's phrases by equal text.
    EXPECT_EQ(db.scalar("select count(*) from nr where bt not in (select bt from bt)").toInt(), 0);
    EXPECT_EQ(db.scalar("select count(*) from bt where bt not in (select bt from nr)").toInt(), 0);
    EXPECT_LE(db.scalar("select max(length(nr)) from nr").toInt(), 255);
}

TEST(SampleDictionaries, FillRefusesFilesItShouldNotTouch)
{
    const TempDatabase filled;
    SampleDictionaries::fill(filled.path());
    QList<ExistingFile::Kind> kinds = ExistingFile::foreignKinds();
    kinds.append({"database already filled", ExistingFile::contentsOf(filled.path())});
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
    TempDatabase db;
    // Phrases are written last: departments, sites and titles are already in
    // when the first phrase is refused.
    db.exec("create trigger refuse before insert on nr begin select raise(fail, 'refused'); end");

    EXPECT_THROW(SampleDictionaries::fill(db.path()), Failure);
    EXPECT_EQ(db.scalar("select (select count(*) from ks) + (select count(*) from bwmc) + (select count(*) from bt)")
                  .toInt(), 0);
}
