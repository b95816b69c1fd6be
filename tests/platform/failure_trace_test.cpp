#include "log_capture.h"
#include "platform/core/failure.h"
#include "platform/printing/pdf_text_map.h"
#include "platform/widgets/data_grid.h"
#include "platform/widgets/event_hooks.h"
#include "scripted_dialogs.h"

#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Every read fails, as a lazily read result's does once its file is gone.
class FailingSource : public GridSource {
public:
    int gridRowCount() const override { return 3; }
    int gridColumnCount() const override { return 2; }
    QString gridColumnTitle(int) const override { return QStringLiteral("xm"); }
    ColumnKind gridColumnKind(int) const override { return ColumnKind::Text; }
    int gridDisplayWidth(int) const override { return 10; }
    QVariant gridValue(int, int) override { throw Failure(QStringLiteral("数据库文件无法读取。")); }
    int gridCurrentRow() const override { return 0; }
    void gridSetCurrentRow(int) override {}
    bool gridSuspended() const override { return false; }
};

}  // namespace

// A failure shown to the operator or swallowed on purpose leaves one line in
// its layer's log that says what was being done; a grid repainting over a
// failing source does not flood the log.
TEST(FailureTrace, EachFailureLeavesOneLineSayingWhatWasBeingDone)
{
    const ScriptedDialogs dialogs;
    QLineEdit edit;
    const int hookLine = __LINE__ + 1;
    EventHooks::onKeyPress(&edit, [](QChar &) { throw Failure(QStringLiteral("坏键")); });
    FailingSource source;
    DataGrid grid;
    grid.resize(300, 200);
    grid.setDataSource(&source);

    const struct {
        const char *what;
        std::function<void()> act;
        QString line;
    } cases[] = {
        {"a key handler that fails", [&] { QTest::keyClick(&edit, 'a'); },
         QStringLiteral("ruvured.ui: handler of failure_trace_test.cpp:%1 failed: 坏键").arg(hookLine)},
        {"a grid painted twice over reads that fail", [&] { grid.grab(), grid.grab(); },
         QStringLiteral("ruvured.ui: reading a grid's row 0 column xm failed; it shows empty cells until a read "
                        "succeeds: 数据库文件无法读取。")},
        {"a print file the text repair cannot read",
         [] { PdfTextMap::preferIdeographs("%PDF-1.4\n1 0 obj\n<< /ToUnicode 2 0 R >>\nendobj\n"); },
         QStringLiteral("ruvured.print: PDF text repair left the print file as it is: no cross-reference table")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const LogCapture log;
        c.act();
        EXPECT_EQ(log.lines(), QStringList{c.line});
    }
}
