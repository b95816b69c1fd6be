#include "main_menu/form1.h"
#include "app/startup.h"
#include "platform/widgets/font_config_loader.h"

#include <QApplication>

int main(int argc, char **argv)
{
    const FontConfigLoader fonts;  // meanwhile the toolkit connects to the display
    QApplication app(argc, argv);
    Startup::createWindows(QCoreApplication::applicationDirPath());
    Form1->Show();
    const int result = QApplication::exec();
    Startup::destroyWindows();
    return result;
}
