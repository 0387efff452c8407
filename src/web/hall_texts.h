#pragma once

#include "ticket_status.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace tv::web {

// The languages the visitor's pages speak. The hall's stock voices are
// English and Hindi; the page follows the visitor's browser unless the
// address asks for one (?lang=hi).
enum class Lang { English, Hindi };

Lang langOf(const QString& asked, const QByteArray& acceptLanguage);
QString langCode(Lang lang);

// The words of the pages, by name ("ahead", "nowServing", ...); a name not
// known gives the English word or, failing that, the name itself.
QString word(Lang lang, const QString& name);

// A ticket's status for its page and the API: the facts, and the lines the
// page shows in the visitor's language.
QJsonObject statusJson(const TicketStatus& s, Lang lang);

} // namespace tv::web
