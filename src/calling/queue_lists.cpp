// The call screen's lists of today's tickets: what this counter served,
// cancelled, got transferred, and what its service still has waiting.
#include "call_screen.h"

#include "core/db_error.h"
#include "core/ui/flex_grid.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

namespace tv {

namespace {
const QStringList servedHeads{QString(),
                              QStringLiteral("SN"),
                              QStringLiteral("Token"),
                              QStringLiteral("At"),
                              QStringLiteral("Finished"),
                              QString()};
const QList<int> servedWidths{1, 600, 1500, 3000, -1, -1};
} // namespace

void CallScreen::fillList(FlexGrid* grid, const QStringList& heads, const QList<int>& widths,
                          const QList<QStringList>& rows) {
    grid->setRedraw(false);
    grid->setCols(6);
    grid->resetRows(1);
    for (int c = 0; c < 6; ++c) {
        grid->setColWidth(c, widths.value(c, -1));
        grid->setTextMatrix(0, c, heads.value(c));
    }
    grid->setRows(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 6; ++c)
            grid->setTextMatrix(r + 1, c, rows[r].value(c));
    grid->setRedraw(true);
}

// A failing reload leaves its list with the heading only and its caption as it was.
void CallScreen::addAttend() {
    fillList(m_fg, servedHeads, servedWidths, {});
    try {
        fillList(m_fg, servedHeads, servedWidths, m_ops.attended());
    } catch (const DbError&) {
    }
}

void CallScreen::addCancelled() {
    QStringList heads = servedHeads;
    heads[4] = QStringLiteral("Cancelled");
    fillList(m_fg1, heads, servedWidths, {});
    try {
        const auto rows = m_ops.cancelled();
        m_stab->setTabText(2, QStringLiteral("Cancelled ") + QString::number(rows.size()));
        fillList(m_fg1, heads, servedWidths, rows);
    } catch (const DbError&) {
    }
}

void CallScreen::addTrans() {
    const QStringList heads{QString(),
                            QStringLiteral("SN"),
                            QStringLiteral("Token"),
                            QStringLiteral("At"),
                            QStringLiteral("Status"),
                            QStringLiteral("Time")};
    const QList<int> widths{1, 600, 1500, 1500, 1500, 1500};
    fillList(m_fgr, heads, widths, {});
    try {
        const auto rows = m_ops.transferred();
        const QString caption = QStringLiteral("Transfred ") + QString::number(rows.size());
        m_stab->setTabText(4, caption);
        if (m_lblTransfered) m_lblTransfered->setText(caption);
        fillList(m_fgr, heads, widths, rows);
    } catch (const DbError&) {
    }
}

void CallScreen::addPendings() {
    const QStringList heads{QString(),
                            QStringLiteral("SN"),
                            QStringLiteral("Token"),
                            QStringLiteral("T.Time"),
                            QStringLiteral("Waiting"),
                            QString()};
    fillList(m_fg4, heads, servedWidths, {});
    try {
        const auto rows = m_ops.pending();
        m_stab->setTabText(5, QStringLiteral("Pending : ") + QString::number(rows.size()));
        fillList(m_fg4, heads, servedWidths, rows);
    } catch (const DbError&) {
    }
}

void CallScreen::addTokensToList() {
    m_cmbToken->clear();
    try {
        for (const auto& [token, key] : m_ops.addTokens())
            m_cmbToken->addItem(token, key);
    } catch (const DbError&) {
    }
    // The current ticket is chosen, not only written into the box: a transfer
    // acts on the chosen entry.
    if (!m_ops.lblToken().isEmpty()) {
        const int index = m_cmbToken->findText(m_ops.lblToken(), Qt::MatchExactly);
        if (index >= 0)
            m_cmbToken->setCurrentIndex(index);
        else
            m_cmbToken->setCurrentText(m_ops.lblToken());
    }
}

void CallScreen::listDoubleClicked(FlexGrid* grid, int row) {
    if (row < 1 || row >= grid->rows()) return;
    const QString key = grid->textMatrix(row, 0);
    if (key.isEmpty()) return;
    // The supervisor re-calls from the served lists only, always as an
    // ordinary call.
    if (m_kind == Kind::Supervisor && grid == m_fg4) return;
    const QString mode =
        grid == m_fg && m_kind == Kind::Operator ? QStringLiteral("Report") : QString();
    guarded([&] { m_ops.callThis(key.toInt(), mode); });
}

} // namespace tv
