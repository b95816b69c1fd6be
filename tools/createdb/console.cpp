#include "createdb/console.h"

#include <cstdio>

void Console::out(const QString &line)
{
    write(line + '\n');
}

void Console::error(const QString &line)
{
    std::fputs((line + '\n').toUtf8().constData(), stderr);
}

void Console::write(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}
