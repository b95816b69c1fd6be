#include "window_test.h"

#include "main_menu/form1.h"
#include "shared_state/shared_state.h"
#include "platform/core/convert.h"
#include "platform/widgets/data_grid.h"
#include "query/form_cx.h"
#include "registration/form5.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "window_focus.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using Box = QCheckBox *TForm_cx::*;

const QString nullText = QStringLiteral("Could not convert variant of type (Null) into type (String)");

struct Examination {
    qint64 number;
    QString department;
    QDate day;
    QVariant age = 45;
    QString findings = QStringLiteral("两肺纹理清晰\r心影不大\r");
};

// Saved the way the report window saves a new examination, through its own table data set.
void save(const Examination &record)
{
    TableDataSet &hzzl = Form_dy->ADODataSet1;
    hzzl.Open();
    hzzl.Append();
    hzzl.fieldByName("jcjlh").setValue(record.number);
    hzzl.fieldByName("xm").setValue(QStringLiteral("张三"));
    hzzl.fieldByName("xb").setValue(QStringLiteral("男"));
    hzzl.fieldByName("nl").setValue(record.age);
    hzzl.fieldByName("jcrq").setValue(record.day);
    hzzl.fieldByName("jcbw").setValue(QStringLiteral("胸部正位"));
    hzzl.fieldByName("jcks").setValue(record.department);
    hzzl.fieldByName("lczd").setValue(QStringLiteral("咳嗽待查"));
    hzzl.fieldByName("jcsj").setValue(record.findings);
    hzzl.fieldByName("zdyj").setValue(QStringLiteral("心肺膈未见异常。"));
    hzzl.fieldByName("jtzz").setValue(QStringLiteral("12"));
    hzzl.Post();
    hzzl.Close();
}

class QueryWindow : public WindowTest {
protected:
    // Main menu "  查询病历  ".
    void openQuery()
    {
        QTest::mouseClick(Form1->Button2, Qt::LeftButton);
        ASSERT_TRUE(Form_cx->isVisible());
    }

    static void tick(Box box) { QTest::mouseClick(Form_cx->*box, Qt::LeftButton); }
    static void search() { QTest::mouseClick(Form_cx->Button1, Qt::LeftButton); }

    // The record numbers the result grid lists.
    static QStringList listed()
    {
        QStringList numbers;
        const QAbstractItemModel *grid = Form_cx->DBGrid1->model();
        for (int row = 0; row < grid->rowCount(); ++row)
            numbers << grid->index(row, 0).data().toString();
        return numbers;
    }

    static QList<Box> ticked()
    {
        QList<Box> boxes;
        for (Box box : {&TForm_cx::CheckBox1, &TForm_cx::CheckBox2, &TForm_cx::CheckBox3, &TForm_cx::CheckBox4})
            if ((Form_cx->*box)->isChecked())
                boxes << box;
        return boxes;
    }

    // As the operator double-clicks: the first click makes the row current.
    static void doubleClickRow(int row)
    {
        DataGrid *grid = Form_cx->DBGrid1;
        const QPoint cell = grid->visualRect(grid->model()->index(row, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    }

    // Records of 3 and 4 March 2006 in three departments, one with a quote in its name.
    void saveSample()
    {
        save({2006030301, QStringLiteral("内科"), {2006, 3, 3}});
        save({2006030401, QStringLiteral("外科"), {2006, 3, 4}});
        save({2006030402, QStringLiteral("内科"), {2006, 3, 4}});
        save({2006030403, QStringLiteral("放射'科"), {2006, 3, 4}});
        save({2006030404, QStringLiteral("神经内科"), {2006, 3, 4}});
    }
};

TEST_F(QueryWindow, ShowingAfterAnEarlierSearch)
{
    saveSample();
    openQuery();
    tick(&TForm_cx::CheckBox2);
    Form_cx->Edit2->setText(QStringLiteral("外科"));
    Form_cx->Edit1->setText(QStringLiteral("123"));
    search();
    ASSERT_EQ(listed(), QStringList{"2006030401"});
    Form_cx->DateTimePicker1->setDate(QDate(2001, 1, 1));

    QTest::mouseClick(Form_cx->Button2, Qt::LeftButton);
    EXPECT_FALSE(Form_cx->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    openQuery();

    EXPECT_EQ(ticked(), QList<Box>{&TForm_cx::CheckBox4});
    EXPECT_FALSE(Form_cx->Edit1->isEnabled());
    EXPECT_FALSE(Form_cx->Edit2->isEnabled());
    EXPECT_EQ(Form_cx->Edit1->text(), "123");
    EXPECT_EQ(Form_cx->Edit2->text(), QStringLiteral("外科"));
    EXPECT_FALSE(Form_cx->DateTimePicker1->isEnabled());
    EXPECT_EQ(Form_cx->DateTimePicker1->date(), QDate(2006, 3, 5));
    EXPECT_EQ(listed(), QStringList{"2006030401"}) << "the old result stays listed";
    ASSERT_TRUE(WindowFocus::waitActive(Form_cx));
    EXPECT_EQ(focused(), Form_cx->Button1);

    press(Qt::Key_Return);
    EXPECT_EQ(listed(), (QStringList{"2006030301", "2006030401", "2006030402", "2006030403", "2006030404"}));
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

// Each box's handler also runs when another handler unticks it from code.
TEST_F(QueryWindow, CheckBoxesExcludeEachOther)
{
    struct Case {
        const char *clicks;  // boxes clicked in turn, by number
        QList<Box> ticked;
        bool edit1, edit2, date;
    };
    const Case cases[] = {
        {"", {&TForm_cx::CheckBox4}, false, false, false},
        {"1", {&TForm_cx::CheckBox1}, true, false, false},
        {"31", {&TForm_cx::CheckBox1}, true, false, true},
        {"12", {&TForm_cx::CheckBox2}, false, true, false},
        {"21", {&TForm_cx::CheckBox1}, true, false, false},
        {"124", {&TForm_cx::CheckBox4}, false, false, false},
        {"22", {}, false, false, false},
        {"33", {}, false, false, true},
        {"13", {&TForm_cx::CheckBox3}, false, false, true},
        {"4", {}, false, false, false},
    };
    const Box boxes[] = {&TForm_cx::CheckBox1, &TForm_cx::CheckBox2, &TForm_cx::CheckBox3, &TForm_cx::CheckBox4};
    openQuery();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.clicks);
        Form_cx->Close();
        openQuery();
        for (const char *click = c.clicks; *click; ++click)
            tick(boxes[*click - '1']);
        EXPECT_EQ(ticked(), c.ticked);
        EXPECT_EQ(Form_cx->Edit1->isEnabled(), c.edit1);
        EXPECT_EQ(Form_cx->Edit2->isEnabled(), c.edit2);
        EXPECT_EQ(Form_cx->DateTimePicker1->isEnabled(), c.date);
    }
}

struct Search {
    const char *name;
    Box box;  // the box ticked; nullptr: none
    QString text;
    QDate day;
    QStringList found;
    QString failure = {};
};

void PrintTo(const Search &search, std::ostream *out)
{
    *out << search.name;
}

class QuerySearch : public QueryWindow, public ::testing::WithParamInterface<Search> {};

TEST_P(QuerySearch, ListsTheMatchingRecords)
{
    const Search &s = GetParam();
    saveSample();
    openQuery();
    // An earlier result must not survive a search that finds nothing or fails.
    search();
    ASSERT_EQ(listed().size(), 5);
    if (!s.box)
        tick(&TForm_cx::CheckBox4);
    else if (!(Form_cx->*s.box)->isChecked())
        tick(s.box);
    if (s.box == &TForm_cx::CheckBox1)
        Form_cx->Edit1->setText(s.text);
    if (s.box == &TForm_cx::CheckBox2)
        Form_cx->Edit2->setText(s.text);
    if (s.box == &TForm_cx::CheckBox3)
        Form_cx->DateTimePicker1->setDate(s.day);
    search();

    EXPECT_EQ(listed(), s.found);
    EXPECT_EQ(dialogs.failures, s.failure.isEmpty() ? QStringList() : QStringList{s.failure});
    EXPECT_EQ(Form_cx->ADOQuery1.active(), s.failure.isEmpty() && s.box);
    EXPECT_EQ(db.scalar("select count(*) from hzzl").toInt(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, QuerySearch,
    ::testing::Values(
        Search{"All", &TForm_cx::CheckBox4, {}, {},
               {"2006030301", "2006030401", "2006030402", "2006030403", "2006030404"}},
        Search{"Number", &TForm_cx::CheckBox1, "2006030402", {}, {"2006030402"}},
        Search{"NumberWithLeadingBlanks", &TForm_cx::CheckBox1, "  2006030301", {}, {"2006030301"}},
        Search{"NumberNotStored", &TForm_cx::CheckBox1, "2006030405", {}, {}},
        Search{"NumberNotANumber", &TForm_cx::CheckBox1, "2006030402 ", {}, {},
               "'2006030402 ' is not a valid integer value"},
        Search{"NumberTooLarge", &TForm_cx::CheckBox1, "3006030401", {}, {},
               "'3006030401' is not a valid integer value"},
        Search{"Department", &TForm_cx::CheckBox2, QStringLiteral("内科"), {}, {"2006030301", "2006030402"}},
        Search{"DepartmentWithAQuote", &TForm_cx::CheckBox2, QStringLiteral("放射'科"), {}, {"2006030403"}},
        Search{"DepartmentWithATrailingBlank", &TForm_cx::CheckBox2, QStringLiteral("内科 "), {}, {}},
        Search{"DepartmentEmpty", &TForm_cx::CheckBox2, {}, {}, {}},
        Search{"Date", &TForm_cx::CheckBox3, {}, {2006, 3, 4}, {"2006030401", "2006030402", "2006030403", "2006030404"}},
        Search{"DateWithoutRecords", &TForm_cx::CheckBox3, {}, {2006, 3, 5}, {}},
        Search{"NoneTicked", nullptr, {}, {}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

// The department text is a value, never part of the statement: nothing typed
// finds other records or changes the database.
TEST_F(QueryWindow, HostileDepartmentTextsFindNothingAndChangeNothing)
{
    saveSample();
    const QString hostile[] = {
        QStringLiteral("'; drop table hzzl; --"),
        QStringLiteral("' or '1'='1"),
        QStringLiteral("内科' or jcks like '%"),
        QStringLiteral("'"),
        QStringLiteral("\"内科\""),
        QStringLiteral("x').  delete from hzzl; select ('"),
        QString(10000, QChar(0x79D1)),
    };
    const QString schemaOf = db.onServer() ? QStringLiteral("select string_agg(relname, ';' order by relname) from pg_class "
                                                            "where relnamespace = 'public'::regnamespace")
                                           : QStringLiteral("select group_concat(sql, ';') from sqlite_master");
    const QVariant schema = db.scalar(schemaOf);
    openQuery();
    tick(&TForm_cx::CheckBox2);
    for (const QString &text : hostile) {
        SCOPED_TRACE(text.left(40).toStdString());
        Form_cx->Edit2->setText(text);
        search();
        EXPECT_TRUE(Form_cx->ADOQuery1.active());
        EXPECT_EQ(listed(), QStringList());
    }
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
    EXPECT_EQ(db.scalar("select count(*) from hzzl").toInt(), 5);
    EXPECT_EQ(db.scalar(schemaOf), schema);
}

// What was already copied stays; what comes after the failing column does not
// happen, and the query window stays open.
TEST_F(QueryWindow, DoubleClickThatCannotHandOver)
{
    struct Case {
        const char *name;
        std::function<void()> before;
        QString failure;
        QString nameLabel, sexLabel, ageLabel;  // afterwards
    };
    const QString old = QStringLiteral("旧");
    const Case cases[] = {
        {"no search yet", [] {}, QStringLiteral("ADOQuery1: Field '姓名' not found"), old, old, old},
        {"search with no box ticked",
         [] {
             tick(&TForm_cx::CheckBox4);
             search();
         },
         QStringLiteral("ADOQuery1: Field '姓名' not found"), old, old, old},
        {"empty result",
         [] {
             tick(&TForm_cx::CheckBox1);
             Form_cx->Edit1->setText("1");
             search();
         },
         nullText, old, old, old},
        {"null age",
         [] {
             save({2006030501, QStringLiteral("内科"), {2006, 3, 5}, QVariant()});
             search();
         },
         nullText, QStringLiteral("张三"), QStringLiteral("男"), old},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.failures.clear();
        for (QLabel *label : {Form_dy->Label6, Form_dy->Label7, Form_dy->Label10})
            label->setText(old);
        for (Memo *memo : {Form_dy->Memo1, Form_dy->Memo2, Form_dy->Memo3})
            memo->setText(old);
        ReportMode = 1;
        if (Form_cx->isVisible())
            Form_cx->Close();
        openQuery();
        c.before();
        doubleClickRow(0);

        EXPECT_EQ(dialogs.failures, QStringList{c.failure});
        EXPECT_EQ(Form_dy->Label6->text(), c.nameLabel);
        EXPECT_EQ(Form_dy->Label7->text(), c.sexLabel);
        EXPECT_EQ(Form_dy->Label10->text(), c.ageLabel);
        for (Memo *memo : {Form_dy->Memo1, Form_dy->Memo2, Form_dy->Memo3})
            EXPECT_EQ(memo->text(), old);
        EXPECT_FALSE(Form_dy->Memo2->isReadOnly());
        EXPECT_EQ(ReportMode, 1);
        EXPECT_TRUE(Form_cx->isVisible());
        EXPECT_FALSE(Form_dy->isVisible());
    }
}

// A stored record reaches the report window as it was saved: the memos
// exactly (an empty findings memo is stored as null), locked against typing.
TEST_F(QueryWindow, HandOverFillsTheReportWindowForReprinting)
{
    save({2006030401, QStringLiteral("外科"), {2006, 3, 4}, 7, QString()});
    save({2006030402, QStringLiteral("放射'科"), {2006, 3, 4}});
    db.exec(QStringLiteral("insert into bt (bt) values (?)"), {QStringLiteral("胸部")});
    openRegistration();
    QTest::mouseClick(Form_zj->Button1, Qt::LeftButton);
    ASSERT_TRUE(Form_dy->isVisible());
    ASSERT_EQ(Form_dy->DBGrid2->model()->rowCount(), 1);
    QTest::mouseClick(Form_dy->Button6, Qt::LeftButton);

    const struct {
        int row;
        QString department, age, findings;
    } cases[] = {
        {1, QStringLiteral("放射'科"), "45", QStringLiteral("两肺纹理清晰\r心影不大\r")},
        {0, QStringLiteral("外科"), "7", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        openQuery();
        search();
        doubleClickRow(c.row);

        EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
        EXPECT_EQ(Form_dy->Label14->text(), c.row ? "2006030402" : "2006030401");
        EXPECT_EQ(Form_dy->Label6->text(), QStringLiteral("张三"));
        EXPECT_EQ(Form_dy->Label7->text(), QStringLiteral("男"));
        EXPECT_EQ(Form_dy->Label10->text(), c.age);
        EXPECT_EQ(Form_dy->Label12->text(), c.department);
        EXPECT_EQ(Form_dy->Label16->text(), QStringLiteral("胸部正位"));
        EXPECT_EQ(Form_dy->Label19->text(), QStringLiteral("咳嗽待查"));
        EXPECT_EQ(Form_dy->Label17->text(), Convert::dateToStr(QDate(2006, 3, 4)));
        EXPECT_EQ(Form_dy->Label23->text(), "12");
        EXPECT_EQ(Form_dy->Memo1->text(), QString());
        EXPECT_EQ(Form_dy->Memo2->text(), c.findings);
        EXPECT_EQ(Form_dy->Memo3->text(), QStringLiteral("心肺膈未见异常。"));
        EXPECT_TRUE(Form_dy->Memo2->isReadOnly());
        EXPECT_TRUE(Form_dy->Memo3->isReadOnly());
        EXPECT_EQ(ReportMode, 2);
        EXPECT_EQ(Form_dy->DBGrid2->model()->rowCount(), 0) << "no phrases when reprinting";

        EXPECT_FALSE(Form_cx->isVisible());
        EXPECT_TRUE(Form1->isVisible());
        EXPECT_TRUE(Form_dy->isVisible());
        EXPECT_TRUE(WindowFocus::waitActive(Form_dy));
        QTest::mouseClick(Form_dy->Button6, Qt::LeftButton);
    }
    EXPECT_EQ(db.scalar("select count(*) from hzzl").toInt(), 2);
}

// Enter or a double-click opens the picker whatever the field holds; a
// disabled field opens nothing. The choice replaces the field's text and
// leaves the focus where it was.
TEST_F(QueryWindow, DepartmentFieldOpensThePicker)
{
    addDepartment(QStringLiteral("内科"), "nk");
    addDepartment(QStringLiteral("外科"), "wk");
    openQuery();
    ASSERT_TRUE(WindowFocus::waitActive(Form_cx));
    QTest::mouseDClick(Form_cx->Edit2, Qt::LeftButton);
    EXPECT_FALSE(Form5->isVisible()) << "the field is disabled until its box is ticked";

    tick(&TForm_cx::CheckBox2);
    Form_cx->Edit2->setFocus();
    Form_cx->Edit2->setText(QStringLiteral("外科"));
    press(Qt::Key_Return);
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(PickerCaller, 2);
    EXPECT_EQ(Form5->DBGrid1->dataSource(), &Form_cx->ADOQuery2);
    EXPECT_EQ(Form5->DBGrid1->model()->rowCount(), 2);
    ASSERT_TRUE(WindowFocus::waitActive(Form5));
    press(Qt::Key_Return);
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(Form_cx->Edit2->text(), QStringLiteral("内科"));
    EXPECT_TRUE(Form_cx->isVisible());

    PickerCaller = 1;
    QTest::mouseDClick(Form_cx->Edit2, Qt::LeftButton);
    ASSERT_TRUE(Form5->isVisible());
    EXPECT_EQ(PickerCaller, 2);
    clickCell(Form5->DBGrid1, 1);
    EXPECT_EQ(Form_cx->Edit2->text(), QStringLiteral("外科"));
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

} // namespace
