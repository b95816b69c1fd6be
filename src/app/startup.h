#pragma once

#include <QString>

// Creates every window once, in the order the program relies on, and
// destroys them at the end.
class Startup {
public:
    // The program's font first, then the main menu (its creation opens the
    // connection; a failure is reported and start-up goes on), then the other
    // windows, hidden.
    static void createWindows(const QString &programDirectory);
    static void destroyWindows();
};
