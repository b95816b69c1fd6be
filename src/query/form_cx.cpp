#include "query/form_cx.h"

#include "main_menu/form1.h"
#include "shared_state/shared_state.h"
#include "platform/core/clock.h"
#include "platform/widgets/controls.h"
#include "platform/core/convert.h"
#include "platform/widgets/event_hooks.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/group_box.h"
#include "platform/widgets/ui_font.h"
#include "registration/form5.h"
#include "reporting/form_dy.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm_cx *Form_cx = nullptr;

namespace {

const QString selectLine = QStringLiteral(
    "select jcjlh as 检查纪录号,xm as 姓名,xb as 性别,nl as 年龄,jcrq as 检查日期,jcbw as 检查部位,"
    "jcks as 送检科室,lczd as 临床诊断,jcsj as 检查所见,zdyj as 诊断意见,jtzz as 家庭住址 from hzzl");

QCheckBox *checkBox(QWidget *parent, const QString &caption, const QRect &place)
{
    auto *box = new QCheckBox(caption, parent);
    box->setGeometry(place);
    return box;
}

// In the given order: each box's handler runs as it is unticked.
void untick(std::initializer_list<QCheckBox *> boxes)
{
    for (QCheckBox *box : boxes)
        box->setChecked(false);
}

// Runs `handler` whenever the box's state really changes, from a click or from code.
void onStateChange(QCheckBox *box, QObject *context, std::function<void()> handler)
{
    QObject::connect(box, &QCheckBox::toggled, context, FailureGuard::wrap(std::move(handler)));
}

} // namespace

TForm_cx::TForm_cx(Connection *connection)
    : Form({QStringLiteral("澄影放射科管理系统之病历查询"), {751, 380}, false, Placement::Designed, {18, 107}}),
      ADOQuery1(connection, QStringLiteral("ADOQuery1")),
      ADOQuery2(connection, QStringLiteral("ADOQuery2"))
{
    GroupBox1 = new GroupBox(QStringLiteral("GroupBox1"), this);
    GroupBox1->setGeometry(0, 8, 417, 153);
    CheckBox1 = checkBox(GroupBox1, QStringLiteral("记录号"), {24, 24, 73, 17});
    Edit1 = Controls::edit(GroupBox1, {104, 16, 89, 21});
    CheckBox2 = checkBox(GroupBox1, QStringLiteral("送检科室"), {24, 56, 81, 17});
    Edit2 = Controls::edit(GroupBox1, {104, 48, 89, 21});
    CheckBox3 = checkBox(GroupBox1, QStringLiteral("报告日期"), {24, 88, 81, 17});
    DateTimePicker1 = new QDateEdit(GroupBox1);
    DateTimePicker1->setGeometry(104, 80, 89, 21);
    DateTimePicker1->setDisplayFormat(Convert::shortDateFormat());
    DateTimePicker1->setCalendarPopup(true);
    CheckBox4 = checkBox(GroupBox1, QStringLiteral("查询全部"), {24, 120, 81, 17});

    const QFont buttonFont = UiFont::make(16, true);
    Button1 = Controls::button(this, QStringLiteral("查询"), {424, 40, 75, 25}, buttonFont);
    Button2 = Controls::button(this, QStringLiteral("退出"), {424, 104, 75, 25}, buttonFont);

    const QFont hintFont = UiFont::make(19, true);
    Controls::label(this, QStringLiteral("查询到纪录后"), {576, 24, 153, 25}, hintFont, Qt::red);
    Controls::label(this, QStringLiteral("双击下面的表格可"), {520, 64, 201, 25}, hintFont, Qt::red);
    Controls::label(this, QStringLiteral("以转到打印界面。"), {520, 104, 201, 25}, hintFont, Qt::red);

    DBGrid1 = new DataGrid(this);
    DBGrid1->setGeometry(0, 168, 689, 185);
    DBGrid1->setRowIndicator(true);
    DBGrid1->setDataSource(&ADOQuery1);

    Controls::tabOrder({CheckBox1, CheckBox2, CheckBox4, Edit1, Edit2, DateTimePicker1, CheckBox3, DBGrid1,
                        Button1, Button2});

    onStateChange(CheckBox1, this, [this] { CheckBox1Click(); });
    onStateChange(CheckBox2, this, [this] { CheckBox2Click(); });
    onStateChange(CheckBox3, this, [this] { CheckBox3Click(); });
    onStateChange(CheckBox4, this, [this] { CheckBox4Click(); });
    connect(Button1, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button2Click(); }));
    EventHooks::onDblClick(Edit2, [this] { Edit2DblClick(); });
    EventHooks::onKeyPress(Edit2, [this](QChar &key) { Edit2KeyPress(key); });
    EventHooks::onDblClick(DBGrid1, [this] { DBGrid1DblClick(); });
}

void TForm_cx::FormShow()
{
    Edit1->setEnabled(false);
    Edit2->setEnabled(false);
    untick({CheckBox1, CheckBox2, CheckBox3});
    CheckBox4->setChecked(true);
    DateTimePicker1->setDate(Clock::today());
    DateTimePicker1->setEnabled(false);
    Button1->setFocus();
}

void TForm_cx::FormClose()
{
    Form1->Show();
}

void TForm_cx::CheckBox1Click()
{
    if (CheckBox1->isChecked())
        untick({CheckBox4, CheckBox3, CheckBox2});
    Edit1->setEnabled(CheckBox1->isChecked());
}

void TForm_cx::CheckBox2Click()
{
    if (CheckBox2->isChecked())
        untick({CheckBox4, CheckBox3, CheckBox1});
    Edit2->setEnabled(CheckBox2->isChecked());
}

void TForm_cx::CheckBox3Click()
{
    // Only the show handler disables the date field again.
    if (CheckBox3->isChecked()) {
        untick({CheckBox4, CheckBox1, CheckBox2});
        DateTimePicker1->setEnabled(true);
    }
}

void TForm_cx::CheckBox4Click()
{
    if (CheckBox4->isChecked()) {
        untick({CheckBox1, CheckBox2, CheckBox3});
        Edit1->setEnabled(false);
        Edit2->setEnabled(false);
    }
}

void TForm_cx::Button1Click()
{
    ADOQuery1.Close();
    ADOQuery1.SQL().clear();
    if (CheckBox4->isChecked()) {
        ADOQuery1.SQL() << selectLine;
        ADOQuery1.Open();
    }
    if (CheckBox1->isChecked()) {
        ADOQuery1.SQL() << selectLine << QStringLiteral("where jcjlh=:jlh");
        ADOQuery1.setParameter(QStringLiteral("jlh"), Convert::strToInt(Edit1->text()));
        ADOQuery1.Open();
    }
    if (CheckBox2->isChecked()) {
        // Bound, not pasted: a quote in the typed text cannot break or extend
        // the statement, and the match stays exact (a trailing blank counts).
        ADOQuery1.SQL() << selectLine << QStringLiteral("where jcks = :jcks");
        ADOQuery1.setParameter(QStringLiteral("jcks"), Edit2->text());
        ADOQuery1.Open();
    }
    if (CheckBox3->isChecked()) {
        ADOQuery1.SQL() << selectLine << QStringLiteral("where jcrq = :rq");
        ADOQuery1.setParameter(QStringLiteral("rq"), Convert::dateToStr(DateTimePicker1->date()));
        ADOQuery1.Open();
    }
}

void TForm_cx::Button2Click()
{
    Close();
}

void TForm_cx::Edit2DblClick()
{
    Form5->DBGrid1->setDataSource(&ADOQuery2);
    openDepartmentPicker();
}

void TForm_cx::Edit2KeyPress(QChar &key)
{
    Form5->DBGrid1->setDataSource(&ADOQuery2);
    // Enter goes on into the field like any other key.
    if (key == QChar(13))
        openDepartmentPicker();
}

void TForm_cx::openDepartmentPicker()
{
    // Whatever the field holds: the picker replaces a typed name.
    ADOQuery2.Reopen({QStringLiteral("select ksmc as 科室名称,kspym as 科室拼音码 from ks")});
    PickerCaller = 2;
    Form5->Show();
}

void TForm_cx::DBGrid1DblClick()
{
    // Each label is written as soon as its column is read: a null column stops
    // the hand-over there, with the query window still open.
    auto text = [this](const char *alias) { return ADOQuery1.fieldByName(QString::fromUtf8(alias)).asString(); };
    Form_dy->Label6->setText(text("姓名"));
    Form_dy->Label7->setText(text("性别"));
    Form_dy->Label10->setText(text("年龄"));
    Form_dy->Label12->setText(text("送检科室"));
    Form_dy->Label14->setText(text("检查纪录号"));
    Form_dy->Label16->setText(text("检查部位"));
    Form_dy->Label19->setText(text("临床诊断"));
    Form_dy->Label17->setText(text("检查日期"));
    Form_dy->Label23->setText(text("家庭住址"));
    Form_dy->Memo1->setText(QString());
    Form_dy->Memo2->setText(text("检查所见"));
    Form_dy->Memo3->setText(text("诊断意见"));
    Form_dy->Memo2->setReadOnly(true);
    Form_dy->Memo3->setReadOnly(true);
    Close();
    ReportMode = 2;
    Form_dy->Show();
}
