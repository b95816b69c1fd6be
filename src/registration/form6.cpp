#include "registration/form6.h"

#include "registration/form_zj.h"

#include <QLineEdit>

TForm6 *Form6 = nullptr;

TForm6::TForm6() : PickerForm({QStringLiteral("诊断部位"), {322, 375}}, {313, 345})
{
    DBGrid1->setDataSource(&Form_zj->ADOQuery2);
}

void TForm6::DBGrid1CellClick()
{
    Form_zj->Edit4->setText(Form_zj->ADOQuery2.fieldByName(QStringLiteral("部位名称")).asString());
    Form_zj->Show();
    Form_zj->Edit5->setFocus();
    Close();
}
