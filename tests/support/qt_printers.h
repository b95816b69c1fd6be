#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable Qt strings in test failure messages, control characters spelled out.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"';
    for (const QChar c : text) {
        if (c.unicode() < 32)
            *out << "\\x" << std::hex << int(c.unicode()) << std::dec;
        else
            *out << QString(c).toStdString();
    }
    *out << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            *out << ", ";
        PrintTo(list[i], out);
    }
    *out << '}';
}
