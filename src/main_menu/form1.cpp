#include "main_menu/form1.h"

#include "main_menu/operator_activity.h"
#include "main_menu/upgrade_window.h"
#include "platform/core/failure.h"
#include "store/site_settings.h"

#include "platform/widgets/controls.h"
#include "platform/widgets/dialogs.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"
#include "query/form_cx.h"
#include "registration/form_zj.h"
#include "settings/form_sz.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

TForm1 *Form1 = nullptr;

TForm1::TForm1(const QString &programDirectory)
    : Form({QStringLiteral("澄影放射科管理系统"), {341, 171}}), programDirectory_(programDirectory)
{
    setAutoFillBackground(true);
    QPalette olive = palette();
    olive.setColor(QPalette::Window, QColor(128, 128, 0));
    setPalette(olive);

    const QFont font = UiFont::make(16, true);
    Button1 = Controls::button(this, QStringLiteral("   增加病人   "), {32, 32, 105, 25}, font);
    Button2 = Controls::button(this, QStringLiteral("  查询病历  "), {184, 32, 105, 25}, font);
    Button3 = Controls::button(this, QStringLiteral("   退出程序   "), {184, 96, 105, 25}, font);
    Button4 = Controls::button(this, QStringLiteral("  系统设置  "), {32, 96, 105, 25}, font);
    Controls::tabOrder({Button1, Button2, Button3, Button4});

    // The whole-file check waits while the operator works.
    QCoreApplication::instance()->installEventFilter(new OperatorActivity(ADOConnection1, this));

    connect(Button1, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, FailureGuard::wrap([this] { Button4Click(); }));
}

void TForm1::FormCreate()
{
    const SiteSettings site = SiteSettings::load(programDirectory_);
    if (!site.problem().isEmpty())
        throw Failure(site.problem());
    if (site.usesServer())
        throw Failure(QStringLiteral("配置文件“%1”指定了数据库服务器，本版本的程序只能使用数据库文件。").arg(site.iniFile()));
    ADOConnection1.setConnectionString(Connection::connectionStringForFile(site.databaseFile()));
    // The whole file is checked after the main menu is up; damage found is reported then.
    ADOConnection1.onDamage([](const QString &message) { Dialogs::current().failure(message); });
    ADOConnection1.onUpgrade([](const QString &stage, int percent) { UpgradeWindow::report(stage, percent); });
    ADOConnection1.open();
}

void TForm1::Button1Click()
{
    Form_zj->Show();
    hide();
}

void TForm1::Button2Click()
{
    Form_cx->Show();
    hide();
}

void TForm1::Button3Click()
{
    Close();
}

void TForm1::Button4Click()
{
    Form_sz->Show();
    hide();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Closing the main menu ends the program at once; nothing is asked or saved.
    event->accept();
    QCoreApplication::exit(0);
}
