#include "app/form1.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Startup::createWindows(QCoreApplication::applicationDirPath());
    Form1->Show();
    const int result = QApplication::exec();
    Startup::destroyWindows();
    return result;
}
