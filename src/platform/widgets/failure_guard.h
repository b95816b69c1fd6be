#pragma once

#include <functional>

// Runs event handlers the way the operator expects: a failure ends the handler
// where it happens, its message is shown in the top-level error box, and
// whatever the handler had already done stays done.
class FailureGuard {
public:
    // Runs `handler`; returns false when it failed (the failure has been shown).
    static bool run(const std::function<void()> &handler);

    // `handler` wrapped in run(), for connecting to signals.
    static std::function<void()> wrap(std::function<void()> handler);
};
