#include "report_engine/engine_log.h"

// Debug messages only on request (QT_LOGGING_RULES="ruvured.engine.debug=true").
Q_LOGGING_CATEGORY(lcEngine, "ruvured.engine", QtInfoMsg)
