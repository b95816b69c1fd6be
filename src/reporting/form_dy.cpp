#include "reporting/form_dy.h"

#include "shared_state/shared_state.h"
#include "shared_state/windows_log.h"
#include "main_menu/form1.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/dialogs.h"
#include "platform/widgets/event_hooks.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"
#include "registration/form_zj.h"
#include "reporting/qrreport7.h"

#include <QLabel>
#include <QPushButton>

TForm_dy *Form_dy = nullptr;

namespace {

const QColor cream(255, 251, 240);

Memo *reportMemo(QWidget *parent, const QRect &place)
{
    auto *memo = new Memo(parent);
    memo->setGeometry(place);
    memo->setFont(UiFont::make(13));
    memo->setFrameShape(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, cream);
    memo->setPalette(palette);
    return memo;
}

DataGrid *phraseGrid(QWidget *parent, const QRect &place)
{
    auto *grid = new DataGrid(parent);
    grid->setGeometry(place);
    grid->setTitlesVisible(false);
    // The one column is far wider than the grid: scroll through it sideways.
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    return grid;
}

} // namespace

TForm_dy::TForm_dy(Connection *connection)
    : Form({QStringLiteral("澄影放射科管理系统之打印窗口"), {794, 545}}),
      ADOQuery1(connection, QStringLiteral("ADOQuery1")),
      ADOQuery2(connection, QStringLiteral("ADOQuery2")),
      ADODataSet1(connection, QStringLiteral("ADODataSet1"), QStringLiteral("hzzl"))
{
    for (const char *column : {"xm", "xb", "jcbw", "jcks", "lczd", "jtzz"})
        ADODataSet1.declareWidth(QLatin1String(column), 50);

    const QFont plain = font();
    auto caption = [&](const QString &text, const QRect &place) { Controls::label(this, text, place, plain); };
    auto value = [&](const QRect &place) { return Controls::valueLabel(this, place, cream); };

    Controls::label(this, QStringLiteral("松岭县中医院"), {144, 24, 105, 20}, UiFont::make(13, true));
    caption(QStringLiteral("记录号："), {32, 64, 49, 13});
    Label14 = value({88, 64, 105, 13});
    Controls::rule(this, {16, 88, 353, 1});
    caption(QStringLiteral("姓名："), {32, 96, 36, 13});
    Label6 = value({72, 96, 65, 13});
    caption(QStringLiteral("性别："), {160, 96, 36, 13});
    Label7 = value({208, 96, 41, 13});
    caption(QStringLiteral("年龄："), {264, 96, 36, 13});
    Label10 = value({312, 96, 41, 13});
    caption(QStringLiteral("科室："), {32, 120, 36, 13});
    Label12 = value({72, 120, 65, 13});
    caption(QStringLiteral("床号："), {160, 120, 41, 13});
    Label23 = value({208, 120, 41, 13});
    caption(QStringLiteral("检查部位："), {32, 144, 65, 13});
    Label16 = value({112, 144, 241, 13});
    caption(QStringLiteral("临床诊断："), {32, 168, 65, 13});
    Label19 = value({112, 168, 241, 13});
    Controls::rule(this, {16, 192, 353, 1});
    caption(QStringLiteral("检查所见："), {32, 200, 65, 13});
    Memo2 = reportMemo(this, {56, 224, 297, 121});
    caption(QStringLiteral("诊断意见："), {32, 352, 65, 13});
    Memo3 = reportMemo(this, {56, 376, 297, 105});
    caption(QStringLiteral("检查日期："), {128, 496, 60, 13});
    Label17 = value({216, 496, 121, 13});
    Button5 = Controls::button(this, QStringLiteral("打印"), {24, 496, 57, 17}, plain);

    const QColor teal(0, 128, 128);
    Controls::label(this, QStringLiteral("标题："), {384, 40, 81, 20}, UiFont::make(16, true), teal);
    DBGrid2 = phraseGrid(this, {376, 64, 105, 417});
    DBGrid2->setDataSource(&ADOQuery1);
    Controls::label(this, QStringLiteral("条目："), {480, 40, 105, 20}, UiFont::make(16, true), teal);
    DBGrid1 = phraseGrid(this, {480, 64, 297, 273});
    DBGrid1->setDataSource(&ADOQuery2);
    Memo1 = new Memo(this);
    Memo1->setGeometry(480, 336, 297, 145);
    Memo1->setFont(UiFont::make(13));
    Memo1->setReadOnly(true);
    Button6 = Controls::button(this, QStringLiteral("退出"), {704, 496, 65, 17}, plain);
    Controls::tabOrder({Memo1, DBGrid1, Button5, Button6, DBGrid2, Memo2, Memo3});
    // The preview has the focus when the window first comes up.
    Memo1->setFocus();

    DBGrid2->onCellClick([this] { DBGrid2CellClick(); });
    DBGrid1->onCellClick([this] { DBGrid1CellClick(); });
    EventHooks::onClick(Memo2, [this] { Memo2Click(); });
    EventHooks::onClick(Memo3, [this] { Memo3Click(); });
    EventHooks::onDblClick(Memo1, [this] { Memo1DblClick(); });
    connect(Button5, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button5Click(); }));
    connect(Button6, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button6Click(); }));
}

void TForm_dy::FormShow()
{
    PhraseTarget = 0;
    if (ReportMode == 2) {
        ADOQuery1.Close();
        ADOQuery2.Close();
    }
}

void TForm_dy::DBGrid2CellClick()
{
    ADOQuery2.Close();
    ADOQuery2.SQL().clear();
    ADOQuery2.SQL() << QStringLiteral("select nr from nr") << QStringLiteral("where bt=:bt");
    ADOQuery2.setParameter(QStringLiteral("bt"), ADOQuery1.fieldByName(QStringLiteral("bt")).value());
    ADOQuery2.Open();
}

void TForm_dy::DBGrid1CellClick()
{
    Memo1->setText(QString());
    Memo1->setText(ADOQuery2.fieldByName(QStringLiteral("nr")).asString());
}

void TForm_dy::Memo2Click()
{
    PhraseTarget = 0;
}

void TForm_dy::Memo3Click()
{
    PhraseTarget = 1;
}

void TForm_dy::Memo1DblClick()
{
    // A carriage return alone, as the report layout expects between phrases.
    if (PhraseTarget == 1)
        Memo3->setText(Memo3->text() + Memo1->text() + QChar(13));
    else if (PhraseTarget == 0)
        Memo2->setText(Memo2->text() + Memo1->text() + QChar(13));
}

void TForm_dy::Button5Click()
{
    if (ReportMode == 1) {
        examination().appendTo(ADODataSet1);
        printReport();
    } else if (ReportMode == 2) {
        printReport();
    }
}

ExaminationRecord TForm_dy::examination() const
{
    ExaminationRecord record;
    record.recordNumber = Label14->text();
    record.name = Label6->text();
    record.sex = Label7->text();
    record.age = Label10->text();
    record.department = Label12->text();
    record.site = Label16->text();
    record.diagnosis = Label19->text();
    record.date = Label17->text();
    record.bed = Label23->text();
    record.findings = Memo2->text();
    record.opinion = Memo3->text();
    return record;
}

void TForm_dy::printReport()
{
    TQRReport7 &report = *QRReport7;
    report.QRRichText1->ClearLines();
    report.QRRichText2->ClearLines();
    // Untrimmed: the printed labels keep their blanks.
    report.QRLabel_jlh->SetCaption(Label14->text());
    report.QRLabel_xm->SetCaption(Label6->text());
    report.QRLabel_xb->SetCaption(Label7->text());
    report.QRLabel_nl->SetCaption(Label10->text());
    report.QRLabel_ks->SetCaption(Label12->text());
    report.QRLabel_bw->SetCaption(Label16->text());
    report.QRLabel_zd->SetCaption(Label19->text());
    report.QRLabel_rq->SetCaption(Label17->text());
    report.QRLabel_zz->SetCaption(Label23->text());
    report.QRRichText1->AddLine(Memo2->text());
    report.QRRichText2->AddLine(Memo3->text());
    Close();
    // A printer failure leaves the operator at the main menu, which the
    // registration or query window showed when it closed.
    report.PrintToPrinter();
    Form1->hide();
    Form_zj->Show();
    // Without a printer the run returns having printed nothing; the operator
    // must not walk away believing the report is on paper.
    if (!report.PrinterFound()) {
        const QString why = report.SpoolerReached()
            ? QStringLiteral("这台电脑没有安装打印机")
            : QStringLiteral("无法连接打印服务（打印系统没有运行或没有响应）");
        qCWarning(lcWindows) << "the report was not printed:"
                             << (report.SpoolerReached() ? "no printer is installed" : "the print service does not answer");
        Dialogs::current().message(why + QStringLiteral("，报告没有打印。\n检查记录已保存在数据库中，"
                                                        "可以在查询窗口中找到这份记录重新打印。"));
    }
}

void TForm_dy::Button6Click()
{
    Close();
    Form1->Show();
}
