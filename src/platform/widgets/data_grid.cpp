#include "platform/widgets/data_grid.h"

#include "platform/widgets/failure_guard.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScrollBar>

namespace {

// Cell text sits 2 pixels from the cell's edges, as the column widths
// (characters times the width of "0", plus 4) assume; the toolkit's own
// margin is wider and would cut a ten-digit record number short.
class CellMargins : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_FocusFrameHMargin)
            return 1;  // the text margin is this plus 1
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

DataGrid::DataGrid(QWidget *parent) : QTableView(parent)
{
    setModel(&model_);
    auto *style = new CellMargins;
    style->setParent(this);
    setStyle(style);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Cells clip their text at the column's edge rather than trading its end for "…".
    setTextElideMode(Qt::ElideNone);
    setRowIndicator(false);
    // Fixed row heights keep a million-row grid from measuring every row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    connect(&model_, &QAbstractItemModel::modelReset, this, &DataGrid::modelReset);
    // The scroll value counts rows, so rows going in above move it by their number.
    setVerticalScrollMode(ScrollPerItem);
    connect(&model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] { topRowBeforeInsert_ = rowAt(0); });
    connect(&model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { keepRowsOnScreen(first, last); });
}

void DataGrid::onCellClick(std::function<void()> handler, const std::source_location &setUpAt)
{
    cellClick_ = FailureGuard::wrap(std::move(handler), setUpAt);
}

void DataGrid::setDataSource(GridSource *source)
{
    if (GridSource *old = model_.source())
        disconnect(old, nullptr, this, nullptr);
    model_.setSource(source);
    if (source)
        connect(source, &GridSource::gridCurrentRowChanged, this, &DataGrid::sourceCurrentRowChanged);
}

void DataGrid::setTitlesVisible(bool visible)
{
    horizontalHeader()->setVisible(visible);
}

void DataGrid::setRowIndicator(bool visible)
{
    verticalHeader()->setVisible(visible);
}

int DataGrid::columnWidthFor(int column) const
{
    GridSource *source = model_.source();
    if (!source)
        return 0;
    int characters = source->gridDisplayWidth(column);
    if (characters <= 0) {
        switch (source->gridColumnKind(column)) {
        case GridSource::ColumnKind::DateTime:
            characters = 18;
            break;
        default:
            characters = 10;
            break;
        }
    }
    const QFontMetrics metrics(font());
    const QFontMetrics titleMetrics(horizontalHeader()->font());
    const int width = characters * metrics.horizontalAdvance(QLatin1Char('0')) + 4;
    const int titleWidth = titleMetrics.horizontalAdvance(source->gridColumnTitle(column)) + 4;
    return std::max(width, titleWidth);
}

void DataGrid::modelReset()
{
    for (int column = 0; column < model_.columnCount(); ++column)
        setColumnWidth(column, columnWidthFor(column));
    if (GridSource *source = model_.source())
        sourceCurrentRowChanged(source->gridCurrentRow());
}

void DataGrid::keepRowsOnScreen(int first, int last)
{
    if (topRowBeforeInsert_ < 0 || first > topRowBeforeInsert_)
        return;
    // The scroll range would grow only at the next layout, too late for the value.
    updateGeometries();
    verticalScrollBar()->setValue(verticalScrollBar()->value() + last - first + 1);
}

void DataGrid::sourceCurrentRowChanged(int row)
{
    if (row < 0 || row >= model_.rowCount())
        return;
    const int column = std::max(currentIndex().column(), 0);
    followingSource_ = true;
    setCurrentIndex(model_.index(row, column));
    followingSource_ = false;
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row())
        verticalHeader()->viewport()->update();
    GridSource *source = model_.source();
    if (!followingSource_ && source && current.isValid() && current.row() != source->gridCurrentRow())
        source->gridSetCurrentRow(current.row());
}

QModelIndex DataGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Ctrl+End means the result's last row, not the last one known so far.
    if (GridSource *source = model_.source(); source && action == MoveEnd && (modifiers & Qt::ControlModifier))
        source->gridFetchLast();
    return QTableView::moveCursor(action, modifiers);
}

void DataGrid::mousePressEvent(QMouseEvent *event)
{
    pressed_ = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void DataGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    const QModelIndex released = indexAt(event->position().toPoint());
    if (cellClick_ && event->button() == Qt::LeftButton && released.isValid() && released == pressed_)
        cellClick_();
    pressed_ = QPersistentModelIndex();
}
