#pragma once

#include <QString>

// The program's message boxes. Windows never call QMessageBox directly, so
// tests can answer every box by script instead of hanging on a modal loop.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // "Confirm", question icon, "&Yes"/"&No"; Yes is the default, Escape is No.
    virtual bool confirm(const QString &text) = 0;
    // "Error", error icon, a single "Cancel".
    virtual void error(const QString &text) = 0;
    // Plain box with "OK".
    virtual void message(const QString &text) = 0;
    // The top-level failure box: stop icon, single OK, the program's name as caption.
    virtual void failure(const QString &text) = 0;

    // The dialogs in use; message boxes unless a test installed its own.
    static Dialogs &current();
    // Installs `dialogs` (not owned); nullptr returns to the message boxes.
    static void install(Dialogs *dialogs);
};
