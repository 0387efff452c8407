#include "automation.h"

#include "core/ui/flex_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace tv {

namespace {
QWidget* window(const QString& name) {
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

template <typename T> T* anywhere(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        if (auto* found = top->findChild<T*>(name)) return found;
    }
    return nullptr;
}
} // namespace

Automation::Automation(QObject* parent)
    : QObject(parent), m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &Automation::readLine);
}

bool Automation::enabled() {
    return qEnvironmentVariableIntValue("TALLYVOX_AUTOMATION") == 1;
}

void Automation::readLine() {
    char buffer[1024];
    if (!std::fgets(buffer, sizeof buffer, stdin)) {
        m_notifier->setEnabled(false); // the driver went away
        return;
    }
    const QString answer = run(QString::fromUtf8(buffer).trimmed());
    std::fputs(answer.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString Automation::run(const QString& command) {
    const QStringList w = command.split(u' ', Qt::SkipEmptyParts);
    const QString verb = w.value(0);
    if (verb == u"trigger" && w.size() == 2) {
        QAction* a = anywhere<QAction>(w[1]);
        if (!a || !a->isEnabled()) return QStringLiteral("ERR no action ") + w[1];
        a->trigger();
        return QStringLiteral("OK");
    }
    if (verb == u"click" && w.size() == 2) {
        QAbstractButton* b = anywhere<QAbstractButton>(w[1]);
        if (!b) return QStringLiteral("ERR no button ") + w[1];
        b->click();
        return QStringLiteral("OK");
    }
    if (verb == u"has" && w.size() == 2)
        return window(w[1]) ? QStringLiteral("OK") : QStringLiteral("ERR");
    if ((verb == u"touch" && w.size() == 3) || (verb == u"dump" && w.size() == 3)) {
        QWidget* win = window(w[1]);
        if (!win) return QStringLiteral("ERR no window ") + w[1];
        auto* grid = win->findChild<FlexGrid*>(verb == u"touch" ? QStringLiteral("FG") : w[2]);
        if (!grid) return QStringLiteral("ERR no grid");
        if (verb == u"touch") {
            const int row = w[2].toInt();
            if (row < 1 || row >= grid->rows()) return QStringLiteral("ERR no row");
            grid->setRow(row);
            emit grid->cellClicked(row, 1);
            return QStringLiteral("OK");
        }
        QStringList rows;
        for (int r = 1; r < grid->rows(); ++r) {
            QStringList cells;
            for (int c = 1; c < grid->cols(); ++c)
                cells << grid->textMatrix(r, c).simplified();
            rows << cells.join(u'|');
        }
        return QStringLiteral("OK ") + rows.join(u';');
    }
    return QStringLiteral("ERR unknown command");
}

} // namespace tv
