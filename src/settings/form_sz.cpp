#include "settings/form_sz.h"

#include "shared_state/shared_state.h"
#include "main_menu/form1.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/dialogs.h"
#include "platform/widgets/event_hooks.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/group_box.h"
#include "platform/widgets/picture.h"
#include "platform/widgets/ui_font.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

TForm_sz *Form_sz = nullptr;

namespace {

const QColor teal(0, 128, 128);
const QColor olive(128, 128, 0);

using Column = GridColumns::Column;

// A caption as wide as its text.
void caption(QWidget *parent, const QString &text, int left, int top)
{
    QLabel *label = Controls::label(parent, text, {left, top, 0, 0}, parent->font());
    label->adjustSize();
}

QGroupBox *groupBox(QWidget *parent, const QRect &place, const QColor &captionColor)
{
    auto *box = new GroupBox(QStringLiteral("资料设置"), parent);
    box->setGeometry(place);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, captionColor);
    box->setPalette(palette);
    return box;
}

DataGrid *grid(QWidget *parent, const QRect &place, GridSource *source, bool rowIndicator, bool boldTitles)
{
    auto *grid = new DataGrid(parent);
    grid->setGeometry(place);
    grid->setRowIndicator(rowIndicator);
    // Cells clip their text at the column's edge, as the classic grid did.
    grid->setTextElideMode(Qt::ElideNone);
    if (boldTitles) {
        QFont titles = grid->font();
        titles.setBold(true);
        grid->horizontalHeader()->setFont(titles);
    }
    grid->setDataSource(source);
    return grid;
}

// Decoration only: a JPEG compiled into the program, stretched to its box.
QLabel *picture(QWidget *parent, const QString &resource, const QRect &place)
{
    auto *label = new Picture(parent, resource, "JPEG");
    label->setGeometry(place);
    return label;
}

// Enter in each control but the last moves the focus to the next one.
void enterChain(std::initializer_list<QWidget *> chain)
{
    for (auto control = chain.begin(); control + 1 != chain.end(); ++control) {
        QWidget *next = *(control + 1);
        EventHooks::onKeyPress(*control, [next](QChar &key) {
            if (key == QChar(13))
                next->setFocus();
        });
    }
}

} // namespace

TForm_sz::TForm_sz(Connection *connection)
    : Form({QStringLiteral("澄影放射科管理系统之系统设置"), {558, 384}}),
      ADODataSet1(connection, QStringLiteral("ADODataSet1"), QStringLiteral("ks")),
      ADODataSet2(connection, QStringLiteral("ADODataSet2"), QStringLiteral("bwmc")),
      ADODataSet3(connection, QStringLiteral("ADODataSet3"), QStringLiteral("bt")),
      ADODataSet4(connection, QStringLiteral("ADODataSet4"), QStringLiteral("nr")),
      ADODataSet5(connection, QStringLiteral("ADODataSet5"), QStringLiteral("hzzl")),
      DataSource1(&ADODataSet1, {{QStringLiteral("ksmc"), QStringLiteral("科室名称"), 15},
                                 {QStringLiteral("kspym"), QStringLiteral("科室拼音码"), 15}}),
      DataSource2(&ADODataSet2, {{QStringLiteral("bwmc"), QStringLiteral("部位名称"), 50},
                                 {QStringLiteral("bwpym"), QStringLiteral("部位拼音码"), 50}}),
      DataSource3(&ADODataSet3, {{QStringLiteral("bt"), QStringLiteral("标题"), 15}}),
      DataSource4(&ADODataSet4, {{QStringLiteral("bt"), QStringLiteral("标题"), 20},
                                 {QStringLiteral("nr"), QStringLiteral("内容"), 255}}),
      DataSource5(&ADODataSet5, {{QStringLiteral("jcjlh"), QStringLiteral("记录号"), 10},
                                 {QStringLiteral("xm"), QStringLiteral("姓名"), 10},
                                 {QStringLiteral("xb"), QStringLiteral("性别"), 5},
                                 {QStringLiteral("nl"), QStringLiteral("年龄"), 10},
                                 {QStringLiteral("jcrq"), QStringLiteral("检查日期"), 18},
                                 {QStringLiteral("jcks"), QStringLiteral("检查科室"), 15},
                                 {QStringLiteral("zdyj"), QStringLiteral("诊断意见"), 10},
                                 {QStringLiteral("jcsj"), QStringLiteral("检查所见"), 10},
                                 {QStringLiteral("jtzz"), QStringLiteral("床号"), 10},
                                 {QStringLiteral("jcbw"), QStringLiteral("检查部位"), 20},
                                 {QStringLiteral("lczd"), QStringLiteral("临床诊断"), 20}}),
      departments_(ADODataSet1), sites_(ADODataSet2), titles_(ADODataSet3), phrases_(ADODataSet4)
{
    Q_INIT_RESOURCE(settings_pictures);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, 0, 550, 357);
    auto page = [this](const QString &text) {
        auto *sheet = new QWidget;
        PageControl1->addTab(sheet, text);
        return sheet;
    };
    TabSheet1 = page(QStringLiteral("科室设置"));
    TabSheet2 = page(QStringLiteral("检查部位设置"));
    TabSheet3 = page(QStringLiteral("标题设置"));
    TabSheet4 = page(QStringLiteral("内容设置"));
    TabSheet5 = page(QStringLiteral("病历管理"));
    buildNamePages();
    buildTitlePage();
    buildPhrasePage();
    buildRecordPage();

    for (QPushButton *exit : {Button6, Button12, Button15, Button24, Button27})
        connect(exit, &QPushButton::clicked, this, FailureGuard::wrap([this] { exitClick(); }));

    // The definition leaves the record page current; every showing starts there.
    PageControl1->setCurrentWidget(TabSheet5);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { FailureGuard::run([this, index] { pageShown(PageControl1->widget(index)); }); });
}

// A page with a name and its pinyin code: the department and site pages differ only in these.
struct TForm_sz::NamePage {
    QWidget *sheet;
    GridSource *source;
    QRect gridPlace, boxPlace;
    QColor captionColor;
    QString captionA;
    QPoint captionAAt;
    QRect editA;
    QString captionB;
    QPoint captionBAt;
    QRect editB, save, cancel, add, modify, remove, exit;
    QString columnA, columnB;
    EditModePage &page;
    DataGrid *&grid;
    QGroupBox *&box;
    QLineEdit *&fieldA, *&fieldB;
    QPushButton *&saveButton, *&cancelButton, *&addButton, *&modifyButton, *&removeButton, *&exitButton;
};

TForm_sz::~TForm_sz()
{
    // Pages removed while the controls are destroyed must not run show handlers on data sets already gone.
    disconnect(PageControl1, nullptr, this, nullptr);
}

void TForm_sz::buildNamePage(const NamePage &p)
{
    p.sheet->setFont(font());
    p.grid = grid(p.sheet, p.gridPlace, p.source, true, false);
    p.box = groupBox(p.sheet, p.boxPlace, p.captionColor);
    caption(p.box, p.captionA, p.captionAAt.x(), p.captionAAt.y());
    p.fieldA = Controls::edit(p.box, p.editA);
    caption(p.box, p.captionB, p.captionBAt.x(), p.captionBAt.y());
    p.fieldB = Controls::edit(p.box, p.editB);
    p.saveButton = Controls::button(p.box, QStringLiteral("保存"), p.save, font());
    p.cancelButton = Controls::button(p.box, QStringLiteral("放弃"), p.cancel, font());
    p.addButton = Controls::button(p.sheet, QStringLiteral("添加"), p.add, font());
    p.modifyButton = Controls::button(p.sheet, QStringLiteral("修改"), p.modify, font());
    p.removeButton = Controls::button(p.sheet, QStringLiteral("删除"), p.remove, font());
    p.exitButton = Controls::button(p.sheet, QStringLiteral("退出"), p.exit, font());

    p.page.setControls({{p.fieldA, p.columnA}, {p.fieldB, p.columnB}}, p.saveButton, p.cancelButton);
    connectPage(p.page, p.addButton, p.modifyButton, p.saveButton, p.cancelButton, p.removeButton, p.grid);
    enterChain({p.fieldA, p.fieldB, p.saveButton});
}

void TForm_sz::buildNamePages()
{
    const NamePage pages[] = {
        {TabSheet1, &DataSource1, {0, 8, 177, 313}, {184, 8, 209, 233}, teal,
         QStringLiteral("科室名称："), {11, 40}, {104, 32, 89, 21},
         QStringLiteral("科室拼音码："), {13, 112}, {104, 104, 89, 21},
         {22, 184, 59, 25}, {118, 184, 59, 25}, {200, 256, 75, 25}, {312, 256, 75, 25},
         {200, 296, 75, 25}, {312, 296, 75, 25}, QStringLiteral("ksmc"), QStringLiteral("kspym"),
         departments_, DBGrid1, GroupBox1, Edit1, Edit2, Button1, Button2, Button3, Button4, Button5, Button6},
        {TabSheet2, &DataSource2, {0, 8, 209, 313}, {216, 8, 321, 233}, olive,
         QStringLiteral("部位名称："), {19, 40}, {112, 32, 193, 21},
         QStringLiteral("部位拼音码："), {21, 112}, {112, 104, 169, 21},
         {38, 184, 59, 25}, {214, 184, 59, 25}, {248, 256, 75, 25}, {424, 256, 75, 25},
         {248, 296, 75, 25}, {424, 296, 75, 25}, QStringLiteral("bwmc"), QStringLiteral("bwpym"),
         sites_, DBGrid2, GroupBox2, Edit3, Edit4, Button7, Button8, Button10, Button9, Button11, Button12},
    };
    for (const NamePage &page : pages)
        buildNamePage(page);
    Image1 = picture(TabSheet1, QStringLiteral(":/settings/tulips.jpg"), {408, 16, 129, 305});
    // Only the department page is stored with its fields locked; the page show locks the other's.
    for (QWidget *control : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2),
                             static_cast<QWidget *>(Button1), static_cast<QWidget *>(Button2)})
        control->setEnabled(false);
}

void TForm_sz::buildTitlePage()
{
    // The page takes the page control's bold font; the group box is plain.
    QWidget *sheet = TabSheet3;
    const QFont bold = tabFont();
    DBGrid3 = grid(sheet, {0, 8, 177, 313}, &DataSource3, true, true);
    Button13 = Controls::button(sheet, QStringLiteral("添加"), {384, 24, 57, 25}, bold);
    Button14 = Controls::button(sheet, QStringLiteral("修改"), {472, 24, 59, 25}, bold);
    Button16 = Controls::button(sheet, QStringLiteral("删除"), {384, 80, 57, 25}, bold);
    Button15 = Controls::button(sheet, QStringLiteral("退出"), {472, 80, 59, 25}, bold);
    GroupBox3 = groupBox(sheet, {184, 8, 185, 113}, teal);
    GroupBox3->setFont(font());
    caption(GroupBox3, QStringLiteral("标题名称："), 11, 40);
    Edit6 = Controls::edit(GroupBox3, {80, 32, 89, 21});
    QPalette palette = Edit6->palette();
    palette.setColor(QPalette::Text, teal);
    Edit6->setPalette(palette);
    Button17 = Controls::button(GroupBox3, QStringLiteral("保存"), {14, 72, 59, 25}, font());
    Button18 = Controls::button(GroupBox3, QStringLiteral("放弃"), {110, 72, 59, 25}, font());
    Image2 = picture(sheet, QStringLiteral(":/settings/butterflyfish.jpg"), {184, 128, 353, 193});
    for (QWidget *control : {static_cast<QWidget *>(Edit6), static_cast<QWidget *>(Button17),
                             static_cast<QWidget *>(Button18)})
        control->setEnabled(false);

    titles_.setControls({{Edit6, QStringLiteral("bt")}}, Button17, Button18);
    connectPage(titles_, Button13, Button14, Button17, Button18, Button16, DBGrid3);
    enterChain({Edit6, Button17});
}

void TForm_sz::buildPhrasePage()
{
    QWidget *sheet = TabSheet4;
    sheet->setFont(font());
    Memo1 = new Memo(sheet);
    Memo1->setGeometry(0, 0, 289, 145);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(11);
    Memo1->setFont(arial);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    caption(sheet, QStringLiteral("所属标题："), 296, 32);
    ComboBox1 = new QComboBox(sheet);
    ComboBox1->setGeometry(376, 24, 161, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    Button19 = Controls::button(sheet, QStringLiteral("保存"), {312, 80, 75, 25}, font());
    Button20 = Controls::button(sheet, QStringLiteral("放弃"), {440, 80, 75, 25}, font());
    DBGrid4 = grid(sheet, {0, 144, 457, 185}, &DataSource4, false, true);
    Button21 = Controls::button(sheet, QStringLiteral("添加"), {464, 152, 75, 25}, font());
    Button22 = Controls::button(sheet, QStringLiteral("修改"), {464, 200, 75, 25}, font());
    Button23 = Controls::button(sheet, QStringLiteral("删除"), {464, 248, 75, 25}, font());
    Button24 = Controls::button(sheet, QStringLiteral("退出"), {464, 296, 75, 25}, font());
    Button19->setEnabled(false);
    Button20->setEnabled(false);

    // The phrase is stored as typed, line breaks and blanks included.
    phrases_.setControls({{Memo1, QStringLiteral("nr"), false}}, Button19, Button20);
    phrases_.setTitleField(ComboBox1, QStringLiteral("bt"));
    phrases_.keepFocusOnModify();
    connectPage(phrases_, Button21, Button22, Button19, Button20, Button23, DBGrid4);
}

void TForm_sz::buildRecordPage()
{
    QWidget *sheet = TabSheet5;
    sheet->setFont(font());
    DBGrid5 = grid(sheet, {0, 0, 545, 225}, &DataSource5, true, true);
    Button25 = Controls::button(sheet, QStringLiteral("删除记录"), {40, 256, 75, 25}, UiFont::make(13));
    Button27 = Controls::button(sheet, QStringLiteral("退出"), {384, 256, 75, 25}, UiFont::make(13));
    connect(Button25, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button25Click(); }));
}

void TForm_sz::connectPage(EditModePage &page, QPushButton *add, QPushButton *modify, QPushButton *save,
                           QPushButton *cancel, QPushButton *remove, DataGrid *grid)
{
    connect(add, &QPushButton::clicked, this, FailureGuard::wrap([&page] { page.add(); }));
    connect(modify, &QPushButton::clicked, this, FailureGuard::wrap([&page] { page.modify(); }));
    connect(save, &QPushButton::clicked, this, FailureGuard::wrap([&page] { page.save(); }));
    connect(cancel, &QPushButton::clicked, this, FailureGuard::wrap([&page] { page.cancel(); }));
    connect(remove, &QPushButton::clicked, this, FailureGuard::wrap([&page] { page.remove(); }));
    grid->onCellClick([&page] { page.cellClick(); });
}

QFont TForm_sz::tabFont()
{
    return UiFont::make(11, true);
}

void TForm_sz::FormShow()
{
    // The tabs are measured in their bold font only now: measuring it while
    // the window is built, hidden, would load its faces before the main menu.
    PageControl1->setFont(tabFont());
    // The page current when the window was hidden shows with it, then the first page is brought forward.
    FailureGuard::run([this] { pageShown(PageControl1->currentWidget()); });
    PageControl1->setCurrentWidget(TabSheet1);
}

void TForm_sz::FormClose()
{
    Form1->Show();
}

void TForm_sz::pageShown(QWidget *page)
{
    if (page == TabSheet1)
        TabSheet1Show();
    else if (page == TabSheet2)
        TabSheet2Show();
    else if (page == TabSheet3)
        TabSheet3Show();
    else if (page == TabSheet4)
        TabSheet4Show();
    else if (page == TabSheet5)
        TabSheet5Show();
}

void TForm_sz::TabSheet1Show()
{
    departments_.show();
}

void TForm_sz::TabSheet2Show()
{
    sites_.show();
}

void TForm_sz::TabSheet3Show()
{
    titles_.show();
}

void TForm_sz::TabSheet4Show()
{
    // Save and Cancel stay as they are: once enabled here they stay enabled.
    SettingsEditMode = 0;
    Memo1->setEnabled(false);
    Memo1->setText(QString());
    ComboBox1->clear();
    ComboBox1->setEditText(QString());
    ADODataSet3.Open();
    ADODataSet3.First();
    const int count = ADODataSet3.recordCount();
    for (int i = 0; i < count; ++i) {
        ComboBox1->addItem(ADODataSet3.fieldByName(QStringLiteral("bt")).asString());
        // Filling the list leaves the typed title empty.
        ComboBox1->setCurrentIndex(-1);
        ADODataSet3.Next();
    }
    ADODataSet4.Open();
}

void TForm_sz::TabSheet5Show()
{
    ADODataSet5.Open();
}

void TForm_sz::Button25Click()
{
    if (!Dialogs::current().confirm(QStringLiteral("确定要删除该记录么？")))
        return;
    if (ADODataSet5.recordCount() == 0)
        Dialogs::current().message(QStringLiteral("没有记录了!"));
    else
        ADODataSet5.Delete();
}

void TForm_sz::exitClick()
{
    Close();
    Form1->Show();
}
