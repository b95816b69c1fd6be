#pragma once

#include "registration/picker_form.h"

// The department picker: lists the departments that its caller loaded.
class TForm5 : public PickerForm {
    Q_OBJECT
public:
    TForm5();

protected:
    void DBGrid1CellClick() override;
};

extern TForm5 *Form5;
