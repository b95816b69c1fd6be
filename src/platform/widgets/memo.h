#pragma once

#include <QPlainTextEdit>

// A multi-line edit that gives back exactly the characters it was given: a lone
// carriage return stays a lone carriage return, CR LF stays CR LF. Line breaks
// the operator types come back as CR LF.
//
// A font given while the memo is hidden takes effect when it is first shown:
// laying out the text in a new font loads that font's faces, and every window
// is built, hidden, before the main menu appears.
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool fontPending_ = false;
};
