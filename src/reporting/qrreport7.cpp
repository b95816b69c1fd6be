#include "reporting/qrreport7.h"

TQRReport7 *QRReport7 = nullptr;

TQRReport7::TQRReport7() = default;
