#pragma once

#include <QPlainTextEdit>

// A multi-line edit that gives back exactly the characters it was given: a lone
// carriage return stays a lone carriage return, CR LF stays CR LF. Line breaks
// the operator types come back as CR LF.
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
