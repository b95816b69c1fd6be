#pragma once

#include <QGroupBox>

// A group box drawn the classic way the windows are laid out for: the frame's
// top line runs through the middle of the caption, which sits on it a little in
// from the left edge. The toolkit's own style puts the whole caption above the
// frame, a line lower than the controls placed inside expect.
class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    GroupBox(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};
