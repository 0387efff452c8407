#include "schema.h"

#include "connection.h"
#include "db_error.h"
#include "recordset.h"

#include <QHash>
#include <functional>
#include <vector>

namespace tv::schema {

namespace {

// Kinds of column; each engine's dialect names the type.
enum class T { Key, Int, Big, Text, NameText, Time, DateTime, Real, Flag };

struct Column {
    const char* name;
    T type;
};

struct Table {
    const char* name;
    std::vector<Column> columns; // in stored order: many readers address fields by position
    int since = 1;               // the schema version that created it
};

// Version 1: every table of the hall with its columns in the order the screens
// read them. Later versions add tables of their own (never columns to these).
const std::vector<Table>& tables() {
    static const std::vector<Table> all{
        {"tblDept",
         {{"deptAuto", T::Key},
          {"deptName", T::NameText},
          {"deptDesc", T::Text},
          {"active", T::Flag}}},
        {"tblService",
         {{"servAuto", T::Key},
          {"deptAuto", T::Int},
          {"servName", T::NameText},
          {"servdesc", T::Text},
          {"active", T::Flag},
          {"startno", T::Int},
          {"endno", T::Int},
          {"abrno", T::Text}}},
        {"tblServiceNo",
         {{"snoAuto", T::Key},
          {"servAuto", T::Int},
          {"sdate", T::DateTime},
          {"sno", T::Int},
          {"active", T::Flag}}},
        {"tblCounter",
         {{"cntAuto", T::Key},
          {"servAuto", T::Int},
          {"contName", T::NameText},
          {"displayName", T::Text},
          {"username", T::NameText},
          {"pass", T::Text},
          {"active", T::Flag}}},
        {"tblTicket",
         {{"tickAuto", T::Key},
          {"servAuto", T::Int},
          {"tickNo", T::Int},
          {"tickDate", T::Text},
          {"tickTime", T::Time},
          {"call", T::Flag},
          {"no_abr", T::Text},
          {"attended", T::Int},
          {"attTime", T::Time},
          {"finished", T::Time},
          {"status", T::Text},
          {"ref", T::Text}}},
        {"tblCall",
         {{"callauto", T::Key},
          {"servAuto", T::Int},
          {"callToken", T::Text},
          {"callCounter", T::Text},
          {"status", T::Text},
          {"tickAuto", T::Int},
          {"tickDate", T::Text},
          {"callRoom", T::Text}}},
        {"tbltheme",
         {{"themeauto", T::Key},
          {"themename", T::NameText},
          {"colums", T::Int},
          {"rows", T::Int},
          {"colwidth", T::Text},
          {"rowheight", T::Real},
          {"logo", T::Text},
          {"showtime", T::Flag},
          {"clockfile", T::Text},
          {"timefont", T::Text},
          {"timesize", T::Real},
          {"timecolor", T::Big},
          {"backgroundclr", T::Big},
          {"linecolor", T::Big},
          {"altcolr", T::Big},
          {"bgimage", T::Text},
          {"hdfont", T::Text},
          {"hdclrbg", T::Big},
          {"hdfntclr", T::Big},
          {"hdfntsize", T::Real},
          {"fntcrr", T::Text},
          {"sizecrr", T::Real},
          {"clrcrr", T::Big},
          {"crrbg", T::Big},
          {"fntval", T::Text},
          {"sizeval", T::Real},
          {"clrval", T::Big},
          {"valbg", T::Big},
          {"type", T::Text},
          {"screenbg", T::Big},
          {"linewidth", T::Real},
          {"videofile", T::Text},
          {"onlinevideo", T::Text},
          {"volume", T::Real},
          {"movie", T::Flag},
          {"ttlName", T::Text},
          {"ttlfont", T::Text},
          {"ttlcolor", T::Big},
          {"ttlsize", T::Real},
          // addressed by name from here on
          {"scroll", T::Flag},
          {"tformat", T::Text},
          {"enableH", T::Flag},
          {"Column1", T::Text},
          {"Column2", T::Text},
          {"img1", T::Text},
          {"img2", T::Text},
          {"newsBG", T::Big}}},
        {"tblpos", {{"posauto", T::Key},     {"themeauto", T::Int},   {"logoleft", T::Real},
                    {"logotop", T::Real},    {"logowidth", T::Real},  {"logoheight", T::Real},
                    {"timeleft", T::Real},   {"timetop", T::Real},    {"timewidth", T::Real},
                    {"timeheight", T::Real}, {"tblleft", T::Real},    {"tbltop", T::Real},
                    {"tblwidth", T::Real},   {"tblheight", T::Real},  {"videoleft", T::Real},
                    {"videotop", T::Real},   {"videowidth", T::Real}, {"videoheight", T::Real},
                    {"formleft", T::Real},   {"formtop", T::Real},    {"formwidth", T::Real},
                    {"formheight", T::Real}, {"ttlleft", T::Real},    {"ttltop", T::Real},
                    {"ttlwidth", T::Real},   {"ttlheight", T::Real},  {"newsleft", T::Real},
                    {"newstop", T::Real},    {"newswidth", T::Real},  {"newsheight", T::Real},
                    {"newsBG", T::Big}}},
        {"tblheader",
         {{"hdrAuto", T::Key},
          {"hdrtext1", T::Text},
          {"hdrtext2", T::Text},
          {"hdrtext3", T::Text},
          {"hdrtext4", T::Text},
          {"hdrtext5", T::Text},
          {"hdrtext6", T::Text},
          {"hdrspacer", T::Text},
          {"themeauto", T::Int}}},
        {"tblscroll",
         {{"scrollAuto", T::Key},
          {"message", T::Text},
          {"msgrtf", T::Text},
          {"rtfcopy", T::Text},
          {"active", T::Flag},
          {"font", T::Text},
          {"size", T::Real},
          {"color", T::Big},
          {"bold", T::Flag},
          {"italic", T::Flag},
          {"direction", T::Text}}},
        {"news_data", {{"news_auto", T::Key}, {"news_Rtf", T::Text}}},
        {"tbluser",
         {{"userAuto", T::Key},
          {"username", T::NameText},
          {"password", T::Text},
          {"userType", T::Text}}},
        {"tblComp", {{"compAuto", T::Key}, {"compName", T::Text}, {"compAddress", T::Text}}},
        {"tblVideo",
         {{"vidAuto", T::Key}, {"vidFile", T::Text}, {"vidDesc", T::Text}, {"active", T::Flag}}},
        // Version 2: the remembered logins of the stations. A station keeps a
        // random token; only its hash is kept here, so neither the settings
        // file nor this table holds anything that logs in by itself elsewhere.
        {"tv_login_token",
         {{"tokenAuto", T::Key},
          {"role", T::Text},     // "A" administrator (tbluser), "C" counter (tblCounter)
          {"ownerAuto", T::Int}, // userAuto or cntAuto
          {"tokenHash", T::Text},
          {"station", T::Text}, // the profile that remembers it, for the administrator's eyes
          {"created", T::DateTime}},
         2},
        // Version 4: the code a visitor's phone follows a ticket by. Only its
        // digest is kept, so the table hands out nothing that opens a status page.
        {"tv_ticket_code", {{"codeAuto", T::Key}, {"tickAuto", T::Int}, {"codeHash", T::Text}}, 4},
        // Version 5: the keys of systems that take tickets through the web
        // service (an appointment system, a web form). Only the digest is kept;
        // a revoked key keeps its row so the list still tells who had one.
        {"tv_api_key",
         {{"keyAuto", T::Key},
          {"keyName", T::NameText},
          {"keyHash", T::Text},
          {"created", T::DateTime},
          {"revoked", T::DateTime}},
         5},
    };
    return all;
}

QString typeName(const Dialect& d, T t) {
    switch (t) {
    case T::Key:
        return d.identityKey();
    case T::Int:
        return QStringLiteral("integer");
    case T::Big:
        return QStringLiteral("bigint");
    case T::Text:
        return QStringLiteral("text");
    case T::NameText:
        return d.caseFreeText();
    case T::Time:
        return d.timeOfDay();
    case T::DateTime:
        return d.dateTime();
    case T::Real:
        return d.singleReal();
    case T::Flag:
        return QStringLiteral("integer");
    }
    return QStringLiteral("text");
}

void createTable(Connection& c, const Table& t) {
    QStringList cols;
    for (const Column& col : t.columns)
        cols.append(QString::fromLatin1(col.name) + u' ' + typeName(c.dialect(), col.type));
    c.execute(QStringLiteral("create table %1 (%2)")
                  .arg(QString::fromLatin1(t.name), cols.join(QStringLiteral(", "))));
}

void createTablesOf(Connection& c, int version) {
    for (const Table& t : tables())
        if (t.since == version) createTable(c, t);
}

void createTables(Connection& c) {
    for (const QString& s : c.dialect().schemaPrelude())
        c.execute(s);
    createTablesOf(c, 1);
    // The hot queries: a service's waiting tickets of today in number order,
    // today's unshown calls newest first, a counter's tickets of today.
    c.execute(QStringLiteral(
        "create index ix_ticket_queue on tblTicket (servAuto, tickDate, call, tickNo)"));
    // One number per service and day, whatever a station does: the backstop
    // behind the numbering lock.
    c.execute(QStringLiteral(
        "create unique index ux_ticket_number on tblTicket (servAuto, tickDate, tickNo)"));
    c.execute(QStringLiteral("create index ix_ticket_counter on tblTicket (attended, tickDate)"));
    c.execute(QStringLiteral("create index ix_call_feed on tblCall (tickDate, status, callauto)"));
    for (const QString& s : c.dialect().schemaEpilogue())
        c.execute(s);
    // The company row every ticket prints from.
    c.execute(
        QStringLiteral("insert into tblComp (compAuto, compName, compAddress) values (1, '', '')"));
}

void addLoginTokens(Connection& c) {
    createTablesOf(c, 2);
    c.execute(QStringLiteral("create unique index ux_login_token on tv_login_token (tokenHash)"));
    c.execute(
        QStringLiteral("create index ix_login_token_owner on tv_login_token (role, ownerAuto)"));
}

// Reports and statistics over a range of days for the whole hall.
void addDayIndex(Connection& c) {
    c.execute(QStringLiteral("create index ix_ticket_day on tblTicket (tickDate)"));
}

void addTicketCodes(Connection& c) {
    createTablesOf(c, 4);
    c.execute(QStringLiteral("create unique index ux_ticket_code on tv_ticket_code (codeHash)"));
    c.execute(QStringLiteral("create index ix_ticket_code_ticket on tv_ticket_code (tickAuto)"));
}

void addApiKeys(Connection& c) {
    createTablesOf(c, 5);
    c.execute(QStringLiteral("create unique index ux_api_key on tv_api_key (keyHash)"));
}

struct Migration {
    int version;
    std::function<void(Connection&)> apply;
};

const std::vector<Migration>& migrations() {
    static const std::vector<Migration> all{
        {1, createTables},   {2, addLoginTokens}, {3, addDayIndex},
        {4, addTicketCodes}, {5, addApiKeys},
    };
    return all;
}

const Table* findTable(const QString& name) {
    for (const Table& t : tables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

bool versionTableExists(Connection& c) {
    RecordSet rs(c.shared_from_this(), c.dialect().columnListQuery(),
                 {QStringLiteral("tv_schema_version")});
    return rs.recordCount() > 0;
}

} // namespace

int currentVersion() {
    return migrations().back().version;
}

int storedVersion(Connection& c) {
    if (!versionTableExists(c)) return 0;
    RecordSet rs(c.shared_from_this(),
                 QStringLiteral("select max(version) from tv_schema_version"));
    return rs.recordCount() == 0 || rs.isNull(0) ? 0 : static_cast<int>(rs.number(0));
}

void migrate(Connection& c) {
    for (const Migration& m : migrations()) {
        // The version check sits inside the write transaction: two stations
        // starting on a new database at once must not both create the tables.
        Connection::WriteTransaction tx(c);
        if (const QString lock = c.dialect().advisoryLock(); !lock.isEmpty())
            c.execute(lock, {int(LockKind::Schema), 0});
        if (!versionTableExists(c))
            c.execute(QStringLiteral("create table tv_schema_version (version integer not null)"));
        if (storedVersion(c) >= m.version) continue;
        m.apply(c);
        c.execute(QStringLiteral("insert into tv_schema_version (version) values (?)"),
                  {m.version});
        tx.commit();
    }
}

QString keyColumn(const QString& table) {
    const Table* t = findTable(table);
    return t ? QString::fromLatin1(t->columns.front().name) : QString();
}

QStringList tableNames() {
    QStringList names;
    for (const Table& t : tables())
        names.append(QString::fromLatin1(t.name));
    return names;
}

QStringList columnNames(const QString& table) {
    QStringList names;
    if (const Table* t = findTable(table))
        for (const Column& c : t->columns)
            names.append(QString::fromLatin1(c.name));
    return names;
}

bool hasColumn(const QString& table, const QString& column) {
    return columnNames(table).contains(column, Qt::CaseInsensitive);
}

} // namespace tv::schema
