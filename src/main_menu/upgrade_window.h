#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// A small window shown while a database file of an older version is upgraded
// at start-up (a million records take half a minute): what is being done and
// how far, so the wait does not look like a hang.
class UpgradeWindow : public QWidget {
public:
    // Shows the window at the first report and updates it; an empty stage closes it.
    static void report(const QString &stage, int percent);

private:
    UpgradeWindow();

    QLabel *stage_;
    QProgressBar *bar_;
};
