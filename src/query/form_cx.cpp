#include "query/form_cx.h"

#include "app/form1.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"

#include <QLineEdit>
#include <QPushButton>

TForm_cx *Form_cx = nullptr;

TForm_cx::TForm_cx()
    : Form({QStringLiteral("澄影放射科管理系统之病历查询"), {751, 380}, false, Placement::Designed, {18, 107}}),
      ADOQuery2(&Form1->ADOConnection1, QStringLiteral("ADOQuery2"))
{
    Edit2 = Controls::edit(this, {104, 48, 89, 21});
    Button2 = Controls::button(this, QStringLiteral("退出"), {424, 104, 75, 25}, UiFont::make(16, true));
    connect(Button2, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button2Click(); }));
}

void TForm_cx::FormClose()
{
    Form1->Show();
}

void TForm_cx::Button2Click()
{
    Close();
}
