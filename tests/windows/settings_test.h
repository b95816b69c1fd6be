#pragma once

#include "shared_state/shared_state.h"
#include "window_test.h"

#include <QStringList>

class DataGrid;
class QWidget;

// The settings window opened from the main menu, with helpers to read what
// the tables and the grids hold.
class SettingsTest : public WindowTest {
protected:
    void addTitle(const QString &title);

    // Main menu "  系统设置  ", until the settings window is active.
    void openSettings();
    // Picks the tab of `page`.
    static void showPage(QWidget *page);

    // Text committed by the input method into the focused control, as Chinese arrives.
    static void commit(const QString &text);

    // Every row of `sql`, its columns joined by '|', null as "<null>".
    QStringList rows(const QString &sql);
    // Every row of `grid` as shown, cells joined by '|'.
    static QStringList shown(DataGrid *grid);

    // Makes the program's connection refuse writes, as a database turned read-only does.
    static void setReadOnly(bool readOnly);
};
