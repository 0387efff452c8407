// One appointment system in a race: takes COUNT tickets of SERVICE through the
// web service's API, one after another, as fast as it answers.
// Usage: api_issue_worker PORT KEY SERVICE COUNT
#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 5) return 2;
    QNetworkAccessManager nam;
    QNetworkRequest rq(QUrl(QStringLiteral("http://127.0.0.1:%1/api/v1/tickets").arg(a[1])));
    rq.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    rq.setRawHeader("X-Api-Key", a[2].toLatin1());
    rq.setTransferTimeout(30000);
    const QByteArray body = QJsonDocument(QJsonObject{{"service", a[3].toInt()}}).toJson();
    int issued = 0;
    for (int i = 0; i < a[4].toInt(); ++i) {
        QNetworkReply* r = nam.post(rq, body);
        QEventLoop wait;
        QObject::connect(r, &QNetworkReply::finished, &wait, &QEventLoop::quit);
        wait.exec();
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 201)
            ++issued;
        else
            std::fprintf(stderr, "%d %s\n", status, r->readAll().constData());
        r->deleteLater();
    }
    std::printf("%d\n", issued);
    return 0;
}
