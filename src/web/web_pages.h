#pragma once

#include "hall_texts.h"
#include "ticket_status.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace tv {

class Station;

namespace web {

// Fills a page template: every {{name}} is replaced, in one pass, by the
// HTML-escaped value of `name` ("" for a name not given). Values never meet
// the template's own markup, so a service called "<script>" or "{{token}}"
// is shown as those characters.
QByteArray fillTemplate(const QByteArray& page, const QHash<QString, QString>& values);

// The visitor's status page of a ticket, and the page for a code that is not
// one (the same for a malformed code and one never issued).
QByteArray statusPage(const TicketStatus& s, const QString& code, Lang lang);
QByteArray notFoundPage(Lang lang);

// A static file of the pages (HTML, CSS, JS, the chime) by its name under
// /static/; nothing for a name that is not one of them. Only a fixed list of
// names is served, so no path ever reaches the file system.
struct Asset {
    QByteArray mime;
    QByteArray body;
};
std::optional<Asset> staticAsset(const QString& name);

// The board's page data: the theme's look, today's latest calls for the
// counters `counters` (all when empty), the ticker's messages. Nothing for
// a theme that does not exist. Raises DbError.
std::optional<QJsonObject> boardJson(Station& station, const QString& themeName,
                                     QList<int>* counters = nullptr);

// The theme a board page asks for: its name, else the station's theme.
QString boardThemeName(Station& station, const QString& asked);

// A colour value as stored (red in the low byte) as "#rrggbb".
QString cssColour(qint64 stored);

// A short chime (WAV) made once in memory: no sound file to ship or lose.
QByteArray chimeWav();

} // namespace web
} // namespace tv
