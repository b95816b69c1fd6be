#include "platform/printing/print_font.h"
#include "doubles/recording_printer.h"
#include "report_engine/tqr_printer.h"
#include "sample_report.h"

#include <gtest/gtest.h>

namespace {

class ElementTest : public ::testing::Test {
protected:
    ElementTest()
    {
        RecordingPrinter::install(recording);
        band = TQRControl::Create<TQRBand>(&report, rbDetail, 96);
    }
    ~ElementTest() override { RecordingPrinter::install(std::make_shared<PrinterRecording>()); }

    // Pixel width of `text` as the label measures it.
    int WidthOf(const TQRLabel &label, const QString &text) const
    {
        return report.MeasureTextWidth(PrintFont::withChineseFace(label.Font()), text);
    }

    // Every text drawn on the recorded pages, in drawing order, without blanks.
    QString PrintedText() const
    {
        QString text;
        for (const auto &page : recording->pages) {
            for (const RecordedDrawing &drawing : page) {
                if (drawing.kind == RecordedDrawing::Text)
                    text += drawing.text;
            }
        }
        text.remove(QLatin1Char(' '));
        return text;
    }

    std::shared_ptr<PrinterRecording> recording = std::make_shared<PrinterRecording>();
    TQRReport report{96};
    TQRBand *band;
};

TEST_F(ElementTest, LabelLayout)
{
    struct Case {
        const char *name;
        QString caption;
        QString widthOf;  // the label is as wide as this text, plus `extra` pixels
        int extra;
        bool autoSize;
        bool wordWrap;
        QStringList lines;
    };
    const Case cases[] = {
        {"breaks after spaces", "one two three", "one two ", 0, false, true, {"one two ", "three"}},
        {"breaks after hyphens", "twenty-one items", "twenty-", 0, false, true, {"twenty-", "one ", "items"}},
        {"a paragraph per CR", "first\r\nsecond\rthird", "first second third", 0, false, true,
         {"first", "second", "third"}},
        {"a lone LF joins", "join\ned", "joined joined", 0, false, true, {"joined"}},
        {"a trailing CR gives an empty line", "last\r", "last last", 0, false, true, {"last", ""}},
        // One word: a first word is cut strictly narrower than the label, the
        // rest dropped; the paragraph then ends with the empty line left behind.
        {"Chinese first word", "放射科诊断报告", "放射科", 0, false, true, {"放射", ""}},
        // After a break a word is cut to at most the label's width.
        {"Chinese after a break", "ab 放射科诊断", "放射科", 0, false, true, {"ab ", "放射科", ""}},
        {"auto size never wraps", "one two three", "one", 0, true, true, {"one two three"}},
        {"word wrap off keeps the first line", "one two three", "one two ", 0, false, false, {"one two "}},
        {"empty caption", "", "x", 0, false, true, {""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto *label = TQRControl::Create<TQRLabel>(band, 96);
        label->SetAutoSize(false);
        label->SetWordWrap(c.wordWrap);
        label->SetBounds(10, 0, WidthOf(*label, c.widthOf) + c.extra, 40);
        label->SetAutoSize(c.autoSize);
        label->SetCaption(c.caption);
        EXPECT_EQ(label->WrappedLines(), c.lines);
        if (c.autoSize) {
            EXPECT_EQ(label->Width(), WidthOf(*label, c.caption));
        }
        delete label;
    }
}

TEST_F(ElementTest, AutoSizeKeepsTheRightEdgeOrTheCentre)
{
    struct Case { TAlignment alignment; int left; };
    for (const Case c : {Case{taLeftJustify, 100}, Case{taRightJustify, 300 - 50}, Case{taCenter, 100 + 100 - 25}}) {
        auto *label = TQRControl::Create<TQRLabel>(band, 96);
        label->SetAutoSize(false);
        label->SetBounds(100, 0, 200, 40);
        label->SetAlignment(c.alignment);
        QString caption = "i";
        while (WidthOf(*label, caption) < 50)
            caption += "i";
        while (WidthOf(*label, caption) > 50)
            caption.chop(1);
        if (WidthOf(*label, caption) != 50)
            GTEST_SKIP() << "no caption of exactly 50 pixels in this font";
        label->SetCaption(caption);
        label->SetAutoSize(true);
        EXPECT_EQ(label->Width(), 50) << c.alignment;
        EXPECT_EQ(label->Left(), c.left) << c.alignment;
        delete label;
    }
}

TEST_F(ElementTest, ALabelIsNeverLowerThanOneLine)
{
    auto *label = TQRControl::Create<TQRLabel>(band, 96);
    label->SetFontSize(14);
    label->SetBounds(0, 0, 100, 5);
    label->SetCaption("x");
    EXPECT_EQ(label->Height(), report.MeasureTextHeight(PrintFont::withChineseFace(label->Font()), "x") + 1);
}

TEST_F(ElementTest, DefinitionValuesWinOverThePixelsStoredBesideThem)
{
    // Either order of the stored statements gives the same element.
    for (bool pixelsFirst : {false, true}) {
        SCOPED_TRACE(pixelsFirst);
        TQRReport loaded(96);
        loaded.BeginLoad();
        auto *header = TQRControl::Create<TQRBand>(&loaded, rbPageHeader, 96);
        auto *label = TQRControl::Create<TQRLabel>(header, 96);
        auto *title = TQRControl::Create<TQRLabel>(header, 96);
        if (pixelsFirst) {
            label->SetBounds(290, 8, 209, 35);
            title->SetBounds(24, 16, 81, 23);
        }
        label->Size().LoadValues({92.60, 762.00, 21.17, 552.98});
        title->Size().LoadValues({60.85, 63.50, 0, 214.31});  // Top 0: the pixels fill in
        if (!pixelsFirst) {
            label->SetBounds(290, 8, 209, 35);
            title->SetBounds(24, 16, 81, 23);
        }
        label->SetAutoSize(false);
        title->SetAutoSize(false);
        loaded.EndLoad();
        loaded.SetUnits(TQRUnit::Native);
        EXPECT_DOUBLE_EQ(double(label->Size().Left()), 762.00);
        EXPECT_DOUBLE_EQ(double(label->Size().Width()), 552.98);
        EXPECT_EQ(label->Left(), 288);
        EXPECT_EQ(title->Top(), 16);
        EXPECT_NEAR(double(title->Size().Top()), 16 * 254 / 96.0, 1e-9);
        EXPECT_DOUBLE_EQ(double(title->Size().Left()), 63.50);
    }
}

TEST_F(ElementTest, OverridesRunWhenAnElementIsCreated)
{
    auto *richText = TQRControl::Create<TQRRichText>(band, 96);
    EXPECT_EQ(richText->Width(), 100);
    EXPECT_EQ(richText->EditControl().Bounds(), QRect(1, 1, 98, 98));
    auto *shape = TQRControl::Create<TQRShape>(band, 96);
    EXPECT_EQ(shape->Height(), 65);
}

TEST_F(ElementTest, ShapesDrawTheirFigureInTheirBox)
{
    // 600 dots per inch, no unprintable margin: 100 report units are 236 dots.
    struct Case { TQRShapeType shape; std::vector<RecordedDrawing::Kind> kinds; std::vector<QLineF> lines; QRectF box; };
    const QRectF box(QPointF(236, 472), QPointF(1181, 945));  // 100..500 across, 200..400 down
    const Case cases[] = {
        {qrsRectangle, {RecordedDrawing::Rect}, {}, box},
        {qrsCircle, {RecordedDrawing::Ellipse}, {}, box},
        {qrsVertLine, {RecordedDrawing::Line}, {QLineF(709, 472, 709, 945)}, {}},
        {qrsHorLine, {RecordedDrawing::Line}, {QLineF(236, 709, 1181, 709)}, {}},
        {qrsTopAndBottom, {RecordedDrawing::Line, RecordedDrawing::Line},
         {QLineF(236, 472, 1181, 472), QLineF(236, 945, 1181, 945)}, {}},
        {qrsRightAndLeft, {RecordedDrawing::Line, RecordedDrawing::Line},
         {QLineF(236, 472, 236, 945), QLineF(1181, 472, 1181, 945)}, {}},
    };
    report.SetUnits(TQRUnit::Native);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shape);
        *recording = PrinterRecording();
        auto *shape = TQRControl::Create<TQRShape>(band, 96);
        shape->Shape = c.shape;
        shape->Size().LoadValues({200, 50, 100, 400});
        TQRPrinter printer;
        printer.OutputTarget = TQRPrinter::Printer;
        printer.BeginDocument();
        printer.StartNewPage();
        shape->PrepareForPrint(&printer);
        shape->PrintAt(50, 100);
        printer.EndDocument();
        shape->EndPrint();
        const auto &drawn = recording->pages.at(0);
        ASSERT_EQ(drawn.size(), c.kinds.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_EQ(drawn[i].kind, c.kinds[i]);
            if (!c.lines.empty()) {
                EXPECT_EQ(drawn[i].line, c.lines[i]);
            } else {
                EXPECT_EQ(drawn[i].rect, c.box);
            }
            EXPECT_EQ(drawn[i].pen.width(), 1);
        }
        delete shape;
    }
}

TEST_F(ElementTest, TheDetailBandsThreeRules)
{
    // Rules halfway down their boxes, 22.49 report units below their tops, on
    // the detail band at 468: 490.49, 829.16 and 2691.82 report units.
    struct Case { DeviceMeasurements device; QLineF top, middle, bottom; };
    const Case cases[] = {
        {{600, 600, 4961, 7016, 0, 0},
         QLineF(336, 1159, 4642, 1159), QLineF(336, 1959, 4642, 1959), QLineF(286, 6359, 4792, 6359)},
        {{300, 300, 2480, 3508, 50, 50},
         QLineF(118, 530, 2272, 530), QLineF(118, 930, 2272, 930), QLineF(94, 3130, 2347, 3130)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.device.logPixelsX);
        *recording = PrinterRecording();
        recording->measurements = c.device;
        SampleReport sample;
        sample.PrintToPrinter();
        std::vector<QLineF> lines;
        for (const RecordedDrawing &drawing : recording->pages.at(0)) {
            if (drawing.kind == RecordedDrawing::Line)
                lines.push_back(drawing.line);
        }
        EXPECT_EQ(lines, (std::vector<QLineF>{c.top, c.middle, c.bottom}));
    }
}

TEST_F(ElementTest, LabelsPrintTheirLinesFromTheTopOfTheirBox)
{
    SampleReport sample;
    sample.QRLabel_jlh->SetCaption("2026120901");
    sample.PrintToPrinter();
    const RecordedDrawing *number = nullptr;
    const RecordedDrawing *background = nullptr;
    const auto &page = recording->pages.at(0);
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i].kind == RecordedDrawing::Text && page[i].text == "2026120901") {
            number = &page[i];
            background = &page[i - 1];
        }
    }
    ASSERT_NE(number, nullptr);
    // Title band at 341: the label's box starts 42.33 lower, 317.5 from the band's left at 100.
    EXPECT_EQ(background->rect, QRectF(QPointF(986, 906), QPointF(2192, 1049)));
    EXPECT_EQ(number->position.x(), 986);
    EXPECT_GT(number->position.y(), 906);  // the baseline, one ascent below the top
    EXPECT_LT(number->position.y(), 1049);
}

TEST_F(ElementTest, AFramedLabelInsetsItsTextByTheFrameWidth)
{
    SampleReport sample;
    sample.QRLabel_jlh->SetCaption("2026120901");
    sample.QRLabel_jlh->Frame().DrawTop = true;
    sample.QRLabel_jlh->Frame().DrawLeft = true;
    sample.PrintToPrinter();
    // One point is 4 report units: the text and the frame move 4 right and 4 down.
    std::vector<QRectF> sides;
    qreal textX = -1;
    for (const RecordedDrawing &drawing : recording->pages.at(0)) {
        if (drawing.kind == RecordedDrawing::Text && drawing.text == "2026120901")
            textX = drawing.position.x();
        if (drawing.kind == RecordedDrawing::Rect && drawing.brush.color() == Qt::black)
            sides.push_back(drawing.rect);
    }
    EXPECT_EQ(textX, 996);
    EXPECT_EQ(sides, (std::vector<QRectF>{QRectF(996, 915, 1206, 8), QRectF(996, 915, 8, 144)}));
}

TEST_F(ElementTest, OnPrintChangesTheTextOfOnePrint)
{
    SampleReport sample;
    sample.QRLabel_jlh->SetCaption("2026120901");
    sample.QRLabel_jlh->OnPrint = [](TQRCustomLabel *, QString &value) { value = "No. " + value; };
    sample.PrintToPrinter();
    EXPECT_TRUE(PrintedText().contains("No.2026120901"));
    EXPECT_EQ(sample.QRLabel_jlh->PrintText(), "2026120901");
}

TEST_F(ElementTest, AStretchingLabelContinuesOnTheNextPage)
{
    SampleReport sample;
    auto *notes = TQRControl::Create<TQRLabel>(sample.DetailBand1, 96);
    notes->SetAutoSize(false);
    notes->AutoStretch = true;
    notes->SetFontSize(14);
    sample.SetUnits(TQRUnit::Native);
    notes->Size().SetLeft(100);
    notes->Size().SetWidth(1500);
    notes->Size().SetTop(2100);
    notes->Size().SetHeight(60);
    sample.SetUnits(TQRUnit::MM);
    QStringList lines;
    for (int i = 1; i <= 6; ++i)
        lines << QString("第%1行").arg(i);
    notes->SetCaption(lines.join("\r"));
    sample.PrintToPrinter();
    ASSERT_EQ(recording->pages.size(), 3u);
    // A line may be drawn in pieces, one per face; the page's text joins them.
    const auto textsOf = [&](int page) {
        QString text;
        for (const RecordedDrawing &drawing : recording->pages[page]) {
            if (drawing.kind == RecordedDrawing::Text)
                text += drawing.text;
        }
        QStringList texts;
        for (const QString &line : lines) {
            if (text.contains(line))
                texts << line;
        }
        return texts;
    };
    // Page 1 has room for the box only; on the next pages the band grows by
    // two lines (2360 report units left for a band of 2222.5).
    EXPECT_EQ(textsOf(0), lines.mid(0, 1));
    EXPECT_EQ(textsOf(1), lines.mid(1, 3));
    EXPECT_EQ(textsOf(2), lines.mid(4));
}

TEST_F(ElementTest, RichTextRunsOverPagesWithEveryCharacterOnce)
{
    struct Case { const char *name; QString text; };
    QString phrases;
    for (int i = 0; i < 60; ++i)
        phrases += QString("双肺纹理增粗，第%1句未见明显实质性病变。\r").arg(i);
    QString words;
    for (int i = 0; i < 400; ++i)
        words += QString("word%1 ").arg(i);
    const Case cases[] = {{"phrases ending in CR", phrases},
                          {"one long paragraph", QString(3000, QChar(0x80BA))},
                          {"Latin words", words}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        *recording = PrinterRecording();
        SampleReport sample;
        sample.QRLabel13->SetCaption("");
        sample.QRLabel1->SetCaption("");
        sample.QRLabel10->SetCaption("");
        sample.QRLabel_jlh->SetCaption("");
        SampleReport::Fill(sample.QRRichText1, c.text);
        SampleReport::Fill(sample.QRRichText2, "");
        sample.PrintToPrinter();
        EXPECT_GE(recording->pages.size(), 3u);
        QString expected = c.text;
        expected.remove(QLatin1Char('\r'));
        expected.remove(QLatin1Char(' '));
        EXPECT_EQ(PrintedText(), expected);
        EXPECT_TRUE(sample.QRRichText1->PrintComplete());
    }
}

TEST_F(ElementTest, RichTextThatFitsPrintsOnceWithItsFrame)
{
    SampleReport sample;
    sample.QRRichText1->Frame().DrawTop = true;
    SampleReport::Fill(sample.QRRichText1, "未见异常。");
    sample.PrintToPrinter();
    ASSERT_EQ(recording->pages.size(), 1u);
    EXPECT_TRUE(PrintedText().contains("未见异常。"));
    EXPECT_EQ(PrintedText().count("未见异常"), 1);
    // The frame's top side: 8 dots at 600 dpi, across the box at the band's top plus 550.33.
    bool frame = false;
    for (const RecordedDrawing &drawing : recording->pages[0])
        frame = frame || drawing.rect == QRectF(QPointF(586, 2406), QPointF(4392, 2414));
    EXPECT_TRUE(frame);
}

}  // namespace
