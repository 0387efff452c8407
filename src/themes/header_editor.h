#pragma once

#include <QList>
#include <QWidget>

class QLineEdit;

namespace tv {

class Station;

// The header captions of one theme (frmHeader): a box for each column of its
// list. Saved captions take the place of Column1 and Column2 on the board.
class HeaderEditor final : public QWidget {
    Q_OBJECT

public:
    HeaderEditor(Station& station, qint64 theme, int columns, QWidget* parent = nullptr);

    QList<QLineEdit*> boxes() const { return m_boxes; }
    // Save: true when stored; the window then closes.
    bool save();

signals:
    void saved();

private:
    Station& m_station;
    qint64 m_theme;
    QStringList m_stored;
    QList<QLineEdit*> m_boxes;
};

} // namespace tv
