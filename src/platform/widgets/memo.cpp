#include "platform/widgets/memo.h"

#include <QKeyEvent>
#include <QTextBlock>

namespace {
// Each block remembers the line break that followed it in the text it came from.
enum Separator { CrLf = 1, Cr = 2, Lf = 3 };

QString separatorText(int state)
{
    switch (state) {
    case Cr:
        return QStringLiteral("\r");
    case Lf:
        return QStringLiteral("\n");
    default:
        return QStringLiteral("\r\n");
    }
}
} // namespace

Memo::Memo(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QString Memo::text() const
{
    QString result;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        result += block.text();
        if (block.next().isValid())
            result += separatorText(block.userState());
    }
    return result;
}

void Memo::setText(const QString &text)
{
    QStringList lines;
    QList<int> separators;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') {
            separators << CrLf;
            ++i;
        } else {
            separators << (c == '\r' ? Cr : Lf);
        }
        start = i + 1;
    }
    lines << text.mid(start);

    setPlainText(lines.join('\n'));
    QTextBlock block = document()->begin();
    for (int separator : separators) {
        block.setUserState(separator);
        block = block.next();
    }
}

void Memo::keyPressEvent(QKeyEvent *event)
{
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!lineBreak || textCursor().hasSelection()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // Every typed break is a plain CR LF: Shift+Enter would otherwise put a
    // Unicode line separator into the text. Splitting a block leaves its
    // remembered break on the first part; it belongs after the second, and the
    // typed break is CR LF.
    const QTextBlock split = textCursor().block();
    const int separator = split.userState();
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text());
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
    if (textCursor().block().previous() == split) {
        QTextBlock(split).setUserState(CrLf);
        textCursor().block().setUserState(separator);
    }
}

void Memo::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && !isVisible()) {
        fontPending_ = true;
        return;
    }
    QPlainTextEdit::changeEvent(event);
}

void Memo::showEvent(QShowEvent *event)
{
    if (fontPending_) {
        fontPending_ = false;
        QEvent fontChange(QEvent::FontChange);
        QPlainTextEdit::changeEvent(&fontChange);
    }
    QPlainTextEdit::showEvent(event);
}
