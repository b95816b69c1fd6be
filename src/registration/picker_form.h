#pragma once

#include "platform/widgets/data_grid.h"
#include "platform/widgets/form.h"

// A small list window with one grid: a click on a row or any character key
// takes the current row's name into the caller's field and closes the picker.
// There is no cancel: it stays on top until a choice is made.
class PickerForm : public Form {
    Q_OBJECT
public:
    PickerForm(const Definition &definition, const QSize &gridSize);

    DataGrid *DBGrid1;

protected:
    // The choice.
    virtual void DBGrid1CellClick() = 0;

private:
    // Any key with a character chooses; the character itself is not looked at.
    void DBGrid1KeyPress(QChar &key);
};
