#include <QApplication>
#include <gtest/gtest.h>

// Tests drive real widgets, so they need an application object; they never
// need a display.
namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform cannot raise windows and says so at every showing.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    if (standardHandler)
        standardHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    standardHandler = qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
