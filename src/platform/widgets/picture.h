#pragma once

#include <QLabel>

// A decoration picture stretched to its box. The file is decoded when the
// picture is first shown, not when its hidden window is created at start-up.
class Picture : public QLabel {
public:
    Picture(QWidget *parent, const QString &file, const char *format);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString file_;
    const char *format_;
};
