#include "platform/core/convert.h"
#include "platform/widgets/data_grid.h"
#include "platform/widgets/event_hooks.h"
#include "platform/core/failure.h"
#include "platform/widgets/form.h"
#include "platform/widgets/memo.h"
#include "qt_printers.h"
#include "scripted_dialogs.h"
#include "store/query.h"
#include "store/table_data_set.h"
#include "temp_database.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(Memo, GivesBackExactlyTheLineBreaksItWasGiven)
{
    Memo memo;
    for (const QString &text : {QString("一\r二\r"), QString("a\r\nb\nc"), QString("\r"), QString("")}) {
        memo.setText(text);
        EXPECT_EQ(memo.text(), text);
    }
    memo.setText("a");
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "b");
    EXPECT_EQ(memo.text(), "a\r\nb");
}

// A font given while hidden is held back until the memo is shown; it must
// not be lost, nor held back from a memo already on screen.
TEST(Memo, LaysOutItsTextInTheFontLastGiven)
{
    struct Case {
        const char *name;
        bool shownFirst;
    };
    for (const Case &c : {Case{"hidden", false}, Case{"shown", true}}) {
        SCOPED_TRACE(c.name);
        Memo memo;
        memo.setText(QStringLiteral("检查所见\r\n第二行"));
        if (c.shownFirst)
            memo.show();
        QFont font = memo.font();
        font.setPixelSize(23);
        memo.setFont(font);
        if (c.shownFirst) {
            EXPECT_EQ(memo.document()->defaultFont().pixelSize(), 23);
        }
        memo.show();
        EXPECT_EQ(memo.document()->defaultFont().pixelSize(), 23);
        EXPECT_EQ(memo.text(), QStringLiteral("检查所见\r\n第二行"));
    }
}

TEST(EventHooks, KeysArriveAsTheirCharacters)
{
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        int expected;  // 0: no character, the handler never sees the key
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, "\r", 13}, {Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", 8}, {Qt::Key_Escape, Qt::NoModifier, "\x1b", 27},
        {Qt::Key_V, Qt::ControlModifier, "\x16", 22}, {Qt::Key_C, Qt::ControlModifier, "\x03", 3},
        {Qt::Key_A, Qt::NoModifier, "a", 'a'},         {Qt::Key_Left, Qt::NoModifier, "", 0},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", 0},   {Qt::Key_Tab, Qt::NoModifier, "\t", 0},
    };
    for (const auto &c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
        EXPECT_EQ(EventHooks::keyChar(event).unicode(), c.expected) << c.key;
    }
}

TEST(EventHooks, DiscardedKeysAreNotTypedAndFailuresAreShown)
{
    ScriptedDialogs dialogs;
    QLineEdit edit;
    EventHooks::onKeyPress(&edit, [](QChar &key) {
        if (key == 'x')
            key = QChar();
        if (key == '!')
            throw Failure("坏键");
    });
    QTest::keyClicks(&edit, "axb!c");
    EXPECT_EQ(edit.text(), "abc");
    EXPECT_EQ(dialogs.failures, QStringList{"坏键"});
}

namespace {

class CountingForm : public Form {
public:
    CountingForm() : Form({"窗口", {200, 100}}) {}
    int shows = 0;
    int closes = 0;
    bool failOnShow = false;

protected:
    void FormShow() override
    {
        ++shows;
        if (failOnShow)
            throw Failure("显示失败");
    }
    void FormClose() override { ++closes; }
};

} // namespace

TEST(Form, ShowHandlerRunsOnlyWhenAHiddenWindowIsShown)
{
    ScriptedDialogs dialogs;
    CountingForm form;
    EXPECT_EQ(form.size(), Form::clientSizeFor({200, 100}));
    form.Show();
    form.Show();
    EXPECT_EQ(form.shows, 1);
    form.hide();  // hiding runs nothing
    EXPECT_EQ(form.closes, 0);
    form.Show();
    EXPECT_EQ(form.shows, 2);
    form.Close();
    EXPECT_EQ(form.closes, 1);
    EXPECT_FALSE(form.isVisible());

    form.failOnShow = true;
    form.Show();
    EXPECT_EQ(dialogs.failures, QStringList{"显示失败"});
    EXPECT_TRUE(form.isVisible());
}

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec("insert into hzzl (jcjlh, xm, jcrq, jcsj) values (1, 'a', '2006-03-05', '所见')");
        db.exec("insert into hzzl (jcjlh, xm, jcrq, jcsj) values (2, 'b', null, null)");
        db.exec("insert into hzzl (jcjlh, xm) values (3, 'c')");
    }
    TempDatabase db;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(GridTest, ColumnsTakeTheirWidthsAndCellsTheirTexts)
{
    TableDataSet hzzl(&db.connection(), "ADODataSet5", "hzzl");
    hzzl.declareWidth("xm", 10);
    hzzl.Open();
    DataGrid grid;
    grid.setDataSource(&hzzl);
    const int zero = QFontMetrics(grid.font()).horizontalAdvance('0');
    const int titleOfNumber = QFontMetrics(grid.horizontalHeader()->font()).horizontalAdvance("jcjlh") + 4;
    EXPECT_EQ(grid.columnWidth(0), std::max(10 * zero + 4, titleOfNumber));  // integer
    EXPECT_EQ(grid.columnWidth(1), 10 * zero + 4);                            // declared text width
    EXPECT_EQ(grid.columnWidth(4), 18 * zero + 4);                            // date
    EXPECT_EQ(grid.columnWidth(8), 10 * zero + 4);                            // memo

    QAbstractItemModel *model = grid.model();
    EXPECT_EQ(model->data(model->index(0, 8)).toString(), "(MEMO)");
    EXPECT_EQ(model->data(model->index(1, 8)).toString(), "(Memo)");
    EXPECT_EQ(model->data(model->index(0, 4)).toString(), Convert::dateToStr(QDate(2006, 3, 5)));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "xm");
}

TEST_F(GridTest, AClickMakesTheRowCurrentBeforeTheHandlerRuns)
{
    Query query(&db.connection(), "ADOQuery1");
    query.SQL() << "select xm as 姓名 from hzzl";
    query.Open();
    DataGrid grid;
    grid.resize(300, 200);
    grid.setDataSource(&query);
    grid.show();
    QString seen;
    grid.onCellClick([&] { seen = query.fieldByName("姓名").asString(); });
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(2, 0)).center());
    EXPECT_EQ(seen, "c");
    EXPECT_EQ(query.currentRow(), 2);
    EXPECT_EQ(grid.model()->headerData(2, Qt::Vertical).toString(), "▶");

    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(query.currentRow(), 1);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Vertical).toString(), "▶");
    EXPECT_EQ(grid.model()->headerData(2, Qt::Vertical).toString(), QString());

    // A data set that moves by itself takes the grid along.
    query.First();
    EXPECT_EQ(grid.currentIndex().row(), 0);
}

TEST_F(GridTest, SuspendedGridsFollowOnlyWhenResumed)
{
    TableDataSet hzzl(&db.connection(), "ADODataSet1", "hzzl");
    hzzl.Open();
    DataGrid grid;
    grid.setDataSource(&hzzl);
    hzzl.DisableControls();
    hzzl.Append();
    hzzl.fieldByName("jcjlh").setValue(4);
    hzzl.Post();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    hzzl.EnableControls();
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(grid.currentIndex().row(), 3);
}

TEST_F(GridTest, CtrlEndShowsTheLastRowAtOnceAndKeepsItOnScreenWhileTheRestIsLearnt)
{
    db.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 12000) "
            "insert into bt (bt) select i from n");
    Query query(&db.connection(), "ADOQuery1");
    query.SQL() << "select bt from bt"
                << "where bt <> '7'";
    query.Open();
    DataGrid grid;
    grid.resize(300, 200);
    grid.setRowIndicator(true);
    grid.setDataSource(&query);
    grid.show();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QAbstractItemModel *model = grid.model();
    ASSERT_LT(model->rowCount(), 11999) << "the rows before the last ones are learnt afterwards";
    EXPECT_EQ(grid.currentIndex().row(), model->rowCount() - 1);
    EXPECT_EQ(grid.currentIndex().data().toString(), "12000");
    const QString top = model->index(grid.rowAt(0), 0).data().toString();

    QElapsedTimer waited;
    waited.start();
    while (model->rowCount() < 11999 && waited.elapsed() < 10000)
        QCoreApplication::processEvents();
    EXPECT_EQ(model->index(grid.rowAt(0), 0).data().toString(), top);
    EXPECT_EQ(grid.currentIndex().row(), 11998);
    EXPECT_EQ(query.currentRow(), 11998);
    EXPECT_EQ(query.fieldByName("bt").asString(), "12000");
    EXPECT_EQ(model->headerData(11998, Qt::Vertical).toString(), "▶");
}
