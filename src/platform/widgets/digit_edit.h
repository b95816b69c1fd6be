#pragma once

#include <QLineEdit>

// An edit field that holds the digits "0" to "9" and nothing else, whichever
// way text arrives: typed keys, an input method's committed text, a paste from
// the context menu or a drop. Text with anything else in it is refused whole,
// so a pasted "3-12" never turns into the bed number 312. The field tells input
// methods that it takes none, so pinyin does not even start composing here.
// The window's key filter still decides which keys count (Enter, Backspace).
class DigitEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DigitEdit(QWidget *parent);

    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void inputMethodEvent(QInputMethodEvent *event) override;
};
