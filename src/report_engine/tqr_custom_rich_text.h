#pragma once

#include "report_engine/tqr_printable.h"
#include "report_engine/tqr_rich_edit.h"

// Formatted text laid out by its hidden editing control. A text that does not
// fit its box grows the band in steps of 50 report units when AutoStretch is
// set, and continues on the next page from the first character not printed.
class TQRCustomRichText : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;

    TQRRichEdit &EditControl() { return editControl_; }
    const TQRRichEdit &EditControl() const { return editControl_; }
    // A control elsewhere whose content is printed instead of EditControl's.
    TQRRichEdit *ParentRichEdit() const { return parentRichEdit_; }
    void SetParentRichEdit(TQRRichEdit *edit);

    // These are EditControl's.
    void SetAlignment(TAlignment alignment) override;
    const QFont &Font() const { return editControl_.Font(); }
    void SetFont(const QFont &font) { editControl_.SetFont(font); }

    bool AutoStretch = false;
    // Where the next print starts, a character position.
    int ResumeAt() const { return resumeAt_; }

    void PrintAt(int offsetX, int offsetY) override;
    // The editing control follows with a one-pixel inset.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    QSize NewSize() const override { return {100, 100}; }

private:
    TQRRichEdit editControl_;
    TQRRichEdit *parentRichEdit_ = nullptr;
    int resumeAt_ = 0;
};
