#pragma once

#include <QLoggingCategory>

// Messages of the window layer: failures of handlers and of the grids' reads.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
