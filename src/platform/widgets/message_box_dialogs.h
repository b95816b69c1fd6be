#pragma once

#include "platform/widgets/dialogs.h"

// The real dialogs: modal message boxes with the toolkit's English captions.
class MessageBoxDialogs : public Dialogs {
public:
    bool confirm(const QString &text) override;
    void error(const QString &text) override;
    void message(const QString &text) override;
    void failure(const QString &text) override;
};
