#pragma once

#include "report_engine/tqr_custom_rich_text.h"

// A rich text with a published line list.
class TQRRichText : public TQRCustomRichText {
public:
    using TQRCustomRichText::TQRCustomRichText;

    const QStringList &Lines() const { return EditControl().Lines(); }
    // Copied into EditControl and, when one is set, into ParentRichEdit too.
    void SetLines(const QStringList &lines);
    void AddLine(const QString &line);
    void ClearLines();
};
