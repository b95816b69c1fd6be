#pragma once

#include <QString>

// The tool's output: UTF-8 lines on standard output and standard error.
class Console {
public:
    static void out(const QString &line);
    static void error(const QString &line);
    // Text as it stands, without a line end added.
    static void write(const QString &text);
};
