#pragma once

#include <QLoggingCategory>

// Messages of the database layer.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
