// The phrase page: a memo and a title list instead of two edit fields, and
// its departures from the edit-mode pattern.

#include "settings_test.h"

#include "platform/widgets/data_grid.h"
#include "settings/form_sz.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class PhrasePage : public SettingsTest {
protected:
    void openPhrases()
    {
        openSettings();
        showPage(Form_sz->TabSheet4);
    }
    static QStringList titleList()
    {
        QStringList titles;
        for (int i = 0; i < Form_sz->ComboBox1->count(); ++i)
            titles << Form_sz->ComboBox1->itemText(i);
        return titles;
    }
    void saveYes()
    {
        dialogs.confirmAnswers << true;
        click(Form_sz->Button19);
    }
    QStringList phrases() { return rows("select bt, nr from nr"); }
};

// The list follows the titles table at every showing of the page, changes
// made on the titles page included, and starts with no title typed.
TEST_F(PhrasePage, TitleListIsRebuiltAtEveryShowing)
{
    addTitle("胸部");
    addTitle("四肢");
    openPhrases();
    EXPECT_EQ(titleList(), (QStringList{"胸部", "四肢"}));
    EXPECT_EQ(Form_sz->ComboBox1->currentText(), QString());

    showPage(Form_sz->TabSheet3);
    EXPECT_EQ(Form_sz->ADODataSet3.currentRow(), 1) << "filling the list leaves the titles on the last one";
    click(Form_sz->Button13);
    commit("头颅");
    dialogs.confirmAnswers << true;
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    clickCell(Form_sz->DBGrid3, 0);
    dialogs.confirmAnswers << true;
    click(Form_sz->Button16);
    showPage(Form_sz->TabSheet4);
    EXPECT_EQ(titleList(), (QStringList{"四肢", "头颅"}));
}

// A null title stops the fill there, and the phrases are not opened by that showing.
TEST_F(PhrasePage, NullTitleStopsTheList)
{
    addTitle("胸部");
    db.exec("insert into bt (bt) values (null)");
    addTitle("四肢");
    addPhrase("胸部", "两肺清晰");
    openPhrases();
    EXPECT_EQ(titleList(), QStringList{"胸部"});
    EXPECT_EQ(dialogs.failures, QStringList{"Could not convert variant of type (Null) into type (String)"});
    EXPECT_FALSE(Form_sz->ADODataSet4.active());
}

// Add-save: the memo as typed, the title trimmed, filed under any text.
TEST_F(PhrasePage, AddSave)
{
    struct Case {
        QString phrase, title;
        QStringList errors;
        QString stored;  // "bt|nr", empty for nothing stored
    };
    const QString longPhrase = QString(300, QChar(u'影'));
    const QList<Case> cases{
        {"", "胸部", {"资料不全!"}, {}},
        {"两肺清晰", "", {"资料不全!"}, {}},
        {" 两肺清晰\r\n", "  不存在的标题 ", {}, "不存在的标题| 两肺清晰\r\n"},
        {longPhrase, "胸部", {}, "胸部|" + longPhrase.left(255)},
    };
    addTitle("胸部");
    openPhrases();
    click(Form_sz->Button21);
    EXPECT_EQ(focused(), Form_sz->Memo1);
    for (const Case &c : cases) {
        db.exec("delete from nr");
        dialogs.errors.clear();
        Form_sz->Memo1->setText(c.phrase);
        Form_sz->ComboBox1->setEditText(c.title);
        saveYes();
        EXPECT_EQ(dialogs.errors, c.errors) << c.title.toStdString();
        EXPECT_EQ(phrases(), c.stored.isEmpty() ? QStringList{} : QStringList{c.stored}) << c.title.toStdString();
        if (c.errors.isEmpty()) {
            EXPECT_EQ(Form_sz->Memo1->text(), QString());
            EXPECT_EQ(Form_sz->ComboBox1->currentText(), c.title) << "the title stays for the next phrase";
            EXPECT_EQ(focused(), Form_sz->Memo1);
            EXPECT_EQ(shown(Form_sz->DBGrid4).last(), c.stored);
        }
    }
}

// Modify writes the phrase only; the row keeps its title.
TEST_F(PhrasePage, ModifyChangesOnlyThePhrase)
{
    addTitle("胸部");
    addTitle("四肢");
    addPhrase("胸部", "旧");
    openPhrases();
    clickCell(Form_sz->DBGrid4, 0);
    ASSERT_EQ(Form_sz->Memo1->text(), "旧");
    click(Form_sz->Button22);
    EXPECT_TRUE(Form_sz->Memo1->isEnabled());
    EXPECT_EQ(focused(), Form_sz->Button22) << "Modify leaves the focus where it was";
    Form_sz->Memo1->setText(" 新\r\n");
    Form_sz->ComboBox1->setCurrentIndex(1);
    saveYes();
    EXPECT_EQ(phrases(), QStringList{"胸部| 新\r\n"});
    // Old and new text in the trail, line break and all.
    EXPECT_EQ(trail(), QStringList{"字典||内容 修改 “胸部” “旧” → “胸部” “ 新\r\n”"});
}

// Save and Cancel stay enabled across showings; Save in mode 0 only asks.
// "放弃" does what its sister buttons do.
TEST_F(PhrasePage, SaveAndCancelButtons)
{
    addTitle("胸部");
    openPhrases();
    EXPECT_FALSE(Form_sz->Button19->isEnabled());
    click(Form_sz->Button21);
    Form_sz->Memo1->setText("两肺清晰");
    click(Form_sz->Button20);
    EXPECT_EQ(Form_sz->Memo1->text(), QString());
    EXPECT_FALSE(Form_sz->Memo1->isEnabled() || Form_sz->Button19->isEnabled() || Form_sz->Button20->isEnabled());
    EXPECT_EQ(SettingsEditMode, 1);

    click(Form_sz->Button21);
    showPage(Form_sz->TabSheet1);
    showPage(Form_sz->TabSheet4);
    EXPECT_EQ(SettingsEditMode, 0);
    EXPECT_FALSE(Form_sz->Memo1->isEnabled());
    EXPECT_TRUE(Form_sz->Button19->isEnabled() && Form_sz->Button20->isEnabled());
    Form_sz->ComboBox1->setEditText("胸部");
    Form_sz->Memo1->setText("两肺清晰");
    saveYes();
    EXPECT_EQ(dialogs.confirmations, QStringList{"真的要保存么？"});
    EXPECT_EQ(phrases(), QStringList{});
}

// Delete and click copy the phrase into the memo and leave the title alone.
TEST_F(PhrasePage, DeleteAndClickCopyThePhraseOnly)
{
    addPhrase("胸部", "一");
    addPhrase("胸部", "二");
    openPhrases();
    Form_sz->ComboBox1->setEditText("四肢");
    clickCell(Form_sz->DBGrid4, 0);
    EXPECT_EQ(Form_sz->Memo1->text(), "一");
    dialogs.confirmAnswers << true;
    click(Form_sz->Button23);
    EXPECT_EQ(Form_sz->Memo1->text(), "二");
    dialogs.confirmAnswers << true;
    click(Form_sz->Button23);
    EXPECT_EQ(Form_sz->Memo1->text(), QString());
    EXPECT_EQ(Form_sz->ComboBox1->currentText(), "四肢");
    EXPECT_EQ(phrases(), QStringList{});
}

} // namespace
