#include "scripted_dialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::install(nullptr);
}

bool ScriptedDialogs::confirm(const QString &text)
{
    confirmations << text;
    if (confirmAnswers.isEmpty()) {
        ADD_FAILURE() << "unexpected confirmation: " << text.toStdString();
        return false;
    }
    return confirmAnswers.takeFirst();
}

void ScriptedDialogs::error(const QString &text)
{
    errors << text;
}

void ScriptedDialogs::message(const QString &text)
{
    messages << text;
}

void ScriptedDialogs::failure(const QString &text)
{
    failures << text;
}
