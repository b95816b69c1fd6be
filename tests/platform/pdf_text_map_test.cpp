#include "platform/printing/pdf_text_map.h"
#include "platform/printing/print_font.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString words = QStringLiteral("病人姓名 检查所见 骨质 长期 门诊 X线");

QString textOf(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput()).simplified();
}

// Ideographs that share their glyph with a radical read back from the printed
// PDF as themselves, and the repaired file is still a whole PDF.
TEST(PdfTextMap, PrintedIdeographsReadBackAsThemselves)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        painter.setFont(PrintFont::withChineseFace(QFont(QStringLiteral("Arial"), 14)));
        painter.drawText(QPointF(200, 400), words);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    // Without the repair the writer's own map reads 人 as ⼈ and 见 as ⻅.
    ASSERT_NE(textOf(path), words);

    const QString repaired = folder.filePath(QStringLiteral("repaired.pdf"));
    QFile out(repaired);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(PdfTextMap::preferIdeographs(written));
    out.close();
    EXPECT_EQ(textOf(repaired), words);
}

TEST(PdfTextMap, WhatItCannotReadStaysAsItIs)
{
    for (const QByteArray &input : {QByteArray(), QByteArray("not a pdf"),
                                    QByteArray("%PDF-1.4\n1 0 obj\n<< /ToUnicode 2 0 R >>\nendobj\n")})
        EXPECT_EQ(PdfTextMap::preferIdeographs(input), input);
    EXPECT_EQ(PdfTextMap::ideographOf(0x2F08), 0x4EBA);  // ⼈ -> 人
    EXPECT_EQ(PdfTextMap::ideographOf(0x2EC5), 0x89C1);  // ⻅ -> 见
    EXPECT_EQ(PdfTextMap::ideographOf(u'见'), u'见');
}

} // namespace
