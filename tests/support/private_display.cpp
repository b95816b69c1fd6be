#include "private_display.h"

PrivateDisplay::PrivateDisplay()
{
    // -displayfd picks a free number and writes it once the server is ready.
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                          QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server_.waitForStarted(10000))
        return;
    QByteArray output;
    while (!output.contains('\n') && server_.state() == QProcess::Running && server_.waitForReadyRead(10000))
        output += server_.readAllStandardOutput();
    const QByteArray number = output.trimmed();
    if (!number.isEmpty())
        name_ = QLatin1Char(':') + QString::fromLatin1(number);
}

PrivateDisplay::~PrivateDisplay()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(5000))
        server_.kill();
    server_.waitForFinished(5000);
}
