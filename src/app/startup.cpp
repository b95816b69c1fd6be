#include "app/startup.h"

#include "main_menu/form1.h"
#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"
#include "query/form_cx.h"
#include "registration/form5.h"
#include "registration/form6.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "reporting/qrreport7.h"
#include "settings/form_sz.h"

#include <QApplication>

void Startup::createWindows(const QString &programDirectory)
{
    // Message boxes, the print progress window and every other text without a
    // window font of its own take the windows' face. The toolkit's default
    // would draw their Chinese with whatever face the locale prefers, Japanese
    // glyph shapes outside a Chinese locale.
    QApplication::setFont(UiFont::make(11));
    Form1 = new TForm1(programDirectory);
    FailureGuard::run([] { Form1->FormCreate(); }, QStringLiteral("TForm1::FormCreate"));
    // Every window with data sets reads through the main menu's one connection.
    Connection *connection = &Form1->ADOConnection1;
    Form_dy = new TForm_dy(connection);
    Form_zj = new TForm_zj(connection);
    Form_sz = new TForm_sz(connection);
    Form5 = new TForm5;
    Form6 = new TForm6;
    QRReport7 = new TQRReport7;
    Form_cx = new TForm_cx(connection);
}

void Startup::destroyWindows()
{
    // Data sets go before the connection they read through.
    delete Form_cx;
    delete QRReport7;
    delete Form6;
    delete Form5;
    delete Form_sz;
    delete Form_zj;
    delete Form_dy;
    delete Form1;
    Form_cx = nullptr;
    QRReport7 = nullptr;
    Form6 = nullptr;
    Form5 = nullptr;
    Form_sz = nullptr;
    Form_zj = nullptr;
    Form_dy = nullptr;
    Form1 = nullptr;
}
