#include "flex_grid_model.h"

#include "colors.h"
#include "flex_grid_data.h"

namespace tv {

FlexGridModel::FlexGridModel(const FlexGridData& data, QObject* parent)
    : QAbstractTableModel(parent), m_data(data) {
    m_rows = dataRows();
    m_cols = dataCols();
}

int FlexGridModel::dataRows() const {
    return m_data.rows() - m_data.fixedRows();
}
int FlexGridModel::dataCols() const {
    return m_data.cols() - m_data.fixedCols();
}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

// The view paints through the grid's delegate and never asks for these; they serve
// accessibility and anyone reading the model directly.
QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    const int row = index.row() + m_data.fixedRows();
    const int col = index.column() + m_data.fixedCols();
    if (!index.isValid() || !m_data.contains(row, col)) return {};
    const CellStyle& style = m_data.style(row, col);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_data.text(row, col);
    case Qt::BackgroundRole:
        if (style.backColor == CellStyle::kInherit) return {};
        return colors::toQColor(style.backColor);
    case Qt::ForegroundRole:
        if (style.foreColor == CellStyle::kInherit) return {};
        return colors::toQColor(style.foreColor);
    default:
        return {};
    }
}

bool FlexGridModel::syncShape() {
    const int rows = dataRows();
    const int cols = dataCols();
    if (rows == m_rows && cols == m_cols) return false;
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        m_cols = cols;
        endInsertColumns();
    } else if (cols < m_cols) {
        beginRemoveColumns({}, cols, m_cols - 1);
        m_cols = cols;
        endRemoveColumns();
    }
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    return true;
}

void FlexGridModel::resetShape() {
    beginResetModel();
    m_rows = dataRows();
    m_cols = dataCols();
    endResetModel();
}

bool FlexGridModel::inSync() const {
    return m_rows == dataRows() && m_cols == dataCols();
}

} // namespace tv
