#pragma once

#include <QList>
#include <QStringList>

#include "platform/widgets/dialogs.h"

// Answers the program's dialogs from a script and records what they said.
// Installed for its lifetime; an unscripted confirmation fails the test.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    QList<bool> confirmAnswers;  // consumed in order
    QStringList confirmations;
    QStringList errors;
    QStringList messages;
    QStringList failures;

    bool confirm(const QString &text) override;
    void error(const QString &text) override;
    void message(const QString &text) override;
    void failure(const QString &text) override;
};
