#pragma once

class QWidget;

// Window activation on the offscreen platform arrives through the event
// queue, so the focus is only where a window put it once its activation has
// been processed.
class WindowFocus {
public:
    // Processes events until `window` is the active window (up to a second).
    static bool waitActive(QWidget *window);
};
