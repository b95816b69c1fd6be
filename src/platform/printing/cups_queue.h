#pragma once

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <optional>

// What a CUPS queue says about itself through its IPP attributes: the
// scheduler derives them from the queue's PPD; a queue without PPD (a raw
// queue in front of a driverless printer) knows nothing of paper, so the
// printer behind it is asked instead.
class CupsQueue {
public:
    struct Paper {
        QByteArray name;    // PWG media name for the job; empty when the queue names none
        int code = 0;       // classic paper code; 0 when the size has none
        QSizeF size;        // millimetres, portrait
        QMarginsF margins;  // millimetres from each portrait edge to the imageable area
    };

    // Never throws: a queue that cannot be read reads as one without papers
    // or resolution, and its job then fails with the scheduler's own message.
    static CupsQueue read(const QString &name);

    // The paper of this classic code, if the queue offers it.
    const Paper *find(int code) const;

    QString makeAndModel;
    QString location;
    QList<Paper> papers;
    std::optional<Paper> defaultPaper;
    bool customSizes = false;  // takes papers of any size
    int dotsPerInch = 0;       // 0 when the queue names no resolution
    bool twoSided = false;     // offers two-sided printing
    QByteArray sidesDefault;   // IPP "sides" keyword, e.g. "two-sided-long-edge"
};
