#pragma once

#include "platform/core/failure.h"

// A failure of the report engine, shown to the operator as its text stands.
class EQRError : public Failure {
public:
    using Failure::Failure;
};
