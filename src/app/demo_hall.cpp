#include "demo_hall.h"

#include "core/connection.h"
#include "core/password_hash.h"
#include "core/paths.h"
#include "core/recordset.h"
#include "core/schema.h"
#include "core/station.h"

namespace tv {

namespace {

struct DemoCounter {
    const char* name;
    const char* display;
    const char* service;
    const char* user;
    const char* password;
};

const DemoCounter demoCounters[] = {
    {"Room 1", "Room 1", "Blood Test", "lab1", "lab1-pass"},
    {"Room 2", "Room 2", "Blood Test", "lab2", "lab2-pass"},
    {"X-Ray 1", "X-Ray 1", "X-Ray", "xray1", "xray1-pass"},
    {"Room 3", "Room 3", "General Medicine", "gp1", "gp1-pass"},
    {"Room 4", "Room 4", "General Medicine", "gp2", "gp2-pass"},
    {"Pharmacy 1", "Desk 1", "Pharmacy", "pharm1", "pharm1-pass"},
};

const char* const adminName = "ADMIN";
const char* const adminPassword = "admin-demo";

// Inserts a row and gives its new key.
qint64 insertKey(Connection& c, const QString& sql, const QVariantList& binds) {
    const QString table = sql.section(u' ', 2, 2);
    RecordSet rs(c.shared_from_this(),
                 sql + QStringLiteral(" returning ") + schema::keyColumn(table), binds);
    return rs.number(0);
}

// Remembers a login on a station profile the way a login with Memorize
// ticked does: a token of its own, its digest in the database.
void rememberLogin(Connection& c, const QString& profile, const QString& type, const QString& name,
                   qint64 owner, const QString& counter, const StationSettings& from) {
    const QString token = newLoginToken();
    c.execute(QStringLiteral("insert into tv_login_token (role, ownerAuto, tokenHash, station,"
                             " created) values (?, ?, ?, ?, current_timestamp)"),
              {type == QStringLiteral("optAdmin") ? QStringLiteral("A") : QStringLiteral("C"),
               owner, loginTokenDigest(token), profile});
    StationSettings s(paths::settingsFile(profile));
    for (const SettingKey& k : {keys::SqlHost, keys::SqlDatabase, keys::SqlUser, keys::SqlPassword,
                                keys::SqlAuthentication})
        s.set(k, from.text(k));
    s.set(keys::LoginRemember, 1);
    s.set(keys::LoginType, type);
    s.set(keys::LoginName, name);
    s.set(keys::LoginPass, token);
    s.set(keys::LoginCounter, counter);
}

} // namespace

QStringList fillDemoHall(Station& station) {
    auto c = station.dbConnection;
    schema::migrate(*c);
    Connection::WriteTransaction tx(*c);
    for (const char* table :
         {"tblCall", "tblTicket", "tblCounter", "tblService", "tblDept", "tbluser", "tbltheme",
          "tblpos", "tblheader", "tblscroll", "tblServiceNo", "tv_login_token"})
        c->execute(QStringLiteral("delete from %1").arg(QLatin1String(table)));

    c->execute(QStringLiteral("update tblComp set compName=?, compAddress=? where compAuto=1"),
               {QStringLiteral("City Clinic"), QStringLiteral("12 Harbour Road")});

    const qint64 lab = insertKey(
        *c, QStringLiteral("insert into tblDept (deptName, deptDesc, active) values (?, ?, 1)"),
        {QStringLiteral("Laboratory"), QStringLiteral("Samples and scans")});
    const qint64 opd = insertKey(
        *c, QStringLiteral("insert into tblDept (deptName, deptDesc, active) values (?, ?, 1)"),
        {QStringLiteral("Out-Patients"), QStringLiteral("Doctors and pharmacy")});
    struct Service {
        qint64 dept;
        const char* name;
        const char* prefix;
        int start;
        int end;
        const char* desc;
    };
    const Service services[] = {
        {lab, "Blood Test", "A", 1, 500, "Please keep your arm sleeve loose"},
        {lab, "X-Ray", "X", 100, 300, "Remove metal objects before your turn"},
        {opd, "General Medicine", "G", 1, 999, "Have your previous prescriptions ready"},
        {opd, "Pharmacy", "P", 1, 999, "Show your prescription at the desk"},
    };
    QHash<QString, qint64> serviceKeys;
    for (const Service& s : services)
        serviceKeys.insert(
            QLatin1String(s.name),
            insertKey(*c,
                      QStringLiteral("insert into tblService (deptAuto, servName, servdesc, active,"
                                     " startno, endno, abrno) values (?, ?, ?, 1, ?, ?, ?)"),
                      {s.dept, QLatin1String(s.name), QLatin1String(s.desc), s.start, s.end,
                       QLatin1String(s.prefix)}));

    QStringList lines;
    lines << QStringLiteral("Demo hall: City Clinic");
    QHash<QString, qint64> counterKeys;
    for (const DemoCounter& k : demoCounters) {
        counterKeys.insert(
            QLatin1String(k.name),
            insertKey(*c,
                      QStringLiteral("insert into tblCounter (servAuto, contName, displayName,"
                                     " username, pass, active) values (?, ?, ?, ?, ?, 1)"),
                      {serviceKeys.value(QLatin1String(k.service)), QLatin1String(k.name),
                       QLatin1String(k.display), QLatin1String(k.user),
                       hashPassword(QLatin1String(k.password))}));
        lines << QStringLiteral("  counter %1 (%2): user %3, password %4")
                     .arg(QLatin1String(k.name), QLatin1String(k.service), QLatin1String(k.user),
                          QLatin1String(k.password));
    }
    const qint64 adminKey = insertKey(
        *c,
        QStringLiteral("insert into tbluser (username, password, userType) values (?, ?, 'Admin')"),
        {QLatin1String(adminName), hashPassword(QLatin1String(adminPassword))});
    lines << QStringLiteral("  administrator: user %1, password %2")
                 .arg(QLatin1String(adminName), QLatin1String(adminPassword));

    // The stock theme: a dark board for a 1920 x 1080 hall screen, the list
    // on the left, a station clock on the right, the ticker at the foot.
    const QString themeName = station.settings().text(keys::ThemeName);
    const qint64 theme =
        insertKey(*c,
                  QStringLiteral("insert into tbltheme (themename, colums, rows, colwidth, "
                                 "rowheight, showtime, clockfile, timefont, timesize,"
                                 " timecolor, backgroundclr, linecolor, altcolr, hdfont, hdclrbg, "
                                 "hdfntclr, hdfntsize, fntcrr,"
                                 " sizecrr, clrcrr, crrbg, fntval, sizeval, clrval, valbg, type, "
                                 "screenbg, linewidth, volume,"
                                 " movie, ttlName, ttlfont, ttlcolor, ttlsize, scroll, tformat, "
                                 "enableH, Column1, Column2, newsBG)"
                                 " values (?, 2, 7, '3600;5400', 800, 1, 'station.svg', 'Arial', "
                                 "20, 16777215, 3342336, 16777215, 5570560,"
                                 " 'Arial', 8388608, 16777215, 22, 'Arial', 44, 65535, 3342336, "
                                 "'Arial', 30, 16777215, 3342336,"
                                 " 'Horrizontal', 1644825, 2, 5, 0, ?, 'Arial', 16777215, 26, 0, "
                                 "'hh:mm', 1, 'Token', 'Counter',"
                                 " 8388608)"),
                  {themeName, QStringLiteral("City Clinic - please wait for your token")});
    // Half-size twips of the whole screen (14400 x 8100): the board doubles them.
    c->execute(
        QStringLiteral(
            "insert into tblpos (themeauto, logoleft, logotop, logowidth, logoheight, timeleft,"
            " timetop, timewidth, timeheight, tblleft, tbltop, tblwidth, tblheight, videoleft,"
            " videotop, videowidth, videoheight, formleft, formtop, formwidth, formheight, ttlleft,"
            " ttltop, ttlwidth, ttlheight, newsleft, newstop, newswidth, newsheight, newsBG)"
            " values (?, 200, 100, 1500, 650, 9700, 900, 4400, 3100, 300, 900, 9000, 6400,"
            " 9700, 4200, 4400, 3100, 0, 0, 14400, 8100, 1900, 100, 12300, 650,"
            " 0, 7500, 14400, 500, 8388608)"),
        {theme});
    for (const char* text :
         {"Welcome to City Clinic. Please take a ticket at the kiosk.",
          "Keep your ticket: your token is called on this screen.", "Pharmacy is open until 9 pm."})
        c->execute(
            QStringLiteral(
                "insert into tblscroll (message, msgrtf, rtfcopy, active, font, size, color, bold,"
                " italic, direction) values (?, ?, ?, 1, 'Arial', 18, 16777215, 0, 0, 'Left')"),
            {QLatin1String(text), QLatin1String(text), QLatin1String(text)});
    // The stations of the demo: a display station that starts its board by
    // itself, and two counters that log in by themselves.
    const StationSettings& from = station.settings();
    rememberLogin(*c, QStringLiteral("display"), QStringLiteral("optAdmin"),
                  QLatin1String(adminName), adminKey, {}, from);
    {
        StationSettings display(paths::settingsFile(QStringLiteral("display")));
        display.set(keys::DisplayAuto, 1);
        display.set(keys::ThemeName, themeName);
        display.set(keys::VoiceFormat1, QStringLiteral("english|ding|token|*|please|roomno|#"));
    }
    rememberLogin(*c, QStringLiteral("counter1"), QStringLiteral("optCounter"),
                  QStringLiteral("lab1"), counterKeys.value(QStringLiteral("Room 1")),
                  QStringLiteral("Room 1"), from);
    rememberLogin(*c, QStringLiteral("counter2"), QStringLiteral("optCounter"),
                  QStringLiteral("gp1"), counterKeys.value(QStringLiteral("Room 3")),
                  QStringLiteral("Room 3"), from);
    {
        // One program per desktop can own F4 to F7: counter1 takes them, so
        // the second counter on the same desktop does not try and complain.
        StationSettings counter2(paths::settingsFile(QStringLiteral("counter2")));
        counter2.set(keys::ShortcutEnable, 0);
    }
    tx.commit();
    lines << QStringLiteral(
        "Station profiles: display (board and console), counter1 (Room 1, Blood Test),"
        " counter2 (Room 3, General Medicine; F4-F7 belong to counter1)");
    return lines;
}

} // namespace tv
