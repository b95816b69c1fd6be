#include "window_test.h"

#include "registration/form5.h"
#include "registration/form6.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "window_focus.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
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

// "粘贴" in the field's context menu with `text` on the clipboard.
std::function<void(QLineEdit *)> menuPasting(const QString &text)
{
    return [text](QLineEdit *edit) {
        QApplication::clipboard()->setText(text);
        edit->paste();
    };
}

// What a pinyin input method delivers: the syllables as composition, then the
// chosen text committed.
std::function<void(QLineEdit *)> committing(const QString &composition, const QString &text)
{
    return [composition, text](QLineEdit *edit) {
        QInputMethodEvent composing(composition, {});
        QApplication::sendEvent(edit, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(edit, &commit);
    };
}

// `text` dragged from another program and dropped at the field's end.
std::function<void(QLineEdit *)> dropping(const QString &text)
{
    return [text](QLineEdit *edit) {
        QMimeData data;
        data.setText(text);
        const QPoint end(edit->width() - 2, edit->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QDragMoveEvent move(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &move);
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
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
            Keys{"PinyinCommitted", committing(QStringLiteral("guzhi"), QStringLiteral("估值")), "12"},
            Keys{"DigitsCommitted", committing(QString(), QStringLiteral("34")), "1234"},
            Keys{"MenuPasteOfMixedText", menuPasting(QStringLiteral("3-4")), "12"},
            Keys{"MenuPasteOfDigits", menuPasting(QStringLiteral("34")), "1234"},
            Keys{"DropOfText", dropping(QStringLiteral("床3")), "12"},
            Keys{"DropOfDigits", dropping(QStringLiteral("34")), "1234"},
            Keys{"Digits", [](QLineEdit *e) { QTest::keyClicks(e, "3409"); }, "123409"},
            Keys{"Backspace", [](QLineEdit *e) { QTest::keyClick(e, Qt::Key_Backspace); }, "1"})),
    [](const auto &info) {
        return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
    });

using InputMethod = WindowTest;

// The Chinese input method serves the name and the diagnosis; the digit fields
// tell it, when it asks, that they take none.
TEST_F(InputMethod, IsOfferedOnlyInTheTextFields)
{
    const struct {
        const char *field;
        QLineEdit *edit;
        bool offered;
    } fields[] = {{"name", Form_zj->Edit1, true},
                  {"diagnosis", Form_zj->Edit5, true},
                  {"age", Form_zj->Edit2, false},
                  {"bed", Form_zj->Edit3, false}};
    for (const auto &field : fields) {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(field.edit, &query);
        EXPECT_EQ(query.value(Qt::ImEnabled).toBool(), field.offered) << field.field;
    }
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
