#pragma once

#include <QString>

// Findings of stock phrases, one line each in the report's 161 mm box.
class SampleFindings {
public:
    static QString text(int lines);
    // Lines that fill `pages` pages: 10 in the box on page 1, 12 on each later
    // page, where the band grows by two steps.
    static int linesFor(int pages);
};
