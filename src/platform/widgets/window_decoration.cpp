#include "platform/widgets/window_decoration.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

// The Motif window-manager hints, the layout window managers read from the
// _MOTIF_WM_HINTS property.
struct MotifHints {
    quint32 flags;
    quint32 functions;
    quint32 decorations;
    qint32 inputMode;
    quint32 status;
};
constexpr quint32 hintFunctions = 1u << 0;
constexpr quint32 hintDecorations = 1u << 1;
constexpr quint32 functionResize = 1u << 1;
constexpr quint32 functionMove = 1u << 2;
constexpr quint32 decorationBorder = 1u << 1;
constexpr quint32 decorationResizeHandles = 1u << 2;
constexpr quint32 decorationTitle = 1u << 3;

} // namespace

void WindowDecoration::titleAndBorderOnly(QWidget *window)
{
    // Only windows of the X11 platform are X windows: the offscreen platform
    // may answer as X11 too, with window ids no server knows.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const WId id = window->internalWinId();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || !id)
        return;
    static const char name[] = "_MOTIF_WM_HINTS";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, sizeof name - 1, name), nullptr),
        &std::free);
    if (!atom)
        return;
    const MotifHints hints{hintFunctions | hintDecorations, functionMove | functionResize,
                           decorationBorder | decorationResizeHandles | decorationTitle, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(id), atom->atom, atom->atom, 32,
                        sizeof hints / 4, &hints);
    xcb_flush(connection);
}
