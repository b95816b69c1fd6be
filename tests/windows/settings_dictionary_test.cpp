// The three pages that follow the edit-mode pattern as it is: departments,
// exam sites and titles. Every case runs on each of them.

#include "settings_test.h"

#include "platform/widgets/data_grid.h"
#include "settings/form_sz.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

struct PatternPage {
    QWidget *sheet;
    DataGrid *grid;
    QLineEdit *fieldA;
    QLineEdit *fieldB;  // nullptr on the titles page
    QPushButton *save, *cancel, *add, *modify, *remove;
    QString table, columnA, columnB;

    QString select() const
    {
        return QStringLiteral("select %1 from %2").arg(fieldB ? columnA + ',' + columnB : columnA, table);
    }
};

PatternPage patternPage(const std::string &name)
{
    TForm_sz *f = Form_sz;
    if (name == "departments")
        return {f->TabSheet1, f->DBGrid1, f->Edit1, f->Edit2, f->Button1, f->Button2, f->Button3, f->Button4,
                f->Button5, "ks", "ksmc", "kspym"};
    if (name == "sites")
        return {f->TabSheet2, f->DBGrid2, f->Edit3, f->Edit4, f->Button7, f->Button8, f->Button10, f->Button9,
                f->Button11, "bwmc", "bwmc", "bwpym"};
    return {f->TabSheet3, f->DBGrid3, f->Edit6, nullptr, f->Button17, f->Button18, f->Button13, f->Button14,
            f->Button16, "bt", "bt", {}};
}

class PatternPageTest : public SettingsTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        page = patternPage(GetParam());
    }

    // A stored row "name|code" (just "name" on the titles page).
    void store(const QString &name, const QVariant &code = QStringLiteral("code"))
    {
        if (page.fieldB)
            db.exec(QStringLiteral("insert into %1 (%2, %3) values (?, ?)").arg(page.table, page.columnA, page.columnB),
                    {name, code});
        else
            db.exec(QStringLiteral("insert into %1 (%2) values (?)").arg(page.table, page.columnA), {name});
    }
    QString row(const QString &name, const QString &code) const { return page.fieldB ? name + '|' + code : name; }

    void open()
    {
        openSettings();
        showPage(page.sheet);
    }
    void fill(const QString &a, const QString &b)
    {
        page.fieldA->setText(a);
        if (page.fieldB)
            page.fieldB->setText(b);
    }
    QStringList fields() const
    {
        return page.fieldB ? QStringList{page.fieldA->text(), page.fieldB->text()} : QStringList{page.fieldA->text()};
    }
    // In the data sets' order: by key.
    QStringList stored() { return rows(page.select() + QStringLiteral(" order by _rowid_")); }
    void saveYes()
    {
        dialogs.confirmAnswers << true;
        click(page.save);
    }

    PatternPage page;
};

// text, Enter, text, Enter, Enter (Save), Enter (Yes), twice without a second Add.
TEST_P(PatternPageTest, KeyboardEntryOfNewRows)
{
    open();
    click(page.add);
    ASSERT_EQ(focused(), page.fieldA);
    for (const QString &name : {QStringLiteral("  外科 "), QStringLiteral("内科")}) {
        commit(name);
        press(Qt::Key_Return);
        if (page.fieldB) {
            ASSERT_EQ(focused(), page.fieldB);
            type(QStringLiteral(" wk "));
            press(Qt::Key_Return);
        }
        ASSERT_EQ(focused(), page.save);
        dialogs.confirmAnswers << true;
        press(Qt::Key_Return);
        EXPECT_EQ(focused(), page.fieldA);
        EXPECT_TRUE(page.fieldA->isEnabled() && page.save->isEnabled());
        EXPECT_EQ(fields().join(QString()), QString());
    }
    EXPECT_EQ(SettingsEditMode, 1);
    EXPECT_EQ(dialogs.confirmations, QStringList(2, QStringLiteral("真的要保存么？")));
    const QStringList expected{row("外科", "wk"), row("内科", "wk")};
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(shown(page.grid), expected);
}

// Emptiness is tested on the text as typed; blanks pass and are stored empty.
TEST_P(PatternPageTest, AddSaveChecksForEmptyFields)
{
    struct Case {
        QString a, b;
        bool answer;
        bool incomplete;
        QStringList stored;
    };
    QList<Case> cases{
        {"", "wk", true, true, {}},
        {"外科", "wk", false, false, {}},
        {"   ", " ", true, false, {row("", "")}},
    };
    if (page.fieldB)
        cases.append({"外科", "", true, true, {}});
    open();
    for (const Case &c : cases) {
        db.exec("delete from " + page.table);
        click(page.add);
        fill(c.a, c.b);
        dialogs.errors.clear();
        dialogs.confirmAnswers << c.answer;
        click(page.save);
        EXPECT_EQ(dialogs.errors, c.incomplete ? QStringList{"资料不全!"} : QStringList{}) << c.a.toStdString();
        EXPECT_EQ(stored(), c.stored) << c.a.toStdString();
        if (c.stored.isEmpty()) {
            EXPECT_EQ(fields().first(), c.a) << "the typed text stays";
        }
    }
}

// Modify writes into the data set's current row, wherever the keyboard moved it.
TEST_P(PatternPageTest, ModifyAfterKeyboardMoveWritesTheOtherRow)
{
    store("一", "a");
    store("二", "b");
    store("三", "c");
    open();
    clickCell(page.grid, 0);
    ASSERT_EQ(fields().first(), "一");
    click(page.modify);
    EXPECT_EQ(focused(), page.fieldA);
    fill(" 新 ", " x ");
    page.grid->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(fields().first(), " 新 ") << "a keyboard move copies nothing";
    saveYes();
    EXPECT_EQ(stored(), (QStringList{row("一", "a"), row("新", "x"), row("三", "c")}));
    const QStringList events = trail();
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].startsWith("字典||")) << events[0].toStdString();
    EXPECT_TRUE(events[0].endsWith(page.fieldB ? "修改 “二” “b” → “新” “x”" : "修改 “二” → “新”")) << events[0].toStdString();
    EXPECT_EQ(fields().first(), " 新 ");
    EXPECT_TRUE(page.fieldA->isEnabled());
    EXPECT_EQ(SettingsEditMode, 2);
}

TEST_P(PatternPageTest, ModifyOnAnEmptyTableAddsARow)
{
    open();
    click(page.modify);
    fill(" 外科 ", "wk");
    saveYes();
    EXPECT_EQ(stored(), QStringList{row("外科", "wk")});
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

// After a delete among several rows the fields show the new current row;
// deleting the only row empties them; then there is nothing left to delete.
TEST_P(PatternPageTest, DeleteLeavesTheNewCurrentRowInTheFields)
{
    store("一", "a");
    store("二", "b");
    store("三", "c");
    open();
    struct Step {
        int clicked;
        QString fieldA;
        QStringList left;
    };
    const QList<Step> steps{
        {1, "三", {row("一", "a"), row("三", "c")}},
        {1, "一", {row("一", "a")}},  // the last row went: the new last row is current
        {0, "", {}},
    };
    for (const Step &step : steps) {
        clickCell(page.grid, step.clicked);
        dialogs.confirmAnswers << true;
        click(page.remove);
        EXPECT_EQ(fields().first(), step.fieldA);
        EXPECT_EQ(stored(), step.left);
        EXPECT_EQ(shown(page.grid), step.left);
    }
    dialogs.confirmAnswers << true;
    click(page.remove);
    EXPECT_EQ(dialogs.messages, QStringList{"没有记录了!"});
}

TEST_P(PatternPageTest, CancelAfterAddKeepsTheModeButLocksSave)
{
    open();
    click(page.add);
    fill("外科", "wk");
    click(page.cancel);
    EXPECT_EQ(fields().join(QString()), QString());
    EXPECT_FALSE(page.fieldA->isEnabled() || page.save->isEnabled() || page.cancel->isEnabled());
    EXPECT_EQ(SettingsEditMode, 1);
}

TEST_P(PatternPageTest, LongTextIsCutToTheColumn)
{
    open();
    click(page.add);
    fill(QString(60, QChar(u'科')), QString(51, QChar('k')));
    saveYes();
    EXPECT_EQ(stored(), QStringList{row(QString(50, QChar(u'科')), QString(50, QChar('k')))});
}

// A null column stops the copy there; a field copied before it keeps its new text.
TEST_P(PatternPageTest, NullColumnStopsTheCopy)
{
    if (page.fieldB)
        store("外科", QVariant());
    else
        db.exec("insert into bt (bt) values (null)");
    open();
    fill("旧", "旧");
    clickCell(page.grid, 0);
    EXPECT_EQ(dialogs.failures, QStringList{"Could not convert variant of type (Null) into type (String)"});
    EXPECT_EQ(fields(), page.fieldB ? QStringList({"外科", "旧"}) : QStringList{"旧"});
}

// A write refused half way leaves no pending row behind: the grid follows
// its data set again and the next save writes exactly what it should.
TEST_P(PatternPageTest, ReadOnlyDatabaseWhilePageIsOpen)
{
    store("一", "a");
    open();
    clickCell(page.grid, 0);
    click(page.modify);
    fill("改", "m");
    setReadOnly(true);
    saveYes();
    click(page.add);
    fill("新", "n");
    saveYes();
    ASSERT_EQ(dialogs.failures.size(), 2);
    EXPECT_TRUE(dialogs.failures.first().contains(db.onServer() ? "权限" : "readonly")) << dialogs.failures.first().toStdString();
    EXPECT_EQ(stored(), QStringList{row("一", "a")});
    EXPECT_EQ(fields().first(), "新") << "the refused entry can be saved again";

    setReadOnly(false);
    saveYes();
    const QStringList expected{row("一", "a"), row("新", "n")};
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(shown(page.grid), expected);
}

INSTANTIATE_TEST_SUITE_P(Settings, PatternPageTest, ::testing::Values("departments", "sites", "titles"));

} // namespace
