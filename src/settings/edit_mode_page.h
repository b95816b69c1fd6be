#pragma once

#include <QList>
#include <QString>

class DataSet;
class QComboBox;
class QPushButton;
class QWidget;

// The way a dictionary page of the settings window works: Add or Modify,
// type into the fields, Save; Delete removes the current row; a grid click
// copies the current row into the fields. The mode is the window's one
// SettingsEditMode, shared by all pages.
class EditModePage {
public:
    // An edit field (line edit or memo) mapped to a column.
    struct Field {
        QWidget *control;
        QString column;
        bool trimmed = true;  // leading and trailing blanks and control characters dropped on saving
    };

    explicit EditModePage(DataSet &dataSet) : dataSet_(dataSet) {}

    // The page's fields, field A first, and its Save and Cancel buttons.
    void setControls(QList<Field> fields, QPushButton *save, QPushButton *cancel);

    // A title typed or picked beside the fields: tested and written by an
    // add-save only, never emptied, copied or written by a modify.
    void setTitleField(QComboBox *title, const QString &column);
    // Modify enables the fields but leaves the focus where it is.
    void keepFocusOnModify() { focusOnModify_ = false; }

    // Opens the data set and leaves the page in mode 0 with nothing to type into.
    void show();
    void add();
    void modify();
    void save();
    void cancel();
    void remove();
    void cellClick();

private:
    void setEnabled(bool enabled);
    void emptyFields();
    void copyCurrentRow();
    void writeFields();
    // Runs an append or edit through to its post with the grids suspended.
    // A failure on the way drops the unposted row and lets the grids follow
    // again, so no half row is posted by a later action.
    void change(void (DataSet::*start)(), bool withTitle);

    DataSet &dataSet_;
    QList<Field> fields_;
    QPushButton *save_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QComboBox *title_ = nullptr;
    QString titleColumn_;
    bool focusOnModify_ = true;
};
