#include "registration/form5.h"

#include "shared_state/shared_state.h"
#include "query/form_cx.h"
#include "registration/form_zj.h"

#include <QLineEdit>

TForm5 *Form5 = nullptr;

TForm5::TForm5() : PickerForm({QStringLiteral("科室列表"), {217, 375}}, {209, 345}) {}

void TForm5::DBGrid1CellClick()
{
    // The name comes from the caller's own data set, whatever the grid shows.
    if (PickerCaller == 1) {
        Form_zj->Edit6->setText(Form_zj->ADOQuery1.fieldByName(QStringLiteral("科室名称")).asString());
        Form_zj->Show();
        Form_zj->Edit3->setFocus();
        Close();
    }
    if (PickerCaller == 2) {
        Form_cx->Edit2->setText(Form_cx->ADOQuery2.fieldByName(QStringLiteral("科室名称")).asString());
        Form_cx->Show();
        Close();
    }
}
