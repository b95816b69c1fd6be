#pragma once

#include "platform/widgets/data_grid.h"
#include "platform/widgets/form.h"
#include "platform/widgets/memo.h"
#include "store/examination_record.h"
#include "store/query.h"
#include "store/table_data_set.h"

class QLabel;
class QPushButton;

// The report window: one examination in read-only labels, the findings and
// opinion composed from the phrase library, "打印" and "退出".
class TForm_dy : public Form {
    Q_OBJECT
public:
    // Its data sets read and write through `connection`, which outlives the window.
    explicit TForm_dy(Connection *connection);

    QLabel *Label14;  // record number
    QLabel *Label6;   // name
    QLabel *Label7;   // sex
    QLabel *Label10;  // age
    QLabel *Label12;  // referring department
    QLabel *Label23;  // bed number
    QLabel *Label16;  // examination site
    QLabel *Label19;  // clinical diagnosis
    QLabel *Label17;  // examination date
    Memo *Memo1;      // phrase preview
    Memo *Memo2;      // findings
    Memo *Memo3;      // diagnostic opinion
    DataGrid *DBGrid2;  // phrase titles
    DataGrid *DBGrid1;  // phrases of the clicked title
    QPushButton *Button5;  // "打印"
    QPushButton *Button6;  // "退出"

    Query ADOQuery1;           // phrase titles
    Query ADOQuery2;           // phrases of one title
    TableDataSet ADODataSet1;  // hzzl, for appending a new record

protected:
    void FormShow() override;
    // Closed by the window manager: leave as "退出" does, back to the main menu.
    void closeRequested() override { Button6Click(); }

private:
    void DBGrid2CellClick();
    void DBGrid1CellClick();
    void Memo2Click();
    void Memo3Click();
    void Memo1DblClick();
    void Button5Click();
    void Button6Click();

    // The labels and memos as one examination, for the save.
    ExaminationRecord examination() const;
    // Fills QRReport7 from the window, prints it and opens registration.
    void printReport();
};

extern TForm_dy *Form_dy;
