#include "platform/widgets/form.h"

#include "platform/widgets/failure_guard.h"
#include "platform/widgets/ui_font.h"

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
    close();
}

void Form::closeEvent(QCloseEvent *event)
{
    FailureGuard::run([this] { FormClose(); }, QLatin1String(metaObject()->className()) + QLatin1String("::FormClose"));
    event->accept();
}
