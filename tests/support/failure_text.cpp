#include "failure_text.h"

#include "platform/core/failure.h"

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}
