#include "registration/picker_form.h"

#include "platform/widgets/event_hooks.h"
#include "platform/widgets/ui_font.h"

#include <QHeaderView>

PickerForm::PickerForm(const Definition &definition, const QSize &gridSize) : Form(definition)
{
    DBGrid1 = new DataGrid(this);
    DBGrid1->setGeometry(QRect(QPoint(0, 0), gridSize));
    DBGrid1->horizontalHeader()->setFont(UiFont::make(11));
    DBGrid1->onCellClick([this] { DBGrid1CellClick(); });
    EventHooks::onKeyPress(DBGrid1, [this](QChar &key) { DBGrid1KeyPress(key); });
}

void PickerForm::DBGrid1KeyPress(QChar &key)
{
    DBGrid1CellClick();
    // Chosen: the key must not go on to search or move the list.
    key = QChar();
}
