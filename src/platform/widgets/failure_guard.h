#pragma once

#include <QString>
#include <functional>
#include <source_location>

// Runs event handlers the way the operator expects: a failure ends the handler
// where it happens, its message is shown in the top-level error box, and
// whatever the handler had already done stays done. Each failure is also
// logged (ruvured.ui) with what was being done.
class FailureGuard {
public:
    // Runs `handler`; returns false when it failed (the failure has been shown).
    // `what` names the handler for the log ("TForm_zj::FormShow").
    static bool run(const std::function<void()> &handler, const QString &what);
    // As above, the handler named by the place in the source where it was set
    // up ("form_zj.cpp:95"), whose line names it.
    static bool run(const std::function<void()> &handler,
                    const std::source_location &setUpAt = std::source_location::current());

    // `handler` wrapped in run(), for connecting to signals.
    static std::function<void()> wrap(std::function<void()> handler,
                                      const std::source_location &setUpAt = std::source_location::current());
};
