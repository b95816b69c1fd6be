#include "platform/widgets/form.h"

#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"
#include "platform/widgets/window_decoration.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {
// The sizeable frame of the classic desktop: 4 pixels each side, 19 for the caption.
constexpr int frameWidth = 8;
constexpr int frameHeight = 27;
} // namespace

Form::Form(const Definition &definition) : definition_(definition)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (definition.stayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setWindowTitle(definition.caption);
    setFont(UiFont::make(11));
    resize(clientSizeFor(definition.outerSize));
    if (definition.placement == Placement::Designed)
        move(definition.designedPosition);
}

QSize Form::clientSizeFor(QSize outer)
{
    return {outer.width() - frameWidth, outer.height() - frameHeight};
}

void Form::Show()
{
    if (isHidden()) {
        FailureGuard::run([this] { FormShow(); },
                          QLatin1String(metaObject()->className()) + QLatin1String("::FormShow"));
        if (!shownBefore_ && definition_.placement == Placement::ScreenCenter) {
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            const QSize outer = definition_.outerSize;
            move(screen.x() + (screen.width() - outer.width()) / 2,
                 screen.y() + (screen.height() - outer.height()) / 2);
        }
        shownBefore_ = true;
        show();
    }
    raise();
    activateWindow();
}

void Form::Close()
{
    closingByProgram_ = true;
    close();
    closingByProgram_ = false;
}

bool Form::event(QEvent *event)
{
    // The native window is made at the first showing, with the toolkit's hints.
    if (event->type() == QEvent::WinIdChange)
        WindowDecoration::titleAndBorderOnly(this);
    return QWidget::event(event);
}

void Form::closeEvent(QCloseEvent *event)
{
    if (closingByProgram_) {
        FailureGuard::run([this] { FormClose(); }, QLatin1String(metaObject()->className()) + QLatin1String("::FormClose"));
        event->accept();
        return;
    }
    // Asked from outside. A window cannot be closed again from inside its own
    // close, so its way out runs right after this event.
    event->ignore();
    QMetaObject::invokeMethod(
        this,
        [this] {
            FailureGuard::run([this] { closeRequested(); },
                              QLatin1String(metaObject()->className()) + QLatin1String("::closeRequested"));
        },
        Qt::QueuedConnection);
}
