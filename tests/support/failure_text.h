#pragma once

#include <QString>
#include <functional>

// The message of the Failure that `action` throws; empty when it throws none.
QString failureOf(const std::function<void()> &action);
