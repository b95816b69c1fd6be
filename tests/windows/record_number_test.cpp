#include "window_test.h"

#include "main_menu/form1.h"
#include "registration/form_zj.h"
#include "window_focus.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

struct Allocation {
    const char *name;
    QList<qint64> stored;
    QString expected;
};

void PrintTo(const Allocation &allocation, std::ostream *out)
{
    *out << allocation.name;
}

class RecordNumber : public WindowTest, public ::testing::WithParamInterface<Allocation> {};

TEST_P(RecordNumber, ContinuesFromTheHighestStoredNumber)
{
    for (qint64 number : GetParam().stored)
        addRecord(number);
    openRegistration();
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_EQ(Form_zj->Label4->text(), GetParam().expected);
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Registration, RecordNumber,
    ::testing::Values(Allocation{"EmptyTable", {}, "2006030501"},
                      Allocation{"SameDay", {2006030503, 2006030507}, "2006030508"},
                      Allocation{"EarlierDay", {2006030415}, "2006030501"},
                      Allocation{"FirstOfTheDayStored", {2006030501}, "2006030502"},
                      Allocation{"NextHundred", {2006030599}, "2006030600"},
                      Allocation{"LaterDay", {2006030507, 2006040101}, "2006040102"}),
    [](const auto &info) { return std::string(info.param.name); });

using RecordNumberKept = WindowTest;

// Nothing reserves a number: leaving without a saved record gives it out again.
TEST_F(RecordNumberKept, AfterLeavingRegistration)
{
    addRecord(2006030507);
    openRegistration();
    ASSERT_EQ(Form_zj->Label4->text(), "2006030508");
    QTest::mouseClick(Form_zj->Button2, Qt::LeftButton);
    EXPECT_FALSE(Form_zj->isVisible());
    EXPECT_TRUE(Form1->isVisible());

    openRegistration();
    EXPECT_EQ(Form_zj->Label4->text(), "2006030508");
}

// A database failure while allocating leaves the window usable: shown,
// cleared, the focus in the name, the number of the previous showing kept.
TEST_F(RecordNumberKept, WhenTheRecordsCannotBeRead)
{
    openRegistration();
    ASSERT_EQ(Form_zj->Label4->text(), "2006030501");
    Form_zj->Edit1->setText(QStringLiteral("张三"));
    QTest::mouseClick(Form_zj->Button2, Qt::LeftButton);
    // The allocation's queries stay open and keep the table in use.
    Form_zj->ADOQuery3.Close();
    Form_zj->ADOQuery4.Close();
    db.exec(QStringLiteral("drop table hzzl"));

    openRegistration();
    EXPECT_EQ(dialogs.failures.size(), 1);
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_EQ(Form_zj->Edit1->text(), QString());
    EXPECT_EQ(Form_zj->Label4->text(), "2006030501");
    EXPECT_TRUE(WindowFocus::waitActive(Form_zj));
    EXPECT_EQ(focused(), Form_zj->Edit1);
}

// The highest 32-bit number has no successor: nothing beyond it is handed out.
TEST_F(RecordNumberKept, NotBeyondTheLargestNumber)
{
    addRecord(2147483647);
    openRegistration();
    ASSERT_EQ(dialogs.failures.size(), 1);
    EXPECT_TRUE(dialogs.failures.first().contains(QStringLiteral("最大值"))) << dialogs.failures.first().toStdString();
    EXPECT_EQ(Form_zj->Label4->text(), QString());
}

} // namespace
