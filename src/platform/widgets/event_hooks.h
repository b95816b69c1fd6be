#pragma once

#include <QChar>
#include <QObject>
#include <functional>
#include <source_location>

class QKeyEvent;
class QWidget;

// Key-press, click and double-click handlers for any control. A key-press
// handler sees the character of the key (Enter 13, Backspace 8, Escape 27,
// Ctrl+V 22) and discards the key by setting the character to 0. Keys that make
// no character (arrows, Home, F-keys) never reach it. Every handler runs under
// the failure guard.
class EventHooks : public QObject {
    Q_OBJECT
public:
    using KeyPressHandler = std::function<void(QChar &key)>;
    using Handler = std::function<void()>;

    // `setUpAt` names the handler in the log when it fails.
    static void onKeyPress(QWidget *control, KeyPressHandler handler,
                           const std::source_location &setUpAt = std::source_location::current());
    static void onClick(QWidget *control, Handler handler,
                        const std::source_location &setUpAt = std::source_location::current());
    static void onDblClick(QWidget *control, Handler handler,
                           const std::source_location &setUpAt = std::source_location::current());

    // The character a key press produces, or a null character for none.
    static QChar keyChar(const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit EventHooks(QWidget *control);
    static EventHooks *on(QWidget *control);
    static QWidget *mouseTarget(QWidget *control);

    KeyPressHandler keyPress_;
    std::source_location keyPressAt_;
    Handler click_;
    Handler dblClick_;
};
