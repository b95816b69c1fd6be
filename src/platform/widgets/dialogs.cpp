#include "platform/widgets/dialogs.h"

#include "platform/widgets/message_box_dialogs.h"

namespace {
Dialogs *installed = nullptr;
}

Dialogs &Dialogs::current()
{
    static MessageBoxDialogs boxes;
    return installed ? *installed : boxes;
}

void Dialogs::install(Dialogs *dialogs)
{
    installed = dialogs;
}
