// One counter in a race: presses Next until its service has nothing waiting.
// Usage: call_worker SETTINGS_FILE EMBEDDED_FILE COUNTER SERVICE DAY
#include "calling/calling_ops.h"
#include "core/db_error.h"
#include "core/station.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 6) return 2;
    tv::Station st("race", a[1]);
    // The test chooses the day: a race that runs across midnight stays one day.
    st.clock().setFixed(QDateTime(QDate::fromString(a[5], "yyyy-MM-dd"), QTime(9, 0)));
    st.setEmbeddedFile(a[2]);
    if (!st.openConnection()) {
        std::fprintf(stderr, "%s\n", qPrintable(st.lastConnectionError()));
        return 1;
    }
    st.login.counterId = static_cast<qint16>(a[3].toInt());
    st.login.serviceId = static_cast<qint16>(a[4].toInt());
    st.login.counterDisplayName = "C" + a[3];
    tv::CallingOps ops(st);
    int calls = 0;
    for (;;) {
        try {
            ops.next();
        } catch (const tv::DbError& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.description()));
            return 1;
        }
        if (ops.label1() == tv::CallingOps::State::Idle) break;
        ++calls;
    }
    std::printf("%d\n", calls);
    return 0;
}
