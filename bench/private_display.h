#pragma once

#include <QProcess>
#include <QString>

// An X server of the benchmark's own, for timing windows the way an operator
// sees them when the benchmark runs without a display: the offscreen platform
// paints into memory and talks to no server, so it times a start nobody waits
// for. The server is a private Xvfb on a free display number, stopped with
// the object.
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
