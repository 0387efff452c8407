// One kiosk in a race: issues COUNT tickets of SERVICE as fast as it can.
// Usage: issue_worker SETTINGS_FILE EMBEDDED_FILE SERVICE COUNT DAY
#include "core/db_error.h"
#include "core/station.h"
#include "tickets/token_allocation.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 6) return 2;
    const QDate day = QDate::fromString(a[5], "yyyy-MM-dd");
    tv::Station st("race", a[1]);
    st.setEmbeddedFile(a[2]);
    if (!st.openConnection()) {
        std::fprintf(stderr, "%s\n", qPrintable(st.lastConnectionError()));
        return 1;
    }
    tv::TokenAllocation tokens(st);
    const auto service = static_cast<qint16>(a[3].toInt());
    int issued = 0;
    for (int i = 0; i < a[4].toInt(); ++i) {
        try {
            if (tokens.issue(service, day).outcome == tv::TokenAllocation::Issued::Outcome::Issued)
                ++issued;
        } catch (const tv::DbError& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        }
    }
    std::printf("%d\n", issued);
    return 0;
}
