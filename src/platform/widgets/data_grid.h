#pragma once

#include <QTableView>
#include <functional>
#include <source_location>

#include "platform/widgets/grid_model.h"

// A read-only grid bound to a data set. A click on a cell makes its row the
// data set's current row before the click handler runs; keyboard moves change
// the current row. Column widths follow the data set's fields. Rows that a
// data set learns before rows on screen push them down out of sight, so the
// grid scrolls down with them.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);

    // Points the grid at another data set (nullptr shows nothing).
    void setDataSource(GridSource *source);
    GridSource *dataSource() const { return model_.source(); }

    void setTitlesVisible(bool visible);
    void setRowIndicator(bool visible);

    // A click on a data cell, after the row became current. Runs under the
    // failure guard; `setUpAt` names the handler in the log.
    void onCellClick(std::function<void()> handler,
                     const std::source_location &setUpAt = std::source_location::current());

    // Width in pixels of a column: its display width in characters times the
    // width of "0", plus 4, and at least its title's width plus 4.
    int columnWidthFor(int column) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void modelReset();
    void sourceCurrentRowChanged(int row);
    void keepRowsOnScreen(int first, int last);

    GridModel model_;
    std::function<void()> cellClick_;
    QPersistentModelIndex pressed_;
    bool followingSource_ = false;
    int topRowBeforeInsert_ = -1;
};
