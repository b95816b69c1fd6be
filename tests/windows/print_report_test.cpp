#include "window_test.h"

#include "main_menu/form1.h"
#include "shared_state/shared_state.h"
#include "doubles/recording_printer.h"
#include "platform/core/convert.h"
#include "query/form_cx.h"
#include "registration/form_zj.h"
#include "sample_examination.h"
#include "reporting/form_dy.h"
#include "reporting/qrreport7.h"
#include "settings/form_sz.h"
#include "store/audit_trail.h"
#include "window_focus.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <cmath>

namespace {

const QString cr(QChar(13));

// Report units (0.1 mm) from the paper's edge to dots of the 600 dpi recorder.
int dots(double units)
{
    return int(std::lround(units * 600 / 254));
}

// Where the bands of the first page stand, report units from the paper's top.
constexpr double headerY = 100, titleY = 341, detailY = 468, footerY = 2701, bandX = 100;

struct Box {
    double bandY, left, top, width, height;
};

using Page = std::vector<RecordedDrawing>;

QString textOf(const Page &page)
{
    QString text;
    for (const RecordedDrawing &drawing : page)
        if (drawing.kind == RecordedDrawing::Text)
            text += drawing.text;
    return text;
}

// The first text drawing of `text`.
const RecordedDrawing *drawingOf(const Page &page, const QString &text)
{
    for (const RecordedDrawing &drawing : page)
        if (drawing.kind == RecordedDrawing::Text && drawing.text == text)
            return &drawing;
    return nullptr;
}

bool near(double a, double b)
{
    return std::abs(a - b) <= 1;
}

class PrintReport : public WindowTest {
protected:
    void SetUp() override
    {
        RecordingPrinter::install(recording);
        WindowTest::SetUp();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        PrinterDevice::setFactory({});
    }

    // Registration "增加" with nothing typed, then the window's labels and memos set.
    void handOver(const QString &findings = QStringLiteral("两肺纹理清晰。"),
                  const QString &opinion = QStringLiteral("心肺膈未见异常。"))
    {
        openRegistration();
        QTest::mouseClick(Form_zj->Button1, Qt::LeftButton);
        ASSERT_TRUE(Form_dy->isVisible());
        fillReportWindow(findings, opinion);
    }

    static void pressPrint() { QTest::mouseClick(Form_dy->Button5, Qt::LeftButton); }

    // From registration: the query window's "查询全部", the first record double-clicked, "打印".
    static void reprintFromQuery()
    {
        QTest::mouseClick(Form_zj->Button2, Qt::LeftButton);
        QTest::mouseClick(Form1->Button2, Qt::LeftButton);
        ASSERT_TRUE(Form_cx->isVisible());
        QTest::mouseClick(Form_cx->Button1, Qt::LeftButton);
        DataGrid *grid = Form_cx->DBGrid1;
        const QPoint cell = grid->visualRect(grid->model()->index(0, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
        ASSERT_EQ(ReportMode, 2);
        pressPrint();
    }

    int stored() { return db.scalar(QStringLiteral("select count(*) from hzzl")).toInt(); }

    const Page &page(std::size_t index) const { return recording->pages.at(index); }

    std::shared_ptr<PrinterRecording> recording = std::make_shared<PrinterRecording>();
};

// Overview steps 1 to 7: typed registration, phrases, "打印", and back at
// registration with the next number.
TEST_F(PrintReport, TheWholeRoadOfOneExamination)
{
    addDepartment(QStringLiteral("内科"), QStringLiteral("nk"));
    addSite(QStringLiteral("胸部正位"), QStringLiteral("xbzw"));
    db.exec(QStringLiteral("insert into bt (bt) values (?)"), {QStringLiteral("胸部")});
    addPhrase(QStringLiteral("胸部"), QStringLiteral("两肺纹理清晰。"));
    addPhrase(QStringLiteral("胸部"), QStringLiteral("心肺膈未见异常。"));

    openRegistration();
    ASSERT_TRUE(WindowFocus::waitActive(Form_zj));
    for (const QString &typed : {QStringLiteral(" 张三 "), QStringLiteral("男"), QStringLiteral("45"),
                                 QStringLiteral("内科"), QStringLiteral("12"), QStringLiteral("胸部正位"),
                                 QStringLiteral("咳嗽待查")}) {
        type(typed);
        press(Qt::Key_Return);
    }
    ASSERT_EQ(focused(), Form_zj->Button1);
    press(Qt::Key_Return);
    ASSERT_TRUE(Form_dy->isVisible());

    clickCell(Form_dy->DBGrid2, 0);
    clickCell(Form_dy->DBGrid1, 0);
    doubleClick(Form_dy->Memo1);
    click(Form_dy->Memo3);
    clickCell(Form_dy->DBGrid1, 1);
    doubleClick(Form_dy->Memo1);
    pressPrint();

    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    const auto column = [&](const char *name) {
        return db.scalar(QStringLiteral("select %1 from hzzl").arg(QLatin1String(name)));
    };
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(column("jcjlh").toLongLong(), 2006030501);
    EXPECT_EQ(column("xm").toString(), QStringLiteral("张三"));
    EXPECT_EQ(column("xb").toString(), QStringLiteral("男"));
    EXPECT_EQ(column("nl").toInt(), 45);
    EXPECT_EQ(column("jcks").toString(), QStringLiteral("内科"));
    EXPECT_EQ(column("jcbw").toString(), QStringLiteral("胸部正位"));
    EXPECT_EQ(column("lczd").toString(), QStringLiteral("咳嗽待查"));
    // A whole day: no time of day in the file's text, midnight in the server's timestamp.
    EXPECT_EQ(column("jcrq").toString(), db.onServer() ? "2006-03-05 00:00:00" : "2006-03-05");
    EXPECT_EQ(column("jtzz").toString(), "12");
    EXPECT_EQ(trail(), (QStringList{"保存|2006030501|姓名：张三", "打印|2006030501|"}));
    EXPECT_EQ(column("jcsj").toString(), QStringLiteral("两肺纹理清晰。") + cr);
    EXPECT_EQ(column("zdyj").toString(), QStringLiteral("心肺膈未见异常。") + cr);

    ASSERT_EQ(recording->pages.size(), 1u);
    EXPECT_EQ(recording->jobsEnded, 1);
    const QString printed = textOf(page(0));
    for (const QString &text : {QStringLiteral(" 张三 "), QStringLiteral("两肺纹理清晰。"), QStringLiteral("心肺膈未见异常。")})
        EXPECT_TRUE(printed.contains(text.trimmed())) << text.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("QRLabel")));

    EXPECT_FALSE(Form_dy->isVisible());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_EQ(Form_zj->Label4->text(), "2006030502");
    EXPECT_EQ(Form_zj->Edit1->text(), QString());
}

// Every label at the device position its band and size give: its white box
// exactly, its text from the box's left with the baseline inside the box.
TEST_F(PrintReport, EveryLabelStandsWhereTheLayoutPutsIt)
{
    handOver();
    pressPrint();
    ASSERT_EQ(recording->pages.size(), 1u);
    const QString date = Convert::dateToStr(QDate(2006, 3, 5));
    const struct {
        QString text;
        Box box;
    } labels[] = {
        {QStringLiteral("松岭县中医院"), {headerY, 762.00, 21.17, 552.98, 92.60}},
        // Latin and Chinese are drawn in one run per face: the title's first run is its "X".
        {QStringLiteral("X"), {headerY, 613.83, 127.00, 849.31, 92.60}},
        {QStringLiteral("记录号："), {titleY, 63.50, 42.33, 214.31, 60.85}},
        {QStringLiteral("2006030501"), {titleY, 317.50, 42.33, 510.65, 60.85}},
        {QStringLiteral("病人姓名："), {detailY, 63.50, 63.50, 277.81, 60.85}},
        {QStringLiteral("张三"), {detailY, 359.83, 63.50, 256.65, 60.85}},
        {QStringLiteral("性别："), {detailY, 698.50, 63.50, 171.98, 60.85}},
        {QStringLiteral("男"), {detailY, 889.00, 63.50, 108.48, 60.85}},
        {QStringLiteral("年龄："), {detailY, 1100.67, 63.50, 171.98, 60.85}},
        {QStringLiteral("45"), {detailY, 1270.00, 63.50, 108.48, 60.85}},
        {QStringLiteral("送检科室："), {detailY, 63.50, 169.33, 277.81, 60.85}},
        {QStringLiteral("内科"), {detailY, 359.83, 169.33, 277.81, 60.85}},
        {QStringLiteral("检查部位："), {detailY, 63.50, 275.17, 277.81, 60.85}},
        {QStringLiteral("胸部正位"), {detailY, 359.83, 275.17, 785.81, 60.85}},
        {QStringLiteral("临床诊断："), {detailY, 698.50, 169.33, 277.81, 60.85}},
        {QStringLiteral("咳嗽待查"), {detailY, 1037.17, 169.33, 764.65, 60.85}},
        {QStringLiteral("负责医生："), {detailY, 1291.17, 2137.83, 298.98, 60.85}},
        {QStringLiteral("床号："), {detailY, 1502.83, 63.50, 171.98, 60.85}},
        {QStringLiteral("12"), {detailY, 1672.17, 63.50, 129.65, 60.85}},
        {QStringLiteral("报告医生："), {detailY, 296.33, 2137.83, 341.31, 60.85}},
        {QStringLiteral("本报告仅供临床参考，负责医生签字后方可生效。"), {footerY, 84.67, 21.17, 933.98, 50.27}},
        {QStringLiteral("报告日期："), {footerY, 1121.83, 21.17, 235.48, 50.27}},
        {date, {footerY, 1375.83, 21.17, 447.15, 50.27}},
    };
    for (const auto &label : labels) {
        SCOPED_TRACE(label.text.toStdString());
        const Box &b = label.box;
        const RecordedDrawing *text = drawingOf(page(0), label.text);
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(near(text->position.x(), dots(bandX + b.left))) << text->position.x();
        EXPECT_GT(text->position.y(), dots(b.bandY + b.top));
        EXPECT_LT(text->position.y(), dots(b.bandY + b.top + b.height));
        const QRectF box(QPointF(dots(bandX + b.left), dots(b.bandY + b.top)),
                         QPointF(dots(bandX + b.left + b.width), dots(b.bandY + b.top + b.height)));
        EXPECT_TRUE(std::any_of(page(0).begin(), page(0).end(), [&](const RecordedDrawing &d) {
            return d.kind == RecordedDrawing::Rect && near(d.rect.left(), box.left()) && near(d.rect.top(), box.top()) &&
                   near(d.rect.right(), box.right()) && near(d.rect.bottom(), box.bottom());
        })) << "no white box at " << box.left() << "," << box.top() << " " << box.width() << "x" << box.height();
    }
    EXPECT_TRUE(textOf(page(0)).contains(QStringLiteral("X线医学影像诊断报告单")));
    // The findings and opinion labels size themselves to their text.
    for (const QString &caption : {QStringLiteral("检查所见："), QStringLiteral("诊断意见：")}) {
        const RecordedDrawing *text = drawingOf(page(0), caption);
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(near(text->position.x(), dots(bandX + 63.50)));
    }

    // The three rules, halfway down their boxes; the last reaches into the right margin.
    std::vector<QLineF> rules;
    for (const RecordedDrawing &d : page(0))
        if (d.kind == RecordedDrawing::Line)
            rules.push_back(d.line);
    const struct {
        double left, top, width;
    } expected[] = {{42.33, 0.00, 1822.98}, {42.33, 338.67, 1822.98}, {21.17, 2201.33, 1907.65}};
    ASSERT_EQ(rules.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const double y = dots(detailY + expected[i].top + 44.98 / 2);
        EXPECT_TRUE(near(rules[i].y1(), y) && near(rules[i].y2(), y)) << rules[i].y1();
        EXPECT_TRUE(near(rules[i].x1(), dots(bandX + expected[i].left))) << rules[i].x1();
        EXPECT_TRUE(near(rules[i].x2(), dots(bandX + expected[i].left + expected[i].width))) << rules[i].x2();
    }
}

// An empty findings text is saved as null and prints an empty box behind
// its caption; a name wider than its label prints its first line only.
TEST_F(PrintReport, EmptyFindingsAndALongName)
{
    const QString name = QStringLiteral("欧阳慕容司马上官诸葛东方皇甫");
    handOver(QString());
    Form_dy->Label6->setText(name);
    pressPrint();
    ASSERT_EQ(recording->pages.size(), 1u);
    EXPECT_TRUE(db.scalar(QStringLiteral("select jcsj from hzzl")).isNull());
    EXPECT_EQ(db.scalar(QStringLiteral("select xm from hzzl")).toString(), name);

    const Box findings{detailY, 148.17, 550.33, 1611.31, 806.98};
    for (const RecordedDrawing &d : page(0)) {
        if (d.kind != RecordedDrawing::Text)
            continue;
        EXPECT_FALSE(d.position.y() > dots(findings.bandY + findings.top) &&
                     d.position.y() < dots(findings.bandY + findings.top + findings.height))
            << "text in the findings box: " << d.text.toStdString();
    }
    EXPECT_NE(drawingOf(page(0), QStringLiteral("检查所见：")), nullptr);

    const auto first = std::find_if(page(0).begin(), page(0).end(), [&](const RecordedDrawing &d) {
        return d.kind == RecordedDrawing::Text && !d.text.isEmpty() && name.startsWith(d.text);
    });
    ASSERT_NE(first, page(0).end());
    EXPECT_LT(first->text.size(), name.size());
    EXPECT_FALSE(textOf(page(0)).contains(name.right(1)));
}

// Findings longer than their box continue on page 2 below the repeated page
// header; the record number band is printed on page 1 only, the footer date on both.
TEST_F(PrintReport, LongFindingsContinueOnPageTwo)
{
    QString findings;
    for (int i = 0; i < 18; ++i)
        findings += QStringLiteral("第%1行：两肺纹理清晰，走行自然。").arg(i + 1) + cr;
    handOver(findings);
    pressPrint();
    ASSERT_EQ(recording->pages.size(), 2u);
    const QString date = Convert::dateToStr(QDate(2006, 3, 5));
    EXPECT_TRUE(textOf(page(0)).contains(QStringLiteral("记录号：")));
    EXPECT_FALSE(textOf(page(1)).contains(QStringLiteral("记录号：")));
    for (std::size_t p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        const RecordedDrawing *hospital = drawingOf(page(p), QStringLiteral("松岭县中医院"));
        ASSERT_NE(hospital, nullptr);
        EXPECT_GT(hospital->position.y(), dots(headerY + 21.17));
        EXPECT_LT(hospital->position.y(), dots(headerY + 21.17 + 92.60));
        const RecordedDrawing *footerDate = drawingOf(page(p), date);
        ASSERT_NE(footerDate, nullptr);
        EXPECT_GT(footerDate->position.y(), dots(footerY + 21.17));
    }
    EXPECT_TRUE(textOf(page(0)).contains(QStringLiteral("第1行")));
    EXPECT_FALSE(textOf(page(0)).contains(QStringLiteral("第18行")));
    EXPECT_TRUE(textOf(page(1)).contains(QStringLiteral("第18行")));
    EXPECT_FALSE(textOf(page(1)).contains(QStringLiteral("第1行：")));
}

// A reprint from the query window writes nothing and prints the same page.
TEST_F(PrintReport, ReprintWritesNothing)
{
    handOver(QStringLiteral("两肺纹理清晰。") + cr);
    pressPrint();
    ASSERT_EQ(stored(), 1);
    reprintFromQuery();

    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
    EXPECT_EQ(stored(), 1);
    ASSERT_EQ(recording->pages.size(), 2u);
    EXPECT_EQ(textOf(page(1)), textOf(page(0)));
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_FALSE(Form_cx->isVisible());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_EQ(trail(), (QStringList{"保存|2006030501|姓名：张三", "打印|2006030501|", "补打|2006030501|"}));
}

// Register, print, reprint, delete on "病历管理": the tool lists the four
// events with who and where, brings the record back identical, and its check
// of the chain passes until one row is changed with sqlite3.
TEST_F(PrintReport, TheTrailOfOneExamination)
{
    const auto tool = [](const QString &program, const QStringList &arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return std::pair{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
    };
    const QString createdb = QStringLiteral(CREATEDB_PROGRAM);
    // The tool reads the records where the program does.
    const QStringList records = db.onServer() ? QStringList{"--server", db.connection().server()} : QStringList{db.path()};
    const QString examination = QStringLiteral("select jcjlh, xm, xb, nl, jcrq, jcbw, jcks, lczd, jcsj, zdyj, jtzz from hzzl");
    handOver(QStringLiteral("两肺纹理清晰。") + cr);
    pressPrint();
    const QStringList saved = db.rows(examination);
    reprintFromQuery();
    QTest::mouseClick(Form_zj->Button2, Qt::LeftButton);
    QTest::mouseClick(Form1->Button4, Qt::LeftButton);
    Form_sz->PageControl1->setCurrentWidget(Form_sz->TabSheet5);
    dialogs.confirmAnswers << true;
    QTest::mouseClick(Form_sz->Button25, Qt::LeftButton);
    ASSERT_EQ(stored(), 0);
    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();

    const auto [listed, events] = tool(createdb, QStringList{"--audit"} + records + QStringList{"--record", "2006030501"});
    EXPECT_EQ(listed, 0);
    QStringList shown;
    for (const QString &line : events.split('\n', Qt::SkipEmptyParts))
        shown << line.section('\t', 1, 4);
    const QString who = AuditTrail::userName() + '\t' + AuditTrail::computerName() + '\t';
    EXPECT_EQ(shown, (QStringList{who + "保存\t2006030501", who + "打印\t2006030501", who + "补打\t2006030501",
                                  who + "删除\t2006030501"}));
    EXPECT_EQ(tool(createdb, QStringList{"--restore"} + records + QStringList{"2006030501"}).first, 0);
    EXPECT_EQ(db.rows(examination), saved);
    const QStringList verify = QStringList{"--audit", "--verify"} + records;
    EXPECT_EQ(tool(createdb, verify).first, 0);
    // Someone with the owner's rights and another tool changes one row.
    if (db.onServer()) {
        db.exec("alter table audit_trail disable trigger audit_trail_kept");
        db.exec("update audit_trail set detail = '姓名：李四' where id = 1");
    } else {
        EXPECT_EQ(tool(QStringLiteral("sqlite3"), {db.path(), "drop trigger audit_trail_kept; "
                                                              "update audit_trail set detail = '姓名：李四' where id = 1"})
                      .first,
                  0);
    }
    EXPECT_EQ(tool(createdb, verify).first, 1);
}

// Another room printed the shown number meanwhile: the examination is stored
// under the next free number, the report shows that number, and the operator is told.
TEST_F(PrintReport, ANumberTakenMeanwhileIsReplacedAndTold)
{
    handOver();
    ASSERT_EQ(Form_dy->Label14->text(), "2006030501");
    db.exec(QStringLiteral("insert into hzzl (jcjlh, xm) values (2006030501, '其他工作站')"));
    pressPrint();

    EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("记录号2006030501已被其他工作站使用，本次检查已改用记录号2006030502。")});
    EXPECT_EQ(db.rows(QStringLiteral("select jcjlh from hzzl order by jcjlh")), QStringList({"2006030501", "2006030502"}));
    ASSERT_EQ(recording->pages.size(), 1u);
    EXPECT_TRUE(textOf(page(0)).contains("2006030502"));
    EXPECT_FALSE(textOf(page(0)).contains("2006030501"));
    EXPECT_EQ(Form_zj->Label4->text(), "2006030503");
}

// An empty age stops the save at its column: nothing printed, nothing left
// pending, the report window still open; the corrected save stores one row.
TEST_F(PrintReport, AnEmptyAgeStopsTheSave)
{
    handOver();
    Form_dy->Label10->setText(QString());
    pressPrint();
    EXPECT_EQ(dialogs.failures, QStringList{"'' is not a valid integer value"});
    EXPECT_EQ(stored(), 0);
    EXPECT_TRUE(recording->jobs.isEmpty());
    EXPECT_TRUE(Form_dy->isVisible());
    EXPECT_FALSE(Form_zj->isVisible());
    EXPECT_EQ(trail(), QStringList());

    Form_dy->Label10->setText(QStringLiteral("45"));
    pressPrint();
    EXPECT_EQ(dialogs.failures.size(), 1);
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("select nl from hzzl")).toInt(), 45);
    EXPECT_EQ(recording->pages.size(), 1u);
    EXPECT_EQ(trail(), (QStringList{"保存|2006030501|姓名：张三", "打印|2006030501|"}));
}

// A printer that refuses the job: the record stays saved and the operator is
// back at the main menu.
TEST_F(PrintReport, APrinterFailureLeavesTheRecordAndTheMainMenu)
{
    recording->refusal = QStringLiteral("打印机缺纸");
    handOver();
    pressPrint();
    ASSERT_EQ(dialogs.failures.size(), 1);
    EXPECT_TRUE(dialogs.failures[0].contains(QStringLiteral("打印机缺纸"))) << dialogs.failures[0].toStdString();
    EXPECT_EQ(stored(), 1);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Form_dy->isVisible());
    EXPECT_FALSE(Form_zj->isVisible());
    EXPECT_EQ(trail(), (QStringList{"保存|2006030501|姓名：张三", "打印失败|2006030501|" + dialogs.failures[0]}));
}

// A print the trail cannot take is still printed and ends in registration;
// the operator is told that it went unrecorded.
TEST_F(PrintReport, APrintTheTrailRefusesIsPrintedAndTold)
{
    db.exec("create trigger refused before insert on audit_trail when new.action = '打印' "
            "begin select raise(abort, 'refused'); end");
    handOver();
    pressPrint();
    EXPECT_EQ(recording->pages.size(), 1u);
    EXPECT_TRUE(Form_zj->isVisible());
    ASSERT_EQ(dialogs.failures.size(), 1);
    EXPECT_TRUE(dialogs.failures[0].startsWith(QStringLiteral("这次打印没能写入操作记录"))) << dialogs.failures[0].toStdString();
    EXPECT_EQ(trail(), QStringList{"保存|2006030501|姓名：张三"});
}

// Without a printer nothing prints, but the operator is told so and why; the
// record is saved and registration comes up for the next patient.
TEST_F(PrintReport, NoPrinterIsToldNotHidden)
{
    const struct {
        bool serviceReachable;
        QString reason;
    } cases[] = {
        {true, QStringLiteral("没有安装打印机")},
        {false, QStringLiteral("无法连接打印服务")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason.toStdString());
        recording->printers.clear();
        recording->serviceReachable = c.serviceReachable;
        dialogs.messages.clear();
        handOver();
        pressPrint();
        EXPECT_TRUE(dialogs.failures.isEmpty()) << dialogs.failures.join('\n').toStdString();
        ASSERT_EQ(dialogs.messages.size(), 1);
        const QString &message = dialogs.messages[0];
        for (const QString &part : {c.reason, QStringLiteral("报告没有打印"), QStringLiteral("查询窗口")})
            EXPECT_TRUE(message.contains(part)) << message.toStdString();
        EXPECT_TRUE(recording->jobs.isEmpty());
        EXPECT_TRUE(Form_zj->isVisible());
        EXPECT_FALSE(Form1->isVisible());
        const QString event = trail().last();
        EXPECT_TRUE(event.startsWith("打印失败|" + Form_dy->Label14->text() + '|') && event.contains(c.reason))
            << event.toStdString();
        QTest::mouseClick(Form_zj->Button2, Qt::LeftButton);
    }
    EXPECT_EQ(stored(), 2);
}

// The report is built at start-up with the windows: it must not wait on a
// printer or a print service that does not answer.
TEST(DiagnosisReport, BuildingItReachesNoPrinter)
{
    int devices = 0;
    PrinterDevice::setFactory([&] {
        ++devices;
        return std::make_unique<RecordingPrinter>(std::make_shared<PrinterRecording>());
    });
    TQRReport7 report;
    PrinterDevice::setFactory({});
    EXPECT_EQ(devices, 0);
    // Until the first print the data labels hold their own names.
    const std::pair<TQRLabel *, const char *> data[] = {
        {report.QRLabel_jlh, "QRLabel_jlh"}, {report.QRLabel_xm, "QRLabel_xm"}, {report.QRLabel_xb, "QRLabel_xb"},
        {report.QRLabel_nl, "QRLabel_nl"},   {report.QRLabel_ks, "QRLabel_ks"}, {report.QRLabel_bw, "QRLabel_bw"},
        {report.QRLabel_zd, "QRLabel_zd"},   {report.QRLabel_zz, "QRLabel_zz"}, {report.QRLabel_rq, "QRLabel_rq"},
    };
    for (const auto &[label, name] : data)
        EXPECT_EQ(label->Caption(), QString::fromLatin1(name));
}

}  // namespace
