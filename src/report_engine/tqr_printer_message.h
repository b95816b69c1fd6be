#pragma once

#include <QEvent>

// A message the printer object posts to its progress client.
class TQRPrinterMessage : public QEvent {
public:
    static constexpr QEvent::Type Progress = QEvent::Type(1024);       // parameter: the percentage
    static constexpr QEvent::Type PagesFinished = QEvent::Type(1025);  // parameter: pages finished

    TQRPrinterMessage(QEvent::Type type, int parameter) : QEvent(type), parameter_(parameter) {}
    int Parameter() const { return parameter_; }

private:
    int parameter_;
};
