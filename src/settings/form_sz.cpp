#include "settings/form_sz.h"

#include "app/form1.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

TForm_sz *Form_sz = nullptr;

TForm_sz::TForm_sz() : Form({QStringLiteral("澄影放射科管理系统之系统设置"), {558, 384}})
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, 0, 550, 357);
    PageControl1->tabBar()->setFont(UiFont::make(11, true));
    auto page = [this](const QString &caption) {
        auto *sheet = new QWidget;
        PageControl1->addTab(sheet, caption);
        return sheet;
    };
    TabSheet1 = page(QStringLiteral("科室设置"));
    TabSheet2 = page(QStringLiteral("检查部位设置"));
    TabSheet3 = page(QStringLiteral("标题设置"));
    TabSheet4 = page(QStringLiteral("内容设置"));
    TabSheet5 = page(QStringLiteral("病历管理"));
    PageControl1->setCurrentWidget(TabSheet5);

    const QFont plain = font();
    Button6 = Controls::button(TabSheet1, QStringLiteral("退出"), {312, 296, 75, 25}, plain);
    Button12 = Controls::button(TabSheet2, QStringLiteral("退出"), {424, 296, 75, 25}, plain);
    Button15 = Controls::button(TabSheet3, QStringLiteral("退出"), {472, 80, 59, 25}, plain);
    Button24 = Controls::button(TabSheet4, QStringLiteral("退出"), {464, 296, 75, 25}, plain);
    Button27 = Controls::button(TabSheet5, QStringLiteral("退出"), {384, 256, 75, 25}, UiFont::make(13));
    for (QPushButton *exit : {Button6, Button12, Button15, Button24, Button27})
        connect(exit, &QPushButton::clicked, this, FailureGuard::wrap([this] { exitClick(); }));
}

void TForm_sz::FormShow()
{
    PageControl1->setCurrentWidget(TabSheet1);
}

void TForm_sz::FormClose()
{
    Form1->Show();
}

void TForm_sz::exitClick()
{
    Close();
    Form1->Show();
}
