// "病历管理": the list of every examination record and its delete.

#include "settings_test.h"

#include "main_menu/form1.h"
#include "platform/core/convert.h"
#include "platform/widgets/data_grid.h"
#include "registration/form_zj.h"
#include "settings/form_sz.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class RecordPage : public SettingsTest {
protected:
    void openRecords()
    {
        openSettings();
        showPage(Form_sz->TabSheet5);
    }
    void deleteCurrent()
    {
        dialogs.confirmAnswers << true;
        click(Form_sz->Button25);
    }
    QStringList numbers() { return rows("select jcjlh from hzzl"); }
    static QStringList shownNumbers()
    {
        QStringList result;
        for (const QString &row : shown(Form_sz->DBGrid5))
            result << row.section('|', 0, 0);
        return result;
    }
};

TEST_F(RecordPage, ColumnsTitlesAndWidths)
{
    addRecord(2006030501);
    openRecords();
    DataGrid *grid = Form_sz->DBGrid5;
    const struct {
        const char *title;
        int characters;
    } columns[] = {{"记录号", 10}, {"姓名", 10},     {"性别", 5},     {"年龄", 10},     {"检查日期", 18}, {"检查科室", 15},
                   {"诊断意见", 10}, {"检查所见", 10}, {"床号", 10}, {"检查部位", 20}, {"临床诊断", 20}};
    ASSERT_EQ(grid->model()->columnCount(), 11);
    const int zero = QFontMetrics(grid->font()).horizontalAdvance('0');
    const QFontMetrics titleMetrics(grid->horizontalHeader()->font());
    for (int column = 0; column < 11; ++column) {
        const QString title = QString::fromUtf8(columns[column].title);
        EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString(), title);
        EXPECT_EQ(grid->columnWidth(column),
                  std::max(columns[column].characters * zero + 4, titleMetrics.horizontalAdvance(title) + 4))
            << column;
    }
}

// Memo cells show their type; a date shows a time only when one is stored.
TEST_F(RecordPage, CellTexts)
{
    db.exec("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz) values (2006030501, '张三', '男', 40, '2006-03-05', '胸部', '内科', '咳嗽', "
            "'两肺清晰', null, '12')");
    db.exec("insert into hzzl (jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz) values (2006030502, '李四', '女', 30, '2006-03-05 08:30:00', '腰椎', '外科', '腰痛', "
            "null, '骨质增生', '3')");
    openRecords();
    const QString day = Convert::dateToStr(QDate(2006, 3, 5));
    EXPECT_EQ(shown(Form_sz->DBGrid5),
              (QStringList{"2006030501|张三|男|40|" + day + "|内科|(Memo)|(MEMO)|12|胸部|咳嗽",
                           "2006030502|李四|女|30|" + day + " 08:30:00|外科|(MEMO)|(Memo)|3|腰椎|腰痛"}));
}

// The following record becomes current, or the new last one; each delete
// removes the current record at once.
TEST_F(RecordPage, DeleteMovesToTheFollowingRecord)
{
    for (qint64 number = 2006030501; number <= 2006030505; ++number)
        addRecord(number);
    openRecords();
    const struct {
        int clicked;  // -1: no click, the current row stays
        int current;
        QStringList left;
    } steps[] = {
        {1, 1, {"2006030501", "2006030503", "2006030504", "2006030505"}},
        {-1, 1, {"2006030501", "2006030504", "2006030505"}},
        {2, 1, {"2006030501", "2006030504"}},
    };
    for (const auto &step : steps) {
        if (step.clicked >= 0)
            clickCell(Form_sz->DBGrid5, step.clicked);
        deleteCurrent();
        EXPECT_EQ(Form_sz->ADODataSet5.currentRow(), step.current);
        EXPECT_EQ(Form_sz->DBGrid5->currentIndex().row(), step.current);
        EXPECT_EQ(numbers(), step.left);
        EXPECT_EQ(shownNumbers(), step.left);
    }
    // Each deleted record is kept whole, and traced, in its delete's transaction.
    EXPECT_EQ(rows("select jcjlh || xm from deleted_records"), (QStringList{"2006030502旧", "2006030503旧", "2006030505旧"}));
    EXPECT_EQ(trail(), (QStringList{"删除|2006030502|姓名：旧", "删除|2006030503|姓名：旧", "删除|2006030505|姓名：旧"}));
    dialogs.confirmAnswers << false;
    click(Form_sz->Button25);
    EXPECT_EQ(numbers().size(), 2);
}

TEST_F(RecordPage, DeleteOnAnEmptyList)
{
    openRecords();
    deleteCurrent();
    EXPECT_EQ(dialogs.messages, QStringList{"没有记录了!"});
    EXPECT_TRUE(dialogs.failures.isEmpty());
}

// The highest number is free again for the day's next registration.
TEST_F(RecordPage, DeletingTheHighestNumberFreesIt)
{
    addRecord(2006030501);
    addRecord(2006030502);
    openRecords();
    clickCell(Form_sz->DBGrid5, 1);
    deleteCurrent();
    click(Form_sz->Button27);
    openRegistration();
    EXPECT_EQ(Form_zj->Label4->text(), "2006030502");
}

TEST_F(RecordPage, RefusedDeleteKeepsTheList)
{
    addRecord(2006030501);
    addRecord(2006030502);
    openRecords();
    setReadOnly(true);
    deleteCurrent();
    EXPECT_EQ(dialogs.failures.size(), 1);
    EXPECT_EQ(numbers().size(), 2);
    EXPECT_EQ(shownNumbers().size(), 2);
}

} // namespace
