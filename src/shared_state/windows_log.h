#pragma once

#include <QLoggingCategory>

// Messages of the windows. Declared beside their shared state, the one module every window includes.
Q_DECLARE_LOGGING_CATEGORY(lcWindows)
