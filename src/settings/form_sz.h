#pragma once

#include "platform/widgets/data_grid.h"
#include "platform/widgets/form.h"
#include "platform/widgets/grid_columns.h"
#include "platform/widgets/memo.h"
#include "settings/edit_mode_page.h"
#include "store/table_data_set.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

// The settings window: the department, exam-site, title and phrase
// dictionaries on four pages, and the examination records on the fifth.
class TForm_sz : public Form {
    Q_OBJECT
public:
    // Its data sets read and write through `connection`, which outlives the window.
    explicit TForm_sz(Connection *connection);
    ~TForm_sz() override;

    QTabWidget *PageControl1;

    QWidget *TabSheet1;  // "科室设置"
    DataGrid *DBGrid1;
    QGroupBox *GroupBox1;
    QLineEdit *Edit1;  // ksmc
    QLineEdit *Edit2;  // kspym
    QPushButton *Button1;  // "保存"
    QPushButton *Button2;  // "放弃"
    QPushButton *Button3;  // "添加"
    QPushButton *Button4;  // "修改"
    QPushButton *Button5;  // "删除"
    QPushButton *Button6;  // "退出"
    QLabel *Image1;

    QWidget *TabSheet2;  // "检查部位设置"
    DataGrid *DBGrid2;
    QGroupBox *GroupBox2;
    QLineEdit *Edit3;  // bwmc
    QLineEdit *Edit4;  // bwpym
    QPushButton *Button7;   // "保存"
    QPushButton *Button8;   // "放弃"
    QPushButton *Button10;  // "添加"
    QPushButton *Button9;   // "修改"
    QPushButton *Button11;  // "删除"
    QPushButton *Button12;  // "退出"

    QWidget *TabSheet3;  // "标题设置"
    DataGrid *DBGrid3;
    QGroupBox *GroupBox3;
    QLineEdit *Edit6;  // bt
    QPushButton *Button17;  // "保存"
    QPushButton *Button18;  // "放弃"
    QPushButton *Button13;  // "添加"
    QPushButton *Button14;  // "修改"
    QPushButton *Button16;  // "删除"
    QPushButton *Button15;  // "退出"
    QLabel *Image2;

    QWidget *TabSheet4;  // "内容设置"
    Memo *Memo1;           // nr
    QComboBox *ComboBox1;  // the phrase's title
    DataGrid *DBGrid4;
    QPushButton *Button19;  // "保存"
    QPushButton *Button20;  // "放弃"
    QPushButton *Button21;  // "添加"
    QPushButton *Button22;  // "修改"
    QPushButton *Button23;  // "删除"
    QPushButton *Button24;  // "退出"

    QWidget *TabSheet5;  // "病历管理"
    DataGrid *DBGrid5;
    QPushButton *Button25;  // "删除记录"
    QPushButton *Button27;  // "退出"

    TableDataSet ADODataSet1;  // ks
    TableDataSet ADODataSet2;  // bwmc
    TableDataSet ADODataSet3;  // bt, shared by the title and phrase pages
    TableDataSet ADODataSet4;  // nr
    TableDataSet ADODataSet5;  // hzzl
    GridColumns DataSource1;
    GridColumns DataSource2;
    GridColumns DataSource3;
    GridColumns DataSource4;
    GridColumns DataSource5;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // The page control's bold face, taken by the tabs and the title page.
    static QFont tabFont();
    struct NamePage;
    void buildNamePage(const NamePage &page);
    void buildNamePages();
    void buildTitlePage();
    void buildPhrasePage();
    void buildRecordPage();
    void connectPage(EditModePage &page, QPushButton *add, QPushButton *modify, QPushButton *save,
                     QPushButton *cancel, QPushButton *remove, DataGrid *grid);
    // The show handler of the page that has just become visible.
    void pageShown(QWidget *page);

    void TabSheet1Show();
    void TabSheet2Show();
    void TabSheet3Show();
    void TabSheet4Show();
    void TabSheet5Show();
    void Button25Click();
    void exitClick();

    EditModePage departments_;
    EditModePage sites_;
    EditModePage titles_;
    EditModePage phrases_;
};

extern TForm_sz *Form_sz;
