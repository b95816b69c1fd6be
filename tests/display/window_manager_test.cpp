#include "main_menu/form1.h"
#include "app/startup.h"
#include "platform/core/clock.h"
#include "query/form_cx.h"
#include "registration/form5.h"
#include "registration/form6.h"
#include "registration/form_zj.h"
#include "reporting/form_dy.h"
#include "scripted_dialogs.h"
#include "settings/form_sz.h"
#include "shared_state_reset.h"
#include "temp_database.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection(), xcb_intern_atom(connection(), false, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QList<Form *> allWindows()
{
    return {Form1, Form_dy, Form_zj, Form_sz, Form5, Form6, Form_cx};
}

// By caption, so that runs with window sets of their own compare.
QStringList visibleWindows()
{
    QStringList visible;
    for (Form *window : allWindows()) {
        if (window->isVisible())
            visible << window->windowTitle();
    }
    return visible;
}

// The whole window set on a fresh database, the main menu shown, as after start-up.
class Program {
public:
    Program()
    {
        Clock::setFixed(QDateTime(QDate(2006, 3, 5), QTime(9, 30)));
        resetSharedState();
        Startup::createWindows(db.directory());
        Form1->Show();
    }
    ~Program()
    {
        Startup::destroyWindows();
        Clock::clearFixed();
    }

    TempDatabase db;
    ScriptedDialogs dialogs;
};

// The Motif hints as the window manager reads them.
struct MotifHints {
    quint32 flags, functions, decorations;
};

MotifHints motifHints(const QWidget *window)
{
    const xcb_atom_t hints = atom("_MOTIF_WM_HINTS");
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection(),
                               xcb_get_property(connection(), false, xcb_window_t(window->winId()), hints, hints, 0, 5),
                               nullptr),
        &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) < 12)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return {values[0], values[1], values[2]};
}

TEST(WindowManager, EveryWindowAsksForATitleAndBorderWithoutButtons)
{
    Program program;
    for (Form *window : allWindows()) {
        window->Show();
        SCOPED_TRACE(window->windowTitle().toStdString());
        const MotifHints hints = motifHints(window);
        EXPECT_EQ(hints.flags, 1u | 2u) << "functions and decorations both given";
        EXPECT_EQ(hints.functions, 2u | 4u) << "resize and move only";
        EXPECT_EQ(hints.decorations, 2u | 4u | 8u) << "border, resize handles and title; no menu, minimise, maximise";
    }
}

// The window manager's close action, as an X client message to the window.
void windowManagerCloses(const QWidget *window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window->winId());
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection(), false, message.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
    xcb_flush(connection());
}

// Which windows are left on screen, or whether the program has ended.
struct Outcome {
    bool ended = false;
    QStringList visible;
    bool operator==(const Outcome &) const = default;
};

void PrintTo(const Outcome &outcome, std::ostream *out)
{
    if (outcome.ended) {
        *out << "program ended";
        return;
    }
    *out << outcome.visible.join(QStringLiteral("; ")).toStdString();
}

// Runs `leave` inside the message loop, as the program runs it, until `window`
// is gone from the screen or the loop has ended.
Outcome leaving(Form *window, const std::function<void()> &leave)
{
    QTimer::singleShot(0, leave);
    QTimer poll;
    int hiddenTicks = 0;
    // Two ticks apart: a loop that the program ends runs no further tick.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!window->isVisible() && ++hiddenTicks == 2)
            QCoreApplication::exit(1);
    });
    poll.start(10);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(2); });
    const int result = QApplication::exec();
    EXPECT_NE(result, 2) << "the window was not left";
    return result == 0 ? Outcome{true, {}} : Outcome{false, visibleWindows()};
}

struct Way {
    const char *name;
    std::function<void()> open;                // brings the window up
    std::function<Form *()> window;
    std::function<QPushButton *()> exit;  // its own way out; none for the pickers
};

void PrintTo(const Way &way, std::ostream *out)
{
    *out << way.name;
}

class CloseAction : public ::testing::TestWithParam<Way> {};

// Whatever a window manager offers, closing a window from its title bar must
// leave the program as the window's own exit button does; a picker, which has
// none, only goes away.
TEST_P(CloseAction, LeavesAsTheWindowsOwnExitDoes)
{
    const Way &way = GetParam();
    Outcome expected;
    if (way.exit) {
        Program program;
        way.open();
        expected = leaving(way.window(), [&] { way.exit()->click(); });
    }
    Program program;
    way.open();
    Form *window = way.window();
    ASSERT_TRUE(window->isVisible());
    if (!way.exit) {
        expected.visible = visibleWindows();
        expected.visible.removeOne(window->windowTitle());
    }
    const Outcome closed = leaving(window, [window] { windowManagerCloses(window); });
    EXPECT_EQ(closed, expected);
    EXPECT_EQ(program.db.scalar("select count(*) from hzzl").toInt(), 0);
}

void enterIn(QLineEdit *field)
{
    QTest::keyClick(field, Qt::Key_Return);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CloseAction,
    ::testing::Values(
        Way{"MainMenu", [] {}, [] { return Form1; }, [] { return Form1->Button3; }},
        Way{"Registration", [] { Form1->Button1->click(); }, [] { return Form_zj; },
            [] { return Form_zj->Button2; }},
        // The main menu hidden again by a second registration behind the report window.
        Way{"ReportWindow",
            [] {
                Form1->Button1->click();
                Form_zj->Button1->click();
                Form1->Button1->click();
            },
            [] { return Form_dy; }, [] { return Form_dy->Button6; }},
        Way{"Query", [] { Form1->Button2->click(); }, [] { return Form_cx; }, [] { return Form_cx->Button2; }},
        Way{"Settings", [] { Form1->Button4->click(); }, [] { return Form_sz; }, [] { return Form_sz->Button6; }},
        Way{"DepartmentPicker",
            [] {
                Form1->Button1->click();
                enterIn(Form_zj->Edit6);
            },
            [] { return Form5; }, nullptr},
        Way{"SitePicker",
            [] {
                Form1->Button1->click();
                enterIn(Form_zj->Edit4);
            },
            [] { return Form6; }, nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
