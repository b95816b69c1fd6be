#include "main_menu/form1.h"
#include "app/startup.h"
#include "platform/core/clock.h"
#include "query/form_cx.h"
#include "registration/form5.h"
#include "registration/form6.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "glyph_face.h"
#include "qt_printers.h"
#include "scripted_dialogs.h"
#include "shared_state_reset.h"
#include "settings/form_sz.h"
#include "store/database_creator.h"
#include "store/integrity_check.h"
#include "temp_database.h"
#include "private_cluster.h"
#include "store/server_schema.h"
#include "store/server_session.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

namespace {

QList<Form *> allWindows()
{
    return {Form1, Form_dy, Form_zj, Form_sz, Form5, Form6, Form_cx};
}

QList<Form *> visibleWindows()
{
    QList<Form *> visible;
    for (Form *window : allWindows()) {
        if (window->isVisible())
            visible << window;
    }
    return visible;
}

class ShellTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2006, 3, 5), QTime(9, 30)));
        Startup::createWindows(db.directory());
        Form1->Show();
    }
    void TearDown() override
    {
        Startup::destroyWindows();
        Clock::clearFixed();
        resetSharedState();
    }

    TempDatabase db{GetParam()};
    ScriptedDialogs dialogs;
};

} // namespace

RUN_ON_BOTH_ENGINES(ShellTest);

TEST_P(ShellTest, StartUpShowsOnlyTheMainMenuCentredAndOpensNoDataSet)
{
    EXPECT_EQ(visibleWindows(), QList<Form *>{Form1});
    EXPECT_TRUE(Form1->ADOConnection1.connected());
    for (const DataSet *dataSet : std::initializer_list<const DataSet *>{
             &Form_zj->ADOQuery1, &Form_zj->ADOQuery2, &Form_zj->ADOQuery3, &Form_zj->ADOQuery4, &Form_dy->ADOQuery1,
             &Form_dy->ADOQuery2, &Form_dy->ADODataSet1, &Form_cx->ADOQuery2})
        EXPECT_FALSE(dataSet->active()) << dataSet->name().toStdString();

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Form1->pos(), QPoint(screen.x() + (screen.width() - 341) / 2, screen.y() + (screen.height() - 171) / 2));
    EXPECT_TRUE(dialogs.failures.isEmpty());
}

// A message box is a window of its own and takes the application's font, not
// a form's: its Chinese must still come in Simplified Chinese glyph shapes
// (骨 differs between the Chinese and the Japanese face) whatever the locale.
TEST_P(ShellTest, MessagesDrawChineseInTheSimplifiedChineseFace)
{
    QMessageBox box;
    for (const QString &text : {QStringLiteral("骨"), QStringLiteral("门诊")})
        EXPECT_EQ(GlyphFace::of(box.font(), text), "Noto Sans CJK SC") << text.toStdString();
    EXPECT_EQ(GlyphFace::of(box.font(), QStringLiteral("OK")), GlyphFace::of(Form1->font(), QStringLiteral("OK")));
}

TEST_P(ShellTest, WindowsHaveTheirCaptionsNoTitleButtonsAndStayOnTopButTheQueryWindow)
{
    const QList<QPair<Form *, QString>> captions = {
        {Form1, "澄影放射科管理系统"},         {Form_dy, "澄影放射科管理系统之打印窗口"},
        {Form_zj, "澄影放射科管理系统之新加患者"}, {Form_sz, "澄影放射科管理系统之系统设置"},
        {Form5, "科室列表"},                   {Form6, "诊断部位"},
        {Form_cx, "澄影放射科管理系统之病历查询"}};
    for (const auto &[window, caption] : captions) {
        SCOPED_TRACE(caption.toStdString());
        EXPECT_EQ(window->windowTitle(), caption);
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint));
        EXPECT_EQ(bool(flags & Qt::WindowStaysOnTopHint), window != Form_cx);
    }
    EXPECT_EQ(Form1->Button1->text(), "   增加病人   ");
    EXPECT_EQ(Form1->Button2->text(), "  查询病历  ");
    EXPECT_EQ(Form1->Button3->text(), "   退出程序   ");
    EXPECT_EQ(Form1->Button4->text(), "  系统设置  ");
    EXPECT_EQ(Form1->Button1->nextInFocusChain(), Form1->Button2);
    EXPECT_EQ(Form1->Button3->nextInFocusChain(), Form1->Button4);
    EXPECT_EQ(Form1->palette().color(QPalette::Window), QColor(128, 128, 0));
}

// The controls inside a group box are placed for the classic frame, whose top
// line runs through the middle of the caption: the line must pass above them,
// and the caption must be drawn on it.
TEST_P(ShellTest, GroupBoxFramesRunAboveTheControlsInside)
{
    for (Form *window : allWindows()) {
        for (QGroupBox *box : window->findChildren<QGroupBox *>()) {
            SCOPED_TRACE((window->windowTitle() + QLatin1Char(' ') + box->title()).toStdString());
            const QImage image = box->grab().toImage();
            const QColor background = box->palette().color(box->backgroundRole());
            const auto drawn = [&](int x, int y) { return QColor(image.pixel(x, y)) != background; };
            // The top line, sought right of the caption.
            const int x = box->width() - 20;
            int line = 0;
            while (line < box->height() && !drawn(x, line))
                ++line;
            int topmost = box->height();
            for (const QWidget *control : box->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
                topmost = std::min(topmost, control->y());
            EXPECT_LT(line, topmost);
            int captionPixels = 0;
            for (int y = 0; y < box->fontMetrics().height(); ++y)
                for (int cx = 0; cx < box->fontMetrics().horizontalAdvance(box->title()) + 16; ++cx)
                    captionPixels += drawn(cx, y) && QColor(image.pixel(cx, y)).lightness() < 128;
            EXPECT_GT(captionPixels, 10);
        }
    }
}

TEST_P(ShellTest, WindowsAreCentredOnlyAtTheirFirstShowing)
{
    Form1->Button1->click();
    const QPoint first = Form_zj->pos();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(first.x(), screen.x() + (screen.width() - 544) / 2);
    Form_zj->move(first + QPoint(40, 25));
    Form_zj->Button2->click();
    Form1->Button1->click();
    EXPECT_EQ(Form_zj->pos(), first + QPoint(40, 25));

    Form1->Button2->click();
    EXPECT_EQ(Form_cx->pos(), QPoint(18, 107));
}

TEST_P(ShellTest, EachWorkingWindowLeadsBackToTheMainMenu)
{
    Form1->Button1->click();
    EXPECT_EQ(visibleWindows(), QList<Form *>{Form_zj});
    Form_zj->Button2->click();
    EXPECT_EQ(visibleWindows(), QList<Form *>{Form1});

    Form1->Button2->click();
    EXPECT_EQ(visibleWindows(), QList<Form *>{Form_cx});
    Form_cx->Button2->click();
    EXPECT_EQ(visibleWindows(), QList<Form *>{Form1});

    for (QPushButton *exit : {Form_sz->Button6, Form_sz->Button12, Form_sz->Button15, Form_sz->Button24, Form_sz->Button27}) {
        Form1->Button4->click();
        EXPECT_EQ(visibleWindows(), QList<Form *>{Form_sz});
        // Every showing starts on the first page, whichever page was left.
        EXPECT_EQ(Form_sz->PageControl1->currentWidget(), Form_sz->TabSheet1);
        Form_sz->PageControl1->setCurrentWidget(exit->parentWidget());
        exit->click();
        EXPECT_EQ(visibleWindows(), QList<Form *>{Form1});
    }
}

TEST_P(ShellTest, MainMenuStaysUsableBehindTheReportWindowAndTheNumberIsNotUsedUp)
{
    Form1->Button1->click();
    EXPECT_EQ(Form_zj->Label4->text(), "2006030501");
    Form_zj->Button1->click();
    EXPECT_TRUE(Form_dy->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(ReportMode, 1);

    Form1->Button1->click();
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_TRUE(Form_dy->isVisible());
    EXPECT_EQ(Form_zj->Label4->text(), "2006030501");

    Form_dy->Button6->click();
    EXPECT_FALSE(Form_dy->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(db.scalar("select count(*) from hzzl").toInt(), 0);
}

TEST_P(ShellTest, ExitProgramEndsTheMessageLoopAtOnce)
{
    Form1->Button1->click();
    Form_zj->Button1->click();  // a report window holding an unsaved record
    bool ended = false;
    QTimer::singleShot(0, Form1->Button3, &QPushButton::click);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // safety net
    ended = QApplication::exec() == 0;
    EXPECT_TRUE(ended);
    EXPECT_TRUE(dialogs.confirmations.isEmpty());
    EXPECT_EQ(db.scalar("select count(*) from hzzl").toInt(), 0);
}

namespace {

// Notes whether the main menu was already on screen when a failure was shown.
class StartupDialogs : public ScriptedDialogs {
public:
    QList<bool> menuVisible;
    void failure(const QString &text) override
    {
        menuVisible << (Form1 && Form1->isVisible());
        ScriptedDialogs::failure(text);
    }
};

// Start-up on a folder the test prepares itself; whatever the test asserted,
// the windows and the clock are put back for the next one.
class ShellStartUp : public ::testing::Test {
protected:
    void TearDown() override
    {
        Startup::destroyWindows();
        Clock::clearFixed();
        resetSharedState();
    }

    QTemporaryDir dir;
    StartupDialogs dialogs;
};

class ShellStartUpOnEither : public ShellStartUp, public ::testing::WithParamInterface<Engine> {};

} // namespace

RUN_ON_BOTH_ENGINES(ShellStartUpOnEither);

// Records that cannot be reached at start (no file; a server database without
// our tables) are reported before the menu, which comes up all the same; every
// later action tries again and works once the records are there.
TEST_P(ShellStartUpOnEither, UnusableRecordsAreReportedBeforeTheMenuAndRetriedByLaterActions)
{
    struct Records {
        const char *messagePart;
        std::function<void()> makeUsable;
    };
    QString server;
    if (GetParam() == Engine::Server) {
        server = PrivateCluster::instance().createDatabase();
        QFile ini(dir.filePath("ruvured.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[database]\nserver=" + server + '\n').toUtf8());
    }
    const Records records = server.isEmpty()
                              ? Records{"ruvured.mdb", [&] { DatabaseCreator::create(dir.filePath("ruvured.mdb")); }}
                              : Records{"不是本系统的数据库", [&] {
                                           ServerSession session(server);
                                           ServerSchema::create(session);
                                       }};
    Clock::setFixed(QDateTime(QDate(2006, 3, 5), QTime(9, 30)));
    Startup::createWindows(dir.path());
    Form1->Show();
    ASSERT_EQ(dialogs.failures.size(), 1);
    EXPECT_TRUE(dialogs.failures.first().contains(records.messagePart)) << dialogs.failures.first().toStdString();
    EXPECT_EQ(dialogs.menuVisible, QList<bool>{false});
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(QFile::exists(dir.filePath("ruvured.mdb")));

    // Still unusable: the registration window reports it again and shows all the same.
    Form1->Button1->click();
    EXPECT_EQ(dialogs.failures.size(), 2);
    EXPECT_TRUE(Form_zj->isVisible());
    EXPECT_EQ(Form_zj->Label4->text(), "");

    // Once the records are there, the next showing connects and allocates.
    Form_zj->Button2->click();
    records.makeUsable();
    Form1->Button1->click();
    EXPECT_EQ(dialogs.failures.size(), 2);
    EXPECT_EQ(Form_zj->Label4->text(), "2006030501");
}

TEST_F(ShellStartUp, DamageIsReportedAfterTheMenuIsUp)
{
    const QString path = dir.filePath("ruvured.mdb");
    DatabaseCreator::create(path);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(4096);  // the examinations' b-tree page
        file.write(QByteArray(16, '\xff'));
    }
    Startup::createWindows(dir.path());
    Form1->Show();
    EXPECT_TRUE(dialogs.failures.isEmpty());
    // The check waits for half a minute without input; here it need not.
    Form1->ADOConnection1.close();
    Form1->ADOConnection1.setCheckDelay(0);
    Form1->ADOConnection1.open();
    ASSERT_NE(Form1->ADOConnection1.integrityCheck(), nullptr);
    Form1->ADOConnection1.integrityCheck()->wait();
    // The finding reaches the window thread as a queued call.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.failures.isEmpty(); }, 5000));
    ASSERT_EQ(dialogs.failures.size(), 1);
    EXPECT_TRUE(dialogs.failures.first().contains("损坏")) << dialogs.failures.first().toStdString();
    EXPECT_EQ(dialogs.menuVisible, QList<bool>{true});
}
