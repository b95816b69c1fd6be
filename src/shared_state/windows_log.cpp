#include "shared_state/windows_log.h"

// Debug messages only on request (QT_LOGGING_RULES="ruvured.windows.debug=true").
Q_LOGGING_CATEGORY(lcWindows, "ruvured.windows", QtInfoMsg)
