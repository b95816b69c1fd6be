#pragma once

#include "platform/widgets/form.h"
#include "store/query.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Registration of a new examination: clears itself and allocates the record
// number at every showing, and hands the registration over to the report
// window with "增加". It writes nothing to the database itself.
class TForm_zj : public Form {
    Q_OBJECT
public:
    // Its data sets read through `connection`, which outlives the window.
    explicit TForm_zj(Connection *connection);

    QLineEdit *Edit1;      // name
    QComboBox *ComboBox1;  // sex
    QLineEdit *Edit2;      // age
    QLineEdit *Edit6;      // referring department
    QLabel *Label4;        // record number
    QLineEdit *Edit3;      // bed number
    QLineEdit *Edit4;      // examination site
    QLineEdit *Edit5;      // clinical diagnosis
    QPushButton *Button1;  // "增加"
    QPushButton *Button2;  // "退出"

    Query ADOQuery1;  // department list for the picker
    Query ADOQuery2;  // site list for the picker
    Query ADOQuery3;  // highest record number
    Query ADOQuery4;  // whole hzzl, for its row count

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void Edit1KeyPress(QChar &key);
    void ComboBox1KeyPress(QChar &key);
    void Edit2KeyPress(QChar &key);
    void Edit6KeyPress(QChar &key);
    void Edit3KeyPress(QChar &key);
    void Edit4KeyPress(QChar &key);
    void Edit5KeyPress(QChar &key);
    void Edit6DblClick();
    void Edit4DblClick();
    void Button1Click();
    void Button2Click();

    void openDepartmentPicker();
    void openSitePicker();
};

extern TForm_zj *Form_zj;
