#pragma once

#include "platform/widgets/data_grid.h"
#include "platform/widgets/form.h"
#include "store/query.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The record query window: finds stored examinations by record number,
// department, date or all of them, and hands one to the report window for
// reprinting. Not kept on top, opened at its stored place. It writes nothing.
class TForm_cx : public Form {
    Q_OBJECT
public:
    // Its data sets read through `connection`, which outlives the window.
    explicit TForm_cx(Connection *connection);

    QGroupBox *GroupBox1;
    QCheckBox *CheckBox1;          // "记录号"
    QLineEdit *Edit1;              // record number
    QCheckBox *CheckBox2;          // "送检科室"
    QLineEdit *Edit2;              // department name
    QCheckBox *CheckBox3;          // "报告日期"
    QDateEdit *DateTimePicker1;    // the day searched for
    QCheckBox *CheckBox4;          // "查询全部"
    QPushButton *Button1;          // "查询"
    QPushButton *Button2;          // "退出"
    DataGrid *DBGrid1;             // the result

    Query ADOQuery1;  // the search result
    Query ADOQuery2;  // department list for the picker

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void Button1Click();
    void Button2Click();
    void Edit2DblClick();
    void Edit2KeyPress(QChar &key);
    void DBGrid1DblClick();

    void openDepartmentPicker();
};

extern TForm_cx *Form_cx;
