#include "registration/form_zj.h"

#include "shared_state/shared_state.h"
#include "main_menu/form1.h"
#include "platform/core/clock.h"
#include "platform/widgets/controls.h"
#include "platform/core/convert.h"
#include "platform/widgets/event_hooks.h"
#include "platform/core/failure.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"
#include "registration/form5.h"
#include "registration/form6.h"
#include "reporting/form_dy.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

TForm_zj *Form_zj = nullptr;

namespace {

constexpr QChar enter(13);

// The age and bed-number fields take digits only; Backspace and Enter pass.
void digitsOnly(QChar &key)
{
    if (!((key >= '0' && key <= '9') || key == QChar(8) || key == enter))
        key = QChar();
}

// A field where the operator types Chinese: the input method is on here.
void chineseInput(QLineEdit *edit)
{
    edit->setAttribute(Qt::WA_InputMethodEnabled, true);
    edit->setInputMethodHints(Qt::ImhNone);
}

} // namespace

TForm_zj::TForm_zj(Connection *connection)
    : Form({QStringLiteral("澄影放射科管理系统之新加患者"), {544, 277}}),
      ADOQuery1(connection, QStringLiteral("ADOQuery1")),
      ADOQuery2(connection, QStringLiteral("ADOQuery2")),
      ADOQuery3(connection, QStringLiteral("ADOQuery3")),
      ADOQuery4(connection, QStringLiteral("ADOQuery4"))
{
    const QFont caption = UiFont::make(13, true);
    const QColor green(0, 128, 0);
    Controls::label(this, QStringLiteral("患者姓名："), {32, 32, 89, 16}, caption, green);
    Edit1 = Controls::edit(this, {120, 32, 73, 21});
    Controls::label(this, QStringLiteral("性别："), {224, 32, 49, 16}, caption, green);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(288, 32, 57, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({QStringLiteral("男"), QStringLiteral("女")});
    Controls::label(this, QStringLiteral("年龄："), {400, 32, 49, 16}, caption, green);
    Edit2 = Controls::digitEdit(this, {464, 32, 41, 21});
    Controls::label(this, QStringLiteral("科室："), {32, 80, 49, 16}, caption, green);
    Edit6 = Controls::edit(this, {120, 72, 73, 21});
    Controls::label(this, QStringLiteral("记录号："), {224, 72, 57, 16}, caption, green);
    Label4 = Controls::valueLabel(this, {288, 72, 89, 16}, Qt::white);
    Label4->setFont(caption);
    QPalette numberPalette = Label4->palette();
    numberPalette.setColor(QPalette::WindowText, green);
    Label4->setPalette(numberPalette);
    Controls::label(this, QStringLiteral("床号："), {400, 72, 49, 16}, caption, green);
    Edit3 = Controls::digitEdit(this, {464, 72, 41, 21});
    Controls::label(this, QStringLiteral("检查部位："), {32, 120, 81, 16}, caption, green);
    Edit4 = Controls::edit(this, {120, 112, 385, 21});
    Controls::label(this, QStringLiteral("临床诊断："), {32, 160, 81, 16}, caption, green);
    Edit5 = Controls::edit(this, {120, 152, 385, 21});
    Button1 = Controls::button(this, QStringLiteral("增加"), {136, 208, 75, 25}, caption);
    Button2 = Controls::button(this, QStringLiteral("退出"), {320, 208, 75, 25}, caption);
    Controls::tabOrder({Edit1, ComboBox1, Edit2, Edit3, Button1, Button2, Edit4, Edit5, Edit6});

    chineseInput(Edit1);
    chineseInput(Edit5);

    EventHooks::onKeyPress(Edit1, [this](QChar &key) { Edit1KeyPress(key); });
    EventHooks::onKeyPress(ComboBox1, [this](QChar &key) { ComboBox1KeyPress(key); });
    EventHooks::onKeyPress(Edit2, [this](QChar &key) { Edit2KeyPress(key); });
    EventHooks::onKeyPress(Edit6, [this](QChar &key) { Edit6KeyPress(key); });
    EventHooks::onKeyPress(Edit3, [this](QChar &key) { Edit3KeyPress(key); });
    EventHooks::onKeyPress(Edit4, [this](QChar &key) { Edit4KeyPress(key); });
    EventHooks::onKeyPress(Edit5, [this](QChar &key) { Edit5KeyPress(key); });
    EventHooks::onDblClick(Edit6, [this] { Edit6DblClick(); });
    EventHooks::onDblClick(Edit4, [this] { Edit4DblClick(); });
    connect(Button1, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button2Click(); }));
}

void TForm_zj::FormShow()
{
    for (QLineEdit *edit : {Edit1, Edit2, Edit3, Edit4, Edit6, Edit5})
        edit->setText(QString());
    ComboBox1->setEditText(QString());
    Edit1->setFocus();

    const QDate today = Clock::today();
    const QString first = QString::number(today.year()) + QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0'))
                          + QStringLiteral("%1").arg(today.day(), 2, 10, QLatin1Char('0')) + QStringLiteral("01");
    ADOQuery3.Reopen({QStringLiteral("select max(jcjlh) as jlh from hzzl")});
    ADOQuery4.Reopen({QStringLiteral("select *  from hzzl")});
    if (ADOQuery4.recordCount() == 0) {
        Label4->setText(first);
        return;
    }
    const int highest = ADOQuery3.fieldByName(QStringLiteral("jlh")).asInteger();
    // The number is a 32-bit integer: the highest one has no successor.
    if (highest == std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("记录号已达到最大值 %1，无法再分配新的记录号。").arg(highest));
    Label4->setText(highest < first.toInt() ? first : Convert::intToStr(qint64(highest) + 1));
}

void TForm_zj::FormClose()
{
    Form1->Show();
}

void TForm_zj::Edit1KeyPress(QChar &key)
{
    if (key == enter)
        ComboBox1->setFocus();
}

void TForm_zj::ComboBox1KeyPress(QChar &key)
{
    if (key == enter)
        Edit2->setFocus();
}

void TForm_zj::Edit2KeyPress(QChar &key)
{
    digitsOnly(key);
    if (key == enter)
        Edit6->setFocus();
}

void TForm_zj::Edit6KeyPress(QChar &key)
{
    Form5->DBGrid1->setDataSource(&ADOQuery1);
    if (key != enter)
        return;
    if (Edit6->text().isEmpty())
        openDepartmentPicker();
    else
        Edit3->setFocus();
}

void TForm_zj::Edit3KeyPress(QChar &key)
{
    digitsOnly(key);
    if (key == enter)
        Edit4->setFocus();
}

void TForm_zj::Edit4KeyPress(QChar &key)
{
    if (key != enter)
        return;
    if (Edit4->text().isEmpty())
        openSitePicker();
    else
        Edit5->setFocus();
}

void TForm_zj::Edit5KeyPress(QChar &key)
{
    if (key == enter)
        Button1->setFocus();
}

void TForm_zj::Edit6DblClick()
{
    Form5->DBGrid1->setDataSource(&ADOQuery1);
    if (Edit6->text().isEmpty())
        openDepartmentPicker();
}

void TForm_zj::Edit4DblClick()
{
    if (Edit4->text().isEmpty())
        openSitePicker();
}

void TForm_zj::openDepartmentPicker()
{
    ADOQuery1.Reopen({QStringLiteral("select ksmc as 科室名称,kspym as 科室拼音码 from ks")});
    PickerCaller = 1;
    Form5->Show();
}

void TForm_zj::openSitePicker()
{
    ADOQuery2.Reopen({QStringLiteral("select bwmc as 部位名称,bwpym as 部位拼音码 from bwmc")});
    Form6->Show();
}

void TForm_zj::Button1Click()
{
    Form_dy->Label6->setText(Edit1->text());
    Form_dy->Label7->setText(ComboBox1->currentText());
    Form_dy->Label10->setText(Edit2->text());
    Form_dy->Label12->setText(Edit6->text());
    Form_dy->Label14->setText(Label4->text());
    Form_dy->Label16->setText(Edit4->text());
    Form_dy->Label19->setText(Edit5->text());
    Form_dy->Label17->setText(Convert::dateToStr(Clock::today()));
    Form_dy->Label23->setText(Edit3->text());
    ReportMode = 1;
    Form_dy->Memo1->setText(QString());
    Form_dy->Memo2->setText(QString());
    Form_dy->Memo3->setText(QString());
    // A reprint locks the memos; a new report must be typeable again.
    Form_dy->Memo2->setReadOnly(false);
    Form_dy->Memo3->setReadOnly(false);
    Form_dy->ADOQuery1.Reopen({QStringLiteral("select bt from bt")});
    Close();
    Form_dy->Show();
}

void TForm_zj::Button2Click()
{
    Close();
    Form1->Show();
}
