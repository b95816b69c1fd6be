#pragma once

#include <QString>

// Creates every window once, in the order the program relies on, and
// destroys them at the end.
class Startup {
public:
    // The main menu first (its creation opens the connection; a failure is
    // reported and start-up goes on), then the other windows, hidden.
    static void createWindows(const QString &programDirectory);
    static void destroyWindows();
};
