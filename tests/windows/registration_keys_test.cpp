#include "window_test.h"

#include "registration/form5.h"
#include "registration/form6.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "window_focus.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

// What the operator does in a digit field that already holds "12".
struct Keys {
    const char *name;
    std::function<void(QLineEdit *)> act;
    QString expected;
};

void PrintTo(const Keys &keys, std::ostream *out)
{
    *out << keys.name;
}

class DigitFilter : public WindowTest,
                    public ::testing::WithParamInterface<std::tuple<const char *, Keys>> {
protected:
    QLineEdit *field() const
    {
        return std::get<0>(GetParam()) == std::string("age") ? Form_zj->Edit2 : Form_zj->Edit3;
    }
};

TEST_P(DigitFilter, LetsOnlyDigitsAndBackspaceThrough)
{
    openRegistration();
    QLineEdit *edit = field();
    edit->setFocus();
    QTest::keyClicks(edit, "12");
    ASSERT_EQ(edit->text(), "12");
    std::get<1>(GetParam()).act(edit);
    EXPECT_EQ(edit->text(), std::get<1>(GetParam()).expected);
}

// Ctrl+V with `text` on the clipboard.
std::function<void(QLineEdit *)> pasting(const QString &text)
{
    return [text](QLineEdit *edit) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Registration, DigitFilter,
    ::testing::Combine(
        ::testing::Values("age", "bed"),
        ::testing::Values(
            Keys{"Letters", [](QLineEdit *e) { QTest::keyClicks(e, "abcXYZ"); }, "12"},
            Keys{"Punctuation", [](QLineEdit *e) { QTest::keyClicks(e, "-+., /;'"); }, "12"},
            Keys{"PasteOfDigits", pasting(QStringLiteral("345")), "12"},
            Keys{"PasteOfLetters", pasting(QStringLiteral("abc")), "12"},
            Keys{"CopyThenPaste",
                 [](QLineEdit *e) {
                     e->selectAll();
                     QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
                     e->end(false);
                     QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
                 },
                 "12"},
            Keys{"Cut",
                 [](QLineEdit *e) {
                     e->selectAll();
                     QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
                 },
                 "12"},
            Keys{"Digits", [](QLineEdit *e) { QTest::keyClicks(e, "3409"); }, "123409"},
            Keys{"Backspace", [](QLineEdit *e) { QTest::keyClick(e, Qt::Key_Backspace); }, "1"})),
    [](const auto &info) {
        return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

using InputMethod = WindowTest;

// The Chinese input method serves the name and the diagnosis; in the digit
// fields it would hand over text past the digit filter.
TEST_F(InputMethod, OnlyInTheTextFields)
{
    EXPECT_TRUE(Form_zj->Edit1->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(Form_zj->Edit5->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(Form_zj->Edit2->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(Form_zj->Edit3->testAttribute(Qt::WA_InputMethodEnabled));
}

using EnterChain = WindowTest;

// Enter walks name, sex, age, department, bed, site, diagnosis, "增加"; texts
// typed into the department and site fields (even unknown ones) are kept.
TEST_F(EnterChain, WalksTheFieldsAndHandsOverWhatWasTyped)
{
    addDepartment(QStringLiteral("内科"));
    addSite(QStringLiteral("胸部"));
    openRegistration();
    ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
    EXPECT_EQ(focused(), Form_zj->Edit1);
    const struct {
        const char *typed;
        QWidget *next;
    } steps[] = {
        {"Li Lei", Form_zj->ComboBox1}, {"M", Form_zj->Edit2},  {"45", Form_zj->Edit6},
        {"Ward 9", Form_zj->Edit3},     {"12", Form_zj->Edit4}, {"Hand", Form_zj->Edit5},
        {"Fracture?", Form_zj->Button1},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.typed);
        type(QString::fromLatin1(step.typed));
        press(Qt::Key_Return);
        EXPECT_EQ(focused(), step.next);
    }
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_FALSE(Form6->isVisible());

    press(Qt::Key_Return);
    EXPECT_FALSE(Form_zj->isVisible());
    ASSERT_TRUE(Form_dy->isVisible());
    EXPECT_EQ(Form_dy->Label6->text(), "Li Lei");
    EXPECT_EQ(Form_dy->Label7->text(), "M");
    EXPECT_EQ(Form_dy->Label10->text(), "45");
    EXPECT_EQ(Form_dy->Label12->text(), "Ward 9");
    EXPECT_EQ(Form_dy->Label23->text(), "12");
    EXPECT_EQ(Form_dy->Label16->text(), "Hand");
    EXPECT_EQ(Form_dy->Label19->text(), "Fracture?");
}

// A field of blanks is not empty: Enter goes on, no picker opens, and the
// blanks are handed over as they are.
TEST_F(EnterChain, BlanksCountAsFilled)
{
    addDepartment(QStringLiteral("内科"));
    addSite(QStringLiteral("胸部"));
    openRegistration();
    ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
    Form_zj->Edit6->setFocus();
    type(QStringLiteral("  "));
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), Form_zj->Edit3);
    press(Qt::Key_Return);
    type(QStringLiteral(" "));
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), Form_zj->Edit5);
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_FALSE(Form6->isVisible());

    QTest::mouseClick(Form_zj->Button1, Qt::LeftButton);
    EXPECT_EQ(Form_dy->Label12->text(), "  ");
    EXPECT_EQ(Form_dy->Label16->text(), " ");
}

} // namespace
