#pragma once

#include <QPoint>
#include <QString>
#include <gtest/gtest.h>

#include "qt_printers.h"
#include "scripted_dialogs.h"
#include "temp_database.h"

class DataGrid;
class QWidget;

// The whole window set on a fresh database (a file, or a server database when
// the run is on the server), on 5 March 2006, with the shared state as the
// program starts it. Only the main menu is shown, as after start-up.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void addDepartment(const QString &name, const QString &code = {});
    void addSite(const QString &name, const QString &code = {});
    void addRecord(qint64 number);
    void addPhrase(const QString &title, const QString &phrase);

    // The trail so far, one "action|record number|detail" per event, in order.
    QStringList trail();

    // Main menu "   增加病人   ".
    void openRegistration();

    // The operator's keyboard: keys go to whatever has the focus.
    static QWidget *focused();
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Latin keys are typed; other characters come committed by the input method.
    static void type(const QString &text);

    static void clickCell(DataGrid *grid, int row);
    static void click(QWidget *control);
    static void doubleClick(QWidget *control);

    TempDatabase db{engineOfThisRun()};
    ScriptedDialogs dialogs;
};
