#include "main_menu/operator_activity.h"

#include "store/connection.h"

#include <QEvent>

OperatorActivity::OperatorActivity(Connection &connection, QObject *parent) : QObject(parent), connection_(connection) {}

bool OperatorActivity::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
        connection_.operatorActive();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
