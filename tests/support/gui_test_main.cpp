#include <QApplication>
#include <gtest/gtest.h>

// Tests drive real widgets, so they need an application object; they never
// need a display.
namespace {

// The offscreen platform cannot raise windows and says so at every showing.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    static const QtMessageHandler standard = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(quietMessages);
    standard(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
