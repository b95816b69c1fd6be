#include "window_focus.h"

#include <QTest>
#include <QWidget>

bool WindowFocus::waitActive(QWidget *window)
{
    return QTest::qWaitForWindowActive(window, 1000);
}
