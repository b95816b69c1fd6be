#include "platform/widgets/message_box_dialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Our windows stay on top of everything; a box must too, or it hides behind them.
void showBox(QMessageBox &box)
{
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

void singleButtonBox(QMessageBox::Icon icon, const QString &caption, const QString &text,
                     QMessageBox::StandardButton button, const QString &buttonText)
{
    QMessageBox box(icon, caption, text, button);
    box.button(button)->setText(buttonText);
    showBox(box);
}

} // namespace

bool MessageBoxDialogs::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText("&Yes");
    box.button(QMessageBox::No)->setText("&No");
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    showBox(box);
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void MessageBoxDialogs::error(const QString &text)
{
    singleButtonBox(QMessageBox::Critical, "Error", text, QMessageBox::Cancel, "Cancel");
}

void MessageBoxDialogs::message(const QString &text)
{
    singleButtonBox(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, "OK");
}

void MessageBoxDialogs::failure(const QString &text)
{
    const QString caption = QFileInfo(QApplication::applicationFilePath()).completeBaseName();
    singleButtonBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, "OK");
}
