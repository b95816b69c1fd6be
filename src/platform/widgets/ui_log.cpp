#include "platform/widgets/ui_log.h"

// Debug messages only on request (QT_LOGGING_RULES="ruvured.ui.debug=true").
Q_LOGGING_CATEGORY(lcUi, "ruvured.ui", QtInfoMsg)
