#include "window_test.h"

#include "main_menu/form1.h"
#include "shared_state/shared_state.h"
#include "platform/core/convert.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "window_focus.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

const QString cr(QChar(13));

class ReportWindow : public WindowTest {
protected:
    void addTitle(const QString &title)
    {
        db.exec(QStringLiteral("insert into bt (bt) values (?)"), {title});
    }

    // Registration "增加" with whatever the fields hold.
    void handOver()
    {
        openRegistration();
        QTest::mouseClick(Form_zj->Button1, Qt::LeftButton);
        ASSERT_TRUE(Form_dy->isVisible());
    }

    static QStringList listed(DataGrid *grid)
    {
        QStringList rows;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            rows << grid->model()->index(row, 0).data().toString();
        return rows;
    }

    // One title "胸部" holding `phrase`, then the hand-over.
    void handOverWithPhrase(const QString &phrase)
    {
        addTitle(QStringLiteral("胸部"));
        addPhrase(QStringLiteral("胸部"), phrase);
        handOver();
    }

    // Title `title`, then its phrase `phrase` into the preview.
    void preview(int title, int phrase)
    {
        clickCell(Form_dy->DBGrid2, title);
        clickCell(Form_dy->DBGrid1, phrase);
    }
};

TEST_F(ReportWindow, FirstFocusOnThePreviewAndPhraseGridsScrollSideways)
{
    addTitle(QString(50, QChar(0x80F8)));
    addPhrase(QString(50, QChar(0x80F8)), QString(255, QChar(0x5F71)));
    handOver();
    ASSERT_TRUE(WindowFocus::waitActive(Form_dy));
    EXPECT_EQ(focused(), Form_dy->Memo1);
    clickCell(Form_dy->DBGrid2, 0);
    for (DataGrid *grid : {Form_dy->DBGrid2, Form_dy->DBGrid1}) {
        QCoreApplication::processEvents();
        EXPECT_GT(grid->horizontalScrollBar()->maximum(), 0);
    }
}

// A reprint had left the memos filled and locked; a new record starts from
// empty, typeable memos.
TEST_F(ReportWindow, HandOverOfEmptyFields)
{
    addTitle(QStringLiteral("胸部"));
    addTitle(QStringLiteral("四肢"));
    for (Memo *memo : {Form_dy->Memo1, Form_dy->Memo2, Form_dy->Memo3}) {
        memo->setText(QStringLiteral("旧报告"));
        memo->setReadOnly(true);
    }
    Form_dy->Label6->setText(QStringLiteral("旧"));

    handOver();

    for (QLabel *label : {Form_dy->Label6, Form_dy->Label7, Form_dy->Label10, Form_dy->Label12,
                          Form_dy->Label16, Form_dy->Label19, Form_dy->Label23})
        EXPECT_EQ(label->text(), QString()) << label->geometry().x() << "," << label->geometry().y();
    EXPECT_EQ(Form_dy->Label14->text(), "2006030501");
    EXPECT_TRUE(Form_dy->Label17->text().contains("2006")) << Form_dy->Label17->text().toStdString();
    EXPECT_EQ(Convert::strToDate(Form_dy->Label17->text()), QDate(2006, 3, 5));
    EXPECT_EQ(ReportMode, 1);
    for (Memo *memo : {Form_dy->Memo1, Form_dy->Memo2, Form_dy->Memo3})
        EXPECT_EQ(memo->text(), QString());
    EXPECT_FALSE(Form_dy->Memo2->isReadOnly());
    EXPECT_FALSE(Form_dy->Memo3->isReadOnly());
    EXPECT_EQ(listed(Form_dy->DBGrid2), (QStringList{QStringLiteral("胸部"), QStringLiteral("四肢")}));

    EXPECT_FALSE(Form_zj->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(WindowFocus::waitActive(Form_dy));
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

// The titles are read last: when they cannot be read the labels are filled
// but the registration window stays and the report window is not shown.
TEST_F(ReportWindow, HandOverStopsWhenTheTitlesCannotBeRead)
{
    db.exec(QStringLiteral("drop table bt"));
    openRegistration();
    Form_zj->Edit1->setText(QStringLiteral("张三"));
    QTest::mouseClick(Form_zj->Button1, Qt::LeftButton);
    EXPECT_EQ(dialogs.failures.size(), 1);
    EXPECT_EQ(Form_dy->Label6->text(), QStringLiteral("张三"));
    EXPECT_EQ(ReportMode, 1);
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_FALSE(Form_dy->isVisible());
}

// The phrases of a title are found by its exact text, quotes included; the
// preview only changes on a phrase click.
TEST_F(ReportWindow, TitlesListTheirPhrasesAndThePreviewKeepsItsPhrase)
{
    const QString quoted = QStringLiteral("O'Neil \"型\"");
    addTitle(QStringLiteral("胸部"));
    addTitle(quoted);
    addPhrase(QStringLiteral("胸部"), QStringLiteral("两肺纹理清晰"));
    addPhrase(quoted, QStringLiteral("引号'一"));
    addPhrase(QStringLiteral("胸部"), QStringLiteral("心影不大"));
    addPhrase(quoted, QStringLiteral("引号\"二"));
    handOver();

    clickCell(Form_dy->DBGrid2, 0);
    EXPECT_EQ(listed(Form_dy->DBGrid1), (QStringList{QStringLiteral("两肺纹理清晰"), QStringLiteral("心影不大")}));
    clickCell(Form_dy->DBGrid1, 1);
    EXPECT_EQ(Form_dy->Memo1->text(), QStringLiteral("心影不大"));

    clickCell(Form_dy->DBGrid2, 1);
    EXPECT_EQ(listed(Form_dy->DBGrid1), (QStringList{QStringLiteral("引号'一"), QStringLiteral("引号\"二")}));
    EXPECT_EQ(Form_dy->Memo1->text(), QStringLiteral("心影不大"));
    clickCell(Form_dy->DBGrid1, 1);
    EXPECT_EQ(Form_dy->Memo1->text(), QStringLiteral("引号\"二"));
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
}

// Each double-click on the preview appends it and one carriage return to the
// memo clicked last; the findings when none was clicked.
TEST_F(ReportWindow, DoubleClickAppendsThePreviewToTheMemoClickedLast)
{
    addTitle(QStringLiteral("胸部"));
    addPhrase(QStringLiteral("胸部"), QStringLiteral("两肺纹理清晰"));
    addPhrase(QStringLiteral("胸部"), QStringLiteral("第一行\r\n第二行\n第三行"));
    handOver();

    doubleClick(Form_dy->Memo1);
    EXPECT_EQ(Form_dy->Memo2->text(), cr);

    preview(0, 0);
    doubleClick(Form_dy->Memo1);
    EXPECT_EQ(Form_dy->Memo2->text(), cr + QStringLiteral("两肺纹理清晰") + cr);

    click(Form_dy->Memo3);
    EXPECT_EQ(PhraseTarget, 1);
    preview(0, 1);
    doubleClick(Form_dy->Memo1);
    doubleClick(Form_dy->Memo1);
    const QString lines = QStringLiteral("第一行\r\n第二行\n第三行") + cr;
    EXPECT_EQ(Form_dy->Memo3->text(), lines + lines);
    EXPECT_EQ(Form_dy->Memo2->text(), cr + QStringLiteral("两肺纹理清晰") + cr);

    click(Form_dy->Memo2);
    EXPECT_EQ(PhraseTarget, 0);
    doubleClick(Form_dy->Memo1);
    EXPECT_EQ(Form_dy->Memo2->text(), cr + QStringLiteral("两肺纹理清晰") + cr + lines);
    EXPECT_EQ(Form_dy->Memo3->text(), lines + lines);
}

// The operator types into the composed findings: each typed break is CR LF,
// Shift+Enter included, and the phrases keep their lone carriage returns.
TEST_F(ReportWindow, TypedLineBreaksAmongAppendedPhrases)
{
    handOverWithPhrase(QStringLiteral("ab"));
    preview(0, 0);
    doubleClick(Form_dy->Memo1);
    ASSERT_EQ(Form_dy->Memo2->text(), QStringLiteral("ab") + cr);

    ASSERT_TRUE(WindowFocus::waitActive(Form_dy));
    click(Form_dy->Memo2);
    ASSERT_EQ(focused(), Form_dy->Memo2);
    press(Qt::Key_End, Qt::ControlModifier);
    type(QStringLiteral("z"));
    press(Qt::Key_Return);
    type(QStringLiteral("w"));
    EXPECT_EQ(Form_dy->Memo2->text(), QStringLiteral("ab\rz\r\nw"));

    press(Qt::Key_Home, Qt::ControlModifier);
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    EXPECT_EQ(Form_dy->Memo2->text(), QStringLiteral("a\r\nb\rz\r\nw"));
    press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Form_dy->Memo2->text(), QStringLiteral("a\r\n\r\nb\rz\r\nw"));
}

// Focus moved by the keyboard is no choice of memo; a new showing is.
TEST_F(ReportWindow, TargetLastsUntilAMemoClickOrTheNextShowing)
{
    handOverWithPhrase(QStringLiteral("正常"));
    click(Form_dy->Memo3);
    Form_dy->Memo2->setFocus();
    preview(0, 0);
    doubleClick(Form_dy->Memo1);
    EXPECT_EQ(Form_dy->Memo3->text(), QStringLiteral("正常") + cr);

    Form_dy->Show();
    EXPECT_EQ(PhraseTarget, 1) << "showing a visible window runs nothing";

    QTest::mouseClick(Form_dy->Button6, Qt::LeftButton);
    handOver();
    EXPECT_EQ(PhraseTarget, 0);
    preview(0, 0);
    doubleClick(Form_dy->Memo1);
    EXPECT_EQ(Form_dy->Memo2->text(), QStringLiteral("正常") + cr);
    EXPECT_EQ(Form_dy->Memo3->text(), QString());
}

// A phrase stored as null cannot be previewed; the old preview is gone all the same.
TEST_F(ReportWindow, NullPhraseFailsWithAnEmptyPreview)
{
    db.exec(QStringLiteral("insert into nr (bt, nr) values (?, NULL)"), {QStringLiteral("胸部")});
    handOverWithPhrase(QStringLiteral("正常"));
    preview(0, 1);
    ASSERT_EQ(Form_dy->Memo1->text(), QStringLiteral("正常"));
    clickCell(Form_dy->DBGrid1, 0);
    EXPECT_EQ(dialogs.failures, QStringList{"Could not convert variant of type (Null) into type (String)"});
    EXPECT_EQ(Form_dy->Memo1->text(), QString());
}

TEST_F(ReportWindow, ReprintModeShowsNoPhrases)
{
    handOverWithPhrase(QStringLiteral("正常"));
    clickCell(Form_dy->DBGrid2, 0);
    ASSERT_EQ(Form_dy->DBGrid1->model()->rowCount(), 1);
    QTest::mouseClick(Form_dy->Button6, Qt::LeftButton);
    ASSERT_FALSE(Form_dy->isVisible());

    Form_dy->Memo1->setText(QString());
    Form_dy->Memo2->setText(QStringLiteral("旧所见"));
    Form_dy->Memo2->setReadOnly(true);
    ReportMode = 2;
    Form_dy->Show();
    EXPECT_EQ(Form_dy->DBGrid2->model()->rowCount(), 0);
    EXPECT_EQ(Form_dy->DBGrid1->model()->rowCount(), 0);

    // Even a locked memo takes the carriage return of an empty preview.
    doubleClick(Form_dy->Memo1);
    EXPECT_EQ(Form_dy->Memo2->text(), QStringLiteral("旧所见") + cr);
}

TEST_F(ReportWindow, LeavingDiscardsTheRecord)
{
    handOverWithPhrase(QStringLiteral("正常"));
    preview(0, 0);
    doubleClick(Form_dy->Memo1);

    QTest::mouseClick(Form_dy->Button6, Qt::LeftButton);
    EXPECT_FALSE(Form_dy->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(WindowFocus::waitActive(Form1));
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from hzzl")).toInt(), 0);

    openRegistration();
    EXPECT_EQ(Form_zj->Label4->text(), "2006030501");
}

} // namespace
