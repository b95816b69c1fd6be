#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the program's own log messages ("ruvured.ui: ...") for its lifetime
// instead of printing them; the toolkit's messages pass on as before.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;

private:
    QtMessageHandler previous_;
};
