#include "platform/widgets/event_hooks.h"

#include "platform/widgets/failure_guard.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>

EventHooks::EventHooks(QWidget *control) : QObject(control)
{
    control->installEventFilter(this);
    if (QWidget *target = mouseTarget(control); target != control)
        target->installEventFilter(this);
}

EventHooks *EventHooks::on(QWidget *control)
{
    if (auto *hooks = control->findChild<EventHooks *>(QString(), Qt::FindDirectChildrenOnly))
        return hooks;
    return new EventHooks(control);
}

QWidget *EventHooks::mouseTarget(QWidget *control)
{
    // Scroll areas (memos, grids) receive mouse input on their viewport.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control))
        return area->viewport();
    // An editable combo box keeps the focus and the keys itself (it hands them
    // to its line edit directly, past any filter), but the mouse lands on the
    // line edit.
    if (auto *combo = qobject_cast<QComboBox *>(control); combo && combo->lineEdit())
        return combo->lineEdit();
    return control;
}

void EventHooks::onKeyPress(QWidget *control, KeyPressHandler handler, const std::source_location &setUpAt)
{
    EventHooks *hooks = on(control);
    hooks->keyPress_ = std::move(handler);
    hooks->keyPressAt_ = setUpAt;
}

void EventHooks::onClick(QWidget *control, Handler handler, const std::source_location &setUpAt)
{
    on(control)->click_ = FailureGuard::wrap(std::move(handler), setUpAt);
}

void EventHooks::onDblClick(QWidget *control, Handler handler, const std::source_location &setUpAt)
{
    on(control)->dblClick_ = FailureGuard::wrap(std::move(handler), setUpAt);
}

QChar EventHooks::keyChar(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Escape:
        return QChar(27);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return {};
    default:
        break;
    }
    if ((event.modifiers() & Qt::ControlModifier) && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return QChar(event.key() - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return {};
    return text.at(0);
}

bool EventHooks::eventFilter(QObject *, QEvent *event)
{
    // A disabled control takes no input; Qt still hands its events to filters.
    if (!static_cast<QWidget *>(parent())->isEnabled())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (!keyPress_)
            return false;
        QChar key = keyChar(*static_cast<QKeyEvent *>(event));
        if (key.isNull())
            return false;
        // A failing handler ends the key's handling: the key is not typed.
        const bool ok = FailureGuard::run([&] { keyPress_(key); }, keyPressAt_);
        return !ok || key.isNull();
    }
    case QEvent::MouseButtonRelease:
        if (click_ && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            click_();
        return false;
    case QEvent::MouseButtonDblClick:
        if (dblClick_ && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            dblClick_();
        return false;
    default:
        return false;
    }
}
