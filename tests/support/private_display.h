#pragma once

#include <QProcess>
#include <QString>

// An X server of the caller's own, for showing windows the way an operator
// sees them when a benchmark or test runs without a display: the offscreen
// platform paints into memory and talks to no server, so it neither times a
// real start nor shows what the window manager is told. The server is a
// private Xvfb on a free display number, stopped with the object.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay &) = delete;
    PrivateDisplay &operator=(const PrivateDisplay &) = delete;

    // ":N" once the server accepts clients; empty when none could be started.
    QString name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};
