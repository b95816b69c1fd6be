#include "failure_text.h"

#include "platform/failure.h"

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}
