#include "platform/printing/print_log.h"

// Debug messages only on request (QT_LOGGING_RULES="ruvured.print.debug=true").
Q_LOGGING_CATEGORY(lcPrint, "ruvured.print", QtInfoMsg)
