#include "platform/core/failure.h"

Failure::Failure(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
