#include "window_test.h"

#include "platform/core/clock.h"
#include "registration/form5.h"
#include "registration/form6.h"
#include "registration/form_zj.h"
#include "window_focus.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// One picker as the registration window uses it: the field that opens it, the
// field the choice moves on to, and the dictionary behind it.
struct Picker {
    const char *name;
    QLineEdit *TForm_zj::*field;
    QLineEdit *TForm_zj::*next;
    PickerForm *(*window)();
    const char *table;
    const char *insert;
};

void PrintTo(const Picker &picker, std::ostream *out)
{
    *out << picker.name;
}

const Picker department{"Department", &TForm_zj::Edit6, &TForm_zj::Edit3, []() -> PickerForm * { return Form5; },
                        "ks", "insert into ks (ksmc, kspym) values (?, ?)"};
const Picker site{"Site", &TForm_zj::Edit4, &TForm_zj::Edit5, []() -> PickerForm * { return Form6; }, "bwmc",
                  "insert into bwmc (bwmc, bwpym) values (?, ?)"};

class PickerTest : public WindowTest, public ::testing::WithParamInterface<Picker> {
protected:
    QLineEdit *field() const { return Form_zj->*GetParam().field; }
    QLineEdit *next() const { return Form_zj->*GetParam().next; }
    PickerForm *picker() const { return GetParam().window(); }
    int currentRow() const { return picker()->DBGrid1->currentIndex().row(); }

    void fillDictionary()
    {
        const QStringList names{QStringLiteral("内科"), QStringLiteral("外科"), QStringLiteral("儿科")};
        const QStringList codes{QStringLiteral("nk"), QStringLiteral("wk"), QStringLiteral("ek")};
        for (int i = 0; i < names.size(); ++i)
            db.exec(QString::fromLatin1(GetParam().insert), {names[i], codes[i]});
    }

    // Registration shown, the focus in the picker's field.
    void focusField()
    {
        openRegistration();
        ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
        field()->setFocus();
        ASSERT_EQ(focused(), field());
    }

    void openByEnter()
    {
        press(Qt::Key_Return);
        ASSERT_TRUE(picker()->isVisible());
        ASSERT_TRUE(WindowFocus::waitActive(picker()));
    }
};

TEST_P(PickerTest, EnterInTheEmptyFieldChoosesFromTheKeyboard)
{
    fillDictionary();
    focusField();
    Form_zj->Edit1->setText(QStringLiteral("张三"));
    openByEnter();
    EXPECT_EQ(currentRow(), 0);
    EXPECT_EQ(focused(), picker()->DBGrid1);

    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Up);
    EXPECT_EQ(currentRow(), 1);
    press(Qt::Key_Return);

    EXPECT_EQ(field()->text(), QStringLiteral("外科"));
    EXPECT_EQ(Form_zj->Edit1->text(), QStringLiteral("张三")) << "the still visible window is not cleared";
    EXPECT_EQ(Form_zj->Label4->text(), "2006030501");
    EXPECT_FALSE(picker()->isVisible());
    ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
    EXPECT_EQ(focused(), next());
}

// The pinyin codes are shown only: a letter takes the current row, whatever it is.
TEST_P(PickerTest, ALetterChoosesTheCurrentRowWithoutSearching)
{
    fillDictionary();
    focusField();
    openByEnter();
    press(Qt::Key_W);
    EXPECT_EQ(field()->text(), QStringLiteral("内科"));
    EXPECT_FALSE(picker()->isVisible());
}

TEST_P(PickerTest, DoubleClickOpensOnlyOnAnEmptyField)
{
    fillDictionary();
    focusField();
    field()->setText(QStringLiteral("骨科"));
    doubleClick(field());
    EXPECT_FALSE(picker()->isVisible());
    EXPECT_EQ(field()->text(), QStringLiteral("骨科"));

    field()->clear();
    doubleClick(field());
    ASSERT_TRUE(picker()->isVisible());
    clickCell(picker()->DBGrid1, 2);
    EXPECT_EQ(field()->text(), QStringLiteral("儿科"));
    EXPECT_FALSE(picker()->isVisible());
}

// The registration window was left while its picker stayed open: the choice
// shows it again, and showing a hidden registration window starts it afresh.
TEST_P(PickerTest, ChoiceAfterRegistrationWasLeftStartsAfresh)
{
    fillDictionary();
    focusField();
    Form_zj->Edit1->setText(QStringLiteral("张三"));
    openByEnter();
    QTest::mouseClick(Form_zj->Button2, Qt::LeftButton);
    ASSERT_FALSE(Form_zj->isVisible());
    ASSERT_TRUE(picker()->isVisible());
    // Past midnight: a fresh allocation gives the new day's first number.
    Clock::setFixed(QDateTime(QDate(2006, 3, 6), QTime(0, 5)));

    clickCell(picker()->DBGrid1, 1);
    ASSERT_TRUE(Form_zj->isVisible());
    EXPECT_FALSE(picker()->isVisible());
    EXPECT_EQ(field()->text(), QString());
    EXPECT_EQ(Form_zj->Edit1->text(), QString());
    EXPECT_EQ(Form_zj->Label4->text(), "2006030601");
    ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
    EXPECT_EQ(focused(), next());
}

TEST_P(PickerTest, EmptyDictionaryChoiceFailsAndThePickerStays)
{
    focusField();
    openByEnter();
    press(Qt::Key_Return);
    EXPECT_EQ(dialogs.failures, QStringList{"Could not convert variant of type (Null) into type (String)"});
    EXPECT_EQ(field()->text(), QString());
    EXPECT_TRUE(picker()->isVisible());
}

TEST_P(PickerTest, ListThatCannotBeLoadedLeavesThePickerClosed)
{
    db.exec(QStringLiteral("drop table %1").arg(QString::fromLatin1(GetParam().table)));
    focusField();
    press(Qt::Key_Return);
    EXPECT_EQ(dialogs.failures.size(), 1);
    EXPECT_FALSE(picker()->isVisible());
    doubleClick(field());
    EXPECT_EQ(dialogs.failures.size(), 2);
    EXPECT_FALSE(picker()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Registration, PickerTest, ::testing::Values(department, site),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
