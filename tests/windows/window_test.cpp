#include "window_test.h"

#include "main_menu/form1.h"
#include "app/startup.h"
#include "platform/core/clock.h"
#include "platform/widgets/data_grid.h"
#include "registration/form5.h"
#include "reporting/form_dy.h"
#include "shared_state_reset.h"
#include "window_focus.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>

void WindowTest::SetUp()
{
    Clock::setFixed(QDateTime(QDate(2006, 3, 5), QTime(10, 0)));
    resetSharedState();
    Startup::createWindows(db.directory());
    Form1->Show();
    ASSERT_TRUE(WindowFocus::waitActive(Form1));
}

void WindowTest::TearDown()
{
    Startup::destroyWindows();
    Clock::clearFixed();
}

void WindowTest::addDepartment(const QString &name, const QString &code)
{
    db.exec(QStringLiteral("insert into ks (ksmc, kspym) values (?, ?)"), {name, code});
}

void WindowTest::addSite(const QString &name, const QString &code)
{
    db.exec(QStringLiteral("insert into bwmc (bwmc, bwpym) values (?, ?)"), {name, code});
}

void WindowTest::addRecord(qint64 number)
{
    db.exec(QStringLiteral("insert into hzzl (jcjlh, xm) values (?, ?)"), {number, QStringLiteral("旧")});
}

void WindowTest::addPhrase(const QString &title, const QString &phrase)
{
    db.exec(QStringLiteral("insert into nr (bt, nr) values (?, ?)"), {title, phrase});
}

void WindowTest::openRegistration()
{
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
}

QWidget *WindowTest::focused()
{
    return QApplication::focusWidget();
}

void WindowTest::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = focused();
    ASSERT_NE(target, nullptr) << "no control has the focus";
    QTest::keyClick(target, key, modifiers);
}

void WindowTest::type(const QString &text)
{
    QWidget *target = focused();
    ASSERT_NE(target, nullptr) << "no control has the focus";
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClicks(target, QString(c));
        } else {
            // Chinese arrives as the input method's committed text, not as keys.
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(target, &commit);
        }
    }
}

void WindowTest::clickCell(DataGrid *grid, int row)
{
    const QModelIndex cell = grid->model()->index(row, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

namespace {
QWidget *mouseSurface(QWidget *control)
{
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control))
        return area->viewport();
    return control;
}
} // namespace

void WindowTest::click(QWidget *control)
{
    QTest::mouseClick(mouseSurface(control), Qt::LeftButton);
}

void WindowTest::doubleClick(QWidget *control)
{
    QTest::mouseDClick(mouseSurface(control), Qt::LeftButton);
}
