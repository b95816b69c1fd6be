#include "platform/widgets/controls.h"

#include "platform/widgets/digit_edit.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QLabel *Controls::label(QWidget *parent, const QString &caption, const QRect &place, const QFont &font,
                        const QColor &color)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(place);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel *Controls::valueLabel(QWidget *parent, const QRect &place, const QColor &background)
{
    auto *label = new QLabel(parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QPushButton *Controls::button(QWidget *parent, const QString &caption, const QRect &place, const QFont &font)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(place);
    button->setFont(font);
    button->setAutoDefault(true);
    return button;
}

QLineEdit *Controls::edit(QWidget *parent, const QRect &place)
{
    auto *edit = new QLineEdit(parent);
    edit->setGeometry(place);
    return edit;
}

QLineEdit *Controls::digitEdit(QWidget *parent, const QRect &place)
{
    auto *edit = new DigitEdit(parent);
    edit->setGeometry(place);
    return edit;
}

QWidget *Controls::rule(QWidget *parent, const QRect &place)
{
    auto *line = new QFrame(parent);
    line->setGeometry(place);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Qt::black);
    line->setPalette(palette);
    return line;
}

void Controls::tabOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}
