#include "log_capture.h"

#include <QMutex>

namespace {

QMutex mutex;
QStringList captured;
QtMessageHandler passOn = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString category = QString::fromLatin1(context.category);
    if (!category.startsWith(QLatin1String("ruvured."))) {
        passOn(type, context, message);
        return;
    }
    const QMutexLocker lock(&mutex);
    captured << category + QStringLiteral(": ") + message;
}

}  // namespace

LogCapture::LogCapture()
{
    const QMutexLocker lock(&mutex);
    captured.clear();
    previous_ = qInstallMessageHandler(capture);
    passOn = previous_;
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous_);
}

QStringList LogCapture::lines() const
{
    const QMutexLocker lock(&mutex);
    return captured;
}
