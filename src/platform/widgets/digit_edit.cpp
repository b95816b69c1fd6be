#include "platform/widgets/digit_edit.h"

#include <QInputMethodEvent>
#include <QRegularExpressionValidator>

DigitEdit::DigitEdit(QWidget *parent) : QLineEdit(parent)
{
    // Qt asks the validator after every change made through the field itself
    // (typing, committing, pasting, dropping) and undoes a refused one; text set
    // by the program is not judged.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    setInputMethodHints(Qt::ImhDigitsOnly);
}

QVariant DigitEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // A line edit answers "enabled" whatever its input-method attribute says,
    // so the input method would compose here and commit past the key filter.
    if (query == Qt::ImEnabled)
        return false;
    return QLineEdit::inputMethodQuery(query);
}

void DigitEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // An input method that composes all the same shows nothing here while it
    // composes; what it commits goes to the validator like any other text.
    QInputMethodEvent commitOnly;
    commitOnly.setCommitString(event->commitString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&commitOnly);
}
