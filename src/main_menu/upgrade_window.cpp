#include "main_menu/upgrade_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <memory>

namespace {

std::unique_ptr<UpgradeWindow> shown;

} // namespace

UpgradeWindow::UpgradeWindow()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      stage_(new QLabel(this)), bar_(new QProgressBar(this))
{
    setWindowTitle(QStringLiteral("澄影放射科管理系统"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("数据库文件来自旧版本的程序，正在升级，请稍候，不要关闭计算机。"), this));
    layout->addWidget(stage_);
    layout->addWidget(bar_);
    bar_->setRange(0, 100);
    setFixedWidth(380);
}

void UpgradeWindow::report(const QString &stage, int percent)
{
    if (stage.isEmpty()) {
        shown.reset();
        return;
    }
    if (!shown) {
        shown.reset(new UpgradeWindow);
        shown->adjustSize();
        // Centred as every window at its first showing; start-up has no window yet to sit on.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            shown->move(screen->availableGeometry().center() - shown->rect().center());
        shown->show();
    }
    const QString text = stage + QStringLiteral("……");
    if (shown->stage_->text() == text && shown->bar_->value() == percent)
        return;
    shown->stage_->setText(text);
    shown->bar_->setValue(percent);
    // Start-up runs no event loop yet: paint now, but take no input meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
