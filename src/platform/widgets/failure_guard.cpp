#include "platform/widgets/failure_guard.h"

#include "platform/widgets/dialogs.h"
#include "platform/widgets/ui_log.h"
#include "platform/core/failure.h"

#include <QFileInfo>

bool FailureGuard::run(const std::function<void()> &handler, const QString &what)
{
    QString message;
    try {
        handler();
        return true;
    } catch (const Failure &failure) {
        message = failure.message();
    } catch (const std::exception &error) {
        message = QString::fromLocal8Bit(error.what());
    }
    qCWarning(lcUi).noquote() << what << "failed:" << message;
    Dialogs::current().failure(message);
    return false;
}

bool FailureGuard::run(const std::function<void()> &handler, const std::source_location &setUpAt)
{
    return run(handler, QStringLiteral("handler of %1:%2")
                            .arg(QFileInfo(QString::fromUtf8(setUpAt.file_name())).fileName())
                            .arg(setUpAt.line()));
}

std::function<void()> FailureGuard::wrap(std::function<void()> handler, const std::source_location &setUpAt)
{
    return [handler = std::move(handler), setUpAt] { run(handler, setUpAt); };
}
