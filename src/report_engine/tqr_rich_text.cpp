#include "report_engine/tqr_rich_text.h"

void TQRRichText::SetLines(const QStringList &lines)
{
    EditControl().SetLines(lines);
    if (ParentRichEdit())
        ParentRichEdit()->SetLines(lines);
}

void TQRRichText::AddLine(const QString &line)
{
    QStringList lines = Lines();
    lines.append(line);
    SetLines(lines);
}

void TQRRichText::ClearLines()
{
    SetLines({});
}
