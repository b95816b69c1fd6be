#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls placed the way the windows are laid out: fixed positions and
// sizes in pixels (left, top, width, height), no layouts, so resizing a frame
// leaves them where they are.
class Controls {
public:
    static QLabel *label(QWidget *parent, const QString &caption, const QRect &place, const QFont &font,
                         const QColor &color = Qt::black);
    // A label with a background of its own that clips longer text.
    static QLabel *valueLabel(QWidget *parent, const QRect &place, const QColor &background);
    // Enter or the space bar presses it while it has the focus.
    static QPushButton *button(QWidget *parent, const QString &caption, const QRect &place, const QFont &font);
    static QLineEdit *edit(QWidget *parent, const QRect &place);
    // An edit field that takes digits only, however the text arrives (DigitEdit).
    static QLineEdit *digitEdit(QWidget *parent, const QRect &place);
    // A one-pixel horizontal rule.
    static QWidget *rule(QWidget *parent, const QRect &place);
    // Chains the tab order through `controls` in the given order.
    static void tabOrder(std::initializer_list<QWidget *> controls);
};
