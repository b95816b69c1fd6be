#include "settings/edit_mode_page.h"

#include "shared_state/shared_state.h"
#include "platform/core/convert.h"
#include "platform/widgets/dialogs.h"
#include "platform/widgets/memo.h"
#include "store/data_set.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString textOf(QWidget *control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    return static_cast<Memo *>(control)->text();
}

void setTextOf(QWidget *control, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else
        static_cast<Memo *>(control)->setText(text);
}

const QString noRecords = QStringLiteral("没有记录了!");

} // namespace

void EditModePage::setControls(QList<Field> fields, QPushButton *save, QPushButton *cancel)
{
    fields_ = std::move(fields);
    save_ = save;
    cancel_ = cancel;
}

void EditModePage::setTitleField(QComboBox *title, const QString &column)
{
    title_ = title;
    titleColumn_ = column;
}

void EditModePage::setEnabled(bool enabled)
{
    for (const Field &field : std::as_const(fields_))
        field.control->setEnabled(enabled);
    save_->setEnabled(enabled);
    cancel_->setEnabled(enabled);
}

void EditModePage::emptyFields()
{
    for (const Field &field : std::as_const(fields_))
        setTextOf(field.control, QString());
}

void EditModePage::show()
{
    dataSet_.Open();
    SettingsEditMode = 0;
    setEnabled(false);
}

void EditModePage::add()
{
    SettingsEditMode = 1;
    emptyFields();
    setEnabled(true);
    fields_.front().control->setFocus();
}

void EditModePage::modify()
{
    SettingsEditMode = 2;
    setEnabled(true);
    if (focusOnModify_)
        fields_.front().control->setFocus();
}

void EditModePage::save()
{
    if (!Dialogs::current().confirm(QStringLiteral("真的要保存么？")))
        return;
    if (SettingsEditMode == 1) {
        for (const Field &field : std::as_const(fields_)) {
            if (textOf(field.control).isEmpty()) {
                Dialogs::current().error(QStringLiteral("资料不全!"));
                return;
            }
        }
        if (title_ && title_->currentText().isEmpty()) {
            Dialogs::current().error(QStringLiteral("资料不全!"));
            return;
        }
        change(&DataSet::Append, true);
        // Emptied once the row is written, so a failed save keeps what was typed.
        emptyFields();
        dataSet_.Refresh();
        fields_.front().control->setFocus();
    } else if (SettingsEditMode == 2) {
        // On an empty table the edit starts a new row: stored dictionaries were
        // begun this way, so it stays.
        change(dataSet_.recordCount() == 0 ? &DataSet::Append : &DataSet::Edit, false);
    }
}

void EditModePage::change(void (DataSet::*start)(), bool withTitle)
{
    dataSet_.DisableControls();
    try {
        (dataSet_.*start)();
        if (withTitle && title_)
            dataSet_.fieldByName(titleColumn_).setValue(Convert::trim(title_->currentText()));
        writeFields();
        dataSet_.Post();
    } catch (...) {
        dataSet_.Cancel();
        dataSet_.EnableControls();
        throw;
    }
    dataSet_.EnableControls();
}

void EditModePage::writeFields()
{
    for (const Field &field : std::as_const(fields_)) {
        const QString text = textOf(field.control);
        dataSet_.fieldByName(field.column).setValue(field.trimmed ? Convert::trim(text) : text);
    }
}

void EditModePage::cancel()
{
    emptyFields();
    setEnabled(false);
}

void EditModePage::remove()
{
    if (!Dialogs::current().confirm(QStringLiteral("确定要删除该记录么？")))
        return;
    const int count = dataSet_.recordCount();
    if (count == 0) {
        Dialogs::current().message(noRecords);
    } else if (count >= 2) {
        dataSet_.Delete();
        copyCurrentRow();
    } else {
        emptyFields();
        dataSet_.Delete();
    }
}

void EditModePage::cellClick()
{
    if (dataSet_.recordCount() == 0)
        Dialogs::current().message(noRecords);
    else
        copyCurrentRow();
}

void EditModePage::copyCurrentRow()
{
    // A null column stops the copy with its conversion failure; fields copied before it keep their new text.
    for (const Field &field : std::as_const(fields_))
        setTextOf(field.control, dataSet_.fieldByName(field.column).asString());
}
