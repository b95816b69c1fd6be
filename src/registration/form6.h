#pragma once

#include "registration/picker_form.h"

// The examination-site picker, bound for good to the registration window's site list.
class TForm6 : public PickerForm {
    Q_OBJECT
public:
    TForm6();

protected:
    void DBGrid1CellClick() override;
};

extern TForm6 *Form6;
