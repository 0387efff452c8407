#pragma once

// Pieces of FlexGrid that only the grid itself creates.

#include <QAbstractItemDelegate>
#include <QHeaderView>

namespace tv {

class FlexGrid;

// Paints the scrolling cells through FlexGrid::paintCell, so that headers and body share
// one way of drawing a cell.
class FlexGridDelegate final : public QAbstractItemDelegate {
public:
    explicit FlexGridDelegate(FlexGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    FlexGrid* m_grid;
};

// Holds the row or column geometry of the view like any header, and draws the fixed
// heading row (horizontal) or fixed key column (vertical) as grid cells.
class FlexGridHeader final : public QHeaderView {
public:
    FlexGridHeader(Qt::Orientation orientation, FlexGrid* grid);
    // Sizes are set by the grid; a hint computed from contents would only cost time.
    QSize sizeHint() const override { return {0, 0}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FlexGrid* m_grid;
};

} // namespace tv
