#pragma once

#include <QLoggingCategory>

// Messages of printer output: print files, jobs handed to the print service.
Q_DECLARE_LOGGING_CATEGORY(lcPrint)
