#pragma once

#include <QLoggingCategory>

// The store's lines in the log: which file was opened, or why not. Never
// patient data. Info lines show with QT_LOGGING_RULES="ruvured.store.info=true".
Q_DECLARE_LOGGING_CATEGORY(lcStore)
