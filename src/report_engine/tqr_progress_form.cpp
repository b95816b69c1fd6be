#include "report_engine/tqr_progress_form.h"

#include "report_engine/tqr_printer.h"
#include "report_engine/tqr_printer_message.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

TQRProgressForm::TQRProgressForm(TQRPrinter *printer, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Gauge(new QProgressBar(this)),
      Info(new QLabel(this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)),
      printer_(printer)
{
    setWindowTitle(QStringLiteral("Printing progress"));
    setFixedSize(149, 97);
    Gauge->setGeometry(16, 18, 114, 16);
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);
    Info->setGeometry(0, 44, 145, 13);
    Info->setAlignment(Qt::AlignCenter);
    CancelButton->setGeometry(36, 60, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TQRProgressForm::CancelButtonClick()
{
    printer_->RequestCancel();
}

bool TQRProgressForm::event(QEvent *event)
{
    if (event->type() != TQRPrinterMessage::Progress)
        return QWidget::event(event);
    // The message may arrive late; the printer object holds the current value.
    const int percent = printer_->ProgressPercent();
    if (percent % 5 == 0) {
        Gauge->setValue(percent);
        Info->setText(QString::number(percent) + QStringLiteral("% ") + QStringLiteral(" Completed"));
        QCoreApplication::processEvents();
    }
    return true;
}
