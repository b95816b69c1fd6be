#include "sample_findings.h"

QString SampleFindings::text(int lines)
{
    const QString phrases[] = {
        QStringLiteral("两肺纹理清晰，走行自然，肺野内未见明确实质性病变。"),
        QStringLiteral("双肺门影不大，纵隔居中，心影大小、形态未见异常。"),
        QStringLiteral("两膈面光整，肋膈角锐利。"),
        QStringLiteral("腰椎生理曲度变直，诸椎体边缘骨质增生，呈唇样改变。"),
    };
    QString text;
    for (int i = 0; i < lines; ++i)
        text += phrases[i % 4] + QChar(13);
    return text;
}

int SampleFindings::linesFor(int pages)
{
    return pages == 1 ? 8 : 10 + 12 * (pages - 1);
}
