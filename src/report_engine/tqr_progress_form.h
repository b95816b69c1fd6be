#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class TQRPrinter;

// The small window shown while a run prints: a gauge, a line of text and
// Cancel, which asks the run's printer object to stop.
class TQRProgressForm : public QWidget {
public:
    explicit TQRProgressForm(TQRPrinter *printer, QWidget *parent = nullptr);

    QProgressBar *Gauge;
    QLabel *Info;
    QPushButton *CancelButton;

    void CancelButtonClick();

protected:
    bool event(QEvent *event) override;

private:
    TQRPrinter *printer_;
};
