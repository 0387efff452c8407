#pragma once

#include <QAbstractTableModel>

namespace tv {

class FlexGridData;

// Shows the scrolling part of a FlexGridData to the view: fixed rows and columns are drawn
// by the headers, so model row 0 is grid row fixedRows. The counts the view knows are kept
// here and only move when syncShape() tells the view, which lets the grid hold the view
// still during a bulk fill.
class FlexGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit FlexGridModel(const FlexGridData& data, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Brings the view's row and column counts up to the data; returns whether they moved.
    bool syncShape();
    // Starts the view over (fixed rows or columns changed meaning of the model rows).
    void resetShape();
    // Whether the view's counts match the data.
    bool inSync() const;

private:
    int dataRows() const;
    int dataCols() const;

    const FlexGridData& m_data;
    int m_rows = 0;
    int m_cols = 0;
};

} // namespace tv
