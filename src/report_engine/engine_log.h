#pragma once

#include <QLoggingCategory>

// Messages of the report engine's print runs.
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
