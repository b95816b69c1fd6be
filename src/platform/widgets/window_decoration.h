#pragma once

class QWidget;

// What a top-level window asks the X11 window manager for: a title and a
// sizeable border, no system menu, no minimise or maximise box, and only the
// move and resize functions. Qt tells a window without title-bar buttons the
// functions alone, and window managers that read only the decoration part then
// draw every button.
class WindowDecoration {
public:
    // Writes the hints onto the window's native window; does nothing off X11
    // or before the native window exists.
    static void titleAndBorderOnly(QWidget *window);
};
