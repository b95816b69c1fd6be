#include "platform/widgets/failure_guard.h"

#include "platform/widgets/dialogs.h"
#include "platform/core/failure.h"

#include <QString>

bool FailureGuard::run(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const Failure &failure) {
        Dialogs::current().failure(failure.message());
    } catch (const std::exception &error) {
        Dialogs::current().failure(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

std::function<void()> FailureGuard::wrap(std::function<void()> handler)
{
    return [handler = std::move(handler)] { run(handler); };
}
