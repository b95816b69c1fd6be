#include "store/store_log.h"

// Debug messages only on request (QT_LOGGING_RULES="ruvured.store.debug=true").
Q_LOGGING_CATEGORY(lcStore, "ruvured.store", QtInfoMsg)
