#include "hall_texts.h"

#include <QHash>
#include <QJsonValue>

namespace tv::web {

namespace {

struct Words {
    const char* name;
    const char* english;
    const char* hindi;
};

// Short, plain words: they are read on a small phone across a busy hall.
const Words table[] = {
    {"title", "Your ticket", "आपका टिकट"},
    {"service", "Service", "सेवा"},
    {"ahead", "Ahead of you", "आपसे पहले"},
    {"nowServing", "Now serving", "अभी बुलाया गया"},
    {"wait", "Estimated wait", "अनुमानित प्रतीक्षा"},
    {"estimating", "Estimating…", "अनुमान लगाया जा रहा है…"},
    {"minutes", "About %1 min", "लगभग %1 मिनट"},
    {"youAreNext", "You are next", "अगली बारी आपकी है"},
    {"waiting", "Please wait, we will call you", "कृपया प्रतीक्षा करें, आपको बुलाया जाएगा"},
    {"called", "It is your turn! Please go to", "आपकी बारी है! कृपया यहाँ जाएँ"},
    {"finished", "Served. Thank you for your visit", "सेवा पूरी हुई। धन्यवाद"},
    {"cancelled", "This ticket was cancelled", "यह टिकट रद्द कर दिया गया"},
    {"transferred", "Your ticket was moved to", "आपका टिकट यहाँ भेजा गया"},
    {"notFound", "Ticket not found", "टिकट नहीं मिला"},
    {"notFoundHint", "Please check the address on your ticket.", "कृपया टिकट पर दिया पता जाँचें।"},
    {"live", "Live", "लाइव"},
    {"offline", "Reconnecting… (updates every 15 s)", "फिर से जुड़ रहा है… (हर 15 सेकंड)"},
    {"soundOn", "Sound on", "आवाज़ चालू"},
    {"soundOff", "Sound off", "आवाज़ बंद"},
    {"token", "Token", "टोकन"},
    {"counter", "Counter", "काउंटर"},
    {"none", "—", "—"},
};

} // namespace

Lang langOf(const QString& asked, const QByteArray& acceptLanguage) {
    if (asked.compare(u"hi", Qt::CaseInsensitive) == 0) return Lang::Hindi;
    if (asked.compare(u"en", Qt::CaseInsensitive) == 0) return Lang::English;
    // The browser's first choice decides ("hi-IN,hi;q=0.9,en;q=0.8").
    const QByteArray first = acceptLanguage.trimmed().toLower().left(2);
    return first == "hi" ? Lang::Hindi : Lang::English;
}

QString langCode(Lang lang) {
    return lang == Lang::Hindi ? QStringLiteral("hi") : QStringLiteral("en");
}

QString word(Lang lang, const QString& name) {
    static const QHash<QString, const Words*> byName = [] {
        QHash<QString, const Words*> h;
        for (const Words& w : table)
            h.insert(QString::fromLatin1(w.name), &w);
        return h;
    }();
    const Words* w = byName.value(name);
    if (!w) return name;
    return QString::fromUtf8(lang == Lang::Hindi ? w->hindi : w->english);
}

QJsonObject statusJson(const TicketStatus& s, Lang lang) {
    QJsonObject o;
    o[QStringLiteral("token")] = s.token;
    o[QStringLiteral("service")] = s.serviceName;
    o[QStringLiteral("stage")] = stageName(s.stage);
    o[QStringLiteral("ahead")] = s.ahead;
    o[QStringLiteral("nowServing")] = s.nowServing;
    o[QStringLiteral("counter")] = s.counter;
    o[QStringLiteral("waitMinutes")] =
        s.wait.known ? QJsonValue(s.wait.minutes) : QJsonValue(QJsonValue::Null);

    const bool queued = s.stage == Stage::Waiting || s.stage == Stage::Transferred;
    QString waitText;
    if (!queued)
        waitText = word(lang, QStringLiteral("none"));
    else if (s.ahead == 0)
        waitText = word(lang, QStringLiteral("youAreNext"));
    else if (!s.wait.known)
        waitText = word(lang, QStringLiteral("estimating"));
    else
        waitText = word(lang, QStringLiteral("minutes")).arg(s.wait.minutes);

    QJsonObject t;
    t[QStringLiteral("headline")] = word(lang, stageName(s.stage));
    t[QStringLiteral("ahead")] =
        queued ? QString::number(s.ahead) : word(lang, QStringLiteral("none"));
    t[QStringLiteral("nowServing")] =
        s.nowServing.isEmpty() ? word(lang, QStringLiteral("none")) : s.nowServing;
    t[QStringLiteral("wait")] = waitText;
    // The counter is what the visitor must find: shown when called (and where
    // a transfer sent the ticket), not once it is over.
    t[QStringLiteral("counter")] =
        s.stage == Stage::Called || s.stage == Stage::Transferred ? s.counter : QString();
    o[QStringLiteral("texts")] = t;
    return o;
}

} // namespace tv::web
