#include "settings_test.h"

#include "main_menu/form1.h"
#include "platform/widgets/data_grid.h"
#include "settings/form_sz.h"
#include "store/statement.h"
#include "window_focus.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

void SettingsTest::addTitle(const QString &title)
{
    db.exec(QStringLiteral("insert into bt (bt) values (?)"), {title});
}

void SettingsTest::openSettings()
{
    QTest::mouseClick(Form1->Button4, Qt::LeftButton);
    ASSERT_TRUE(WindowFocus::waitActive(Form_sz));
}

void SettingsTest::showPage(QWidget *page)
{
    Form_sz->PageControl1->setCurrentWidget(page);
}

void SettingsTest::commit(const QString &text)
{
    QWidget *target = focused();
    ASSERT_NE(target, nullptr) << "no control has the focus";
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

QStringList SettingsTest::rows(const QString &sql)
{
    return db.rows(sql);
}

QStringList SettingsTest::shown(DataGrid *grid)
{
    QStringList result;
    const QAbstractItemModel *model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        result << cells.join('|');
    }
    return result;
}

void SettingsTest::setReadOnly(bool readOnly)
{
    Connection &connection = Form1->ADOConnection1;
    if (connection.onServer())
        connection.session().exec(readOnly ? QStringLiteral("set default_transaction_read_only = on")
                                           : QStringLiteral("set default_transaction_read_only = off"));
    else
        Statement::execute(connection.handle(),
                           readOnly ? QStringLiteral("PRAGMA query_only = 1") : QStringLiteral("PRAGMA query_only = 0"));
}
