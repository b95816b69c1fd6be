#pragma once

#include <QObject>

class Connection;

// Tells the connection when the operator presses a key or a mouse button
// anywhere in the program, so that the whole-file check waits for a pause.
class OperatorActivity : public QObject {
public:
    OperatorActivity(Connection &connection, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Connection &connection_;
};
