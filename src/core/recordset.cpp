#include "recordset.h"

#include "connection.h"
#include "db_error.h"
#include "schema.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>

namespace tv {

namespace {
const QString invalidNull = QStringLiteral("Invalid use of Null");

bool isIdentifier(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

double toDouble(const QVariant& v) {
    if (v.isNull()) throw DbError(invalidNull);
    bool ok = false;
    double d = 0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        d = v.toDouble(&ok);
        break;
    default:
        d = v.toString().trimmed().toDouble(&ok);
    }
    if (!ok || !std::isfinite(d)) throw DbError(QStringLiteral("Type mismatch"));
    return d;
}
// Times and dates read the same on every engine: the text the embedded
// database stores ("09:00:30", "2016-01-31 13:05:00").
QVariant normalised(QVariant v) {
    if (v.isNull()) return v;
    switch (v.typeId()) {
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default:
        return v;
    }
}
} // namespace

qint16 toInt16(const QVariant& value) {
    const double d = std::nearbyint(toDouble(value));
    if (d < -32768.0 || d > 32767.0) throw DbError(QStringLiteral("Overflow"));
    return static_cast<qint16>(d);
}

RecordSet::RecordSet(std::shared_ptr<Connection> connection)
    : m_connection(std::move(connection)) {}

RecordSet::RecordSet(std::shared_ptr<Connection> connection, const QString& sql,
                     const QVariantList& binds)
    : m_connection(std::move(connection)) {
    open(sql, binds);
}

RecordSet RecordSet::detached(const QStringList& names, const QList<QVariantList>& rows) {
    RecordSet rs{std::shared_ptr<Connection>()};
    for (const QString& n : names) {
        rs.m_names.append(n);
        rs.m_lowerNames.append(n.toLower());
    }
    for (const QVariantList& row : rows) {
        for (int i = 0; i < names.size(); ++i)
            rs.m_cells.append(normalised(row.value(i)));
        ++rs.m_rowCount;
    }
    rs.m_open = true;
    rs.m_dirty = QList<bool>(names.size(), false);
    return rs;
}

RecordSet::~RecordSet() = default;
RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;
RecordSet::RecordSet(const RecordSet&) = default;
RecordSet& RecordSet::operator=(const RecordSet&) = default;

void RecordSet::open(const QString& sql, const QVariantList& binds) {
    close();
    if (!m_connection) throw DbError(QStringLiteral("There is no database connection"));
    QSqlQuery& q = m_connection->run(sql, binds);
    if (q.isSelect()) {
        const QSqlRecord rec = q.record();
        const int n = rec.count();
        m_names.reserve(n);
        m_lowerNames.reserve(n);
        for (int i = 0; i < n; ++i) {
            m_names.append(rec.fieldName(i));
            m_lowerNames.append(rec.fieldName(i).toLower());
        }
        while (q.next()) {
            for (int i = 0; i < n; ++i)
                m_cells.append(normalised(q.value(i)));
            ++m_rowCount;
        }
    }
    q.finish();
    m_sql = sql;
    m_open = true;
    m_current = 0;
    m_dirty = QList<bool>(m_names.size(), false);
}

void RecordSet::close() {
    m_open = false;
    m_names.clear();
    m_lowerNames.clear();
    m_cells.clear();
    m_rowCount = 0;
    m_current = 0;
    m_adding = false;
    m_dirty.clear();
}

void RecordSet::moveNext() {
    if (m_current < m_rowCount) ++m_current;
}

void RecordSet::moveFirst() {
    m_current = 0;
}

int RecordSet::absolutePosition() const {
    return eof() ? 0 : m_current + 1;
}

QString RecordSet::fieldName(int index) const {
    if (index < 0 || index >= m_names.size())
        throw DbError(
            QStringLiteral("Item cannot be found in the collection (field %1)").arg(index));
    return m_names.at(index);
}

int RecordSet::fieldIndex(const QString& name) const {
    return static_cast<int>(m_lowerNames.indexOf(name.toLower()));
}

int RecordSet::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(
            QStringLiteral("Item cannot be found in the collection (field %1)").arg(name));
    return i;
}

void RecordSet::requireRow() const {
    if (!m_open) throw DbError(QStringLiteral("The record set is closed"));
    if (eof())
        throw DbError(
            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted"));
}

QVariant RecordSet::value(int index) const {
    requireRow();
    fieldName(index); // range check
    return m_cells.at(m_current * m_names.size() + index);
}

QVariant RecordSet::value(const QString& name) const {
    return value(requireField(name));
}

QString RecordSet::text(int index) const {
    const QVariant v = value(index);
    if (v.isNull()) throw DbError(invalidNull);
    return v.toString();
}

QString RecordSet::text(const QString& name) const {
    return text(requireField(name));
}

QString RecordSet::textOrEmpty(int index) const {
    const QVariant v = value(index);
    return v.isNull() ? QString() : v.toString();
}

QString RecordSet::textOrEmpty(const QString& name) const {
    return textOrEmpty(requireField(name));
}

qint64 RecordSet::number(int index) const {
    const double d = std::nearbyint(toDouble(value(index)));
    if (d < -9.2e18 || d > 9.2e18) throw DbError(QStringLiteral("Overflow"));
    return static_cast<qint64>(d);
}

qint64 RecordSet::number(const QString& name) const {
    return number(requireField(name));
}

qint16 RecordSet::int16(int index) const {
    return toInt16(value(index));
}

qint16 RecordSet::int16(const QString& name) const {
    return int16(requireField(name));
}

int RecordSet::actualSize(int index) const {
    const QVariant v = value(index);
    return v.isNull() ? 0 : static_cast<int>(v.toString().size());
}

void RecordSet::setValue(int index, const QVariant& v) {
    requireRow();
    fieldName(index);
    m_cells[m_current * m_names.size() + index] = v;
    m_dirty[index] = true;
}

void RecordSet::setValue(const QString& name, const QVariant& v) {
    setValue(requireField(name), v);
}

void RecordSet::addNew() {
    if (!m_open || m_names.isEmpty())
        throw DbError(QStringLiteral("The record set has no fields to add a row to"));
    for (int i = 0; i < m_names.size(); ++i)
        m_cells.append(QVariant());
    m_current = m_rowCount++;
    m_adding = true;
    m_dirty.fill(false);
}

QString RecordSet::baseTable() const {
    static const QRegularExpression from(QStringLiteral("\\bfrom[\\s(]+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(m_sql);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("The record set cannot be written: it has no table"));
    return m.captured(1);
}

QString RecordSet::keyColumnForWrite() const {
    const QString table = baseTable();
    const QString key = schema::keyColumn(table);
    if (key.isEmpty() || m_names.isEmpty() ||
        m_names.first().compare(key, Qt::CaseInsensitive) != 0)
        throw DbError(
            QStringLiteral("The record set cannot be written: its first field is not the key of %1")
                .arg(table));
    return key;
}

void RecordSet::update() {
    requireRow();
    if (!m_connection) throw DbError(QStringLiteral("There is no database connection"));
    const QString table = baseTable();
    const int width = static_cast<int>(m_names.size());
    const int rowStart = m_current * width;
    QStringList columns;
    QVariantList binds;
    for (int i = 0; i < width; ++i) {
        if (!m_dirty.at(i)) continue;
        if (!isIdentifier(m_names.at(i)))
            throw DbError(QStringLiteral("The field %1 cannot be written").arg(m_names.at(i)));
        columns.append(m_names.at(i));
        binds.append(m_cells.at(rowStart + i));
    }

    if (m_adding) {
        QString sql;
        QString key = schema::keyColumn(table);
        if (columns.isEmpty()) {
            sql = QStringLiteral("insert into %1 default values").arg(table);
        } else {
            QStringList marks(columns.size(), QStringLiteral("?"));
            sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(table, columns.join(u','), marks.join(u','));
        }
        const bool keyFirst =
            !key.isEmpty() && m_names.first().compare(key, Qt::CaseInsensitive) == 0;
        if (keyFirst) sql += QStringLiteral(" returning ") + key;
        RecordSet inserted(m_connection, sql, binds);
        if (keyFirst && inserted.recordCount() > 0) m_cells[rowStart] = inserted.value(0);
        m_adding = false;
    } else if (!columns.isEmpty()) {
        const QString key = keyColumnForWrite();
        QStringList sets;
        for (const QString& c : columns)
            sets.append(c + QStringLiteral("=?"));
        binds.append(m_cells.at(rowStart));
        m_connection->execute(
            QStringLiteral("update %1 set %2 where %3=?").arg(table, sets.join(u','), key), binds);
    }
    m_dirty.fill(false);
}

void RecordSet::deleteCurrent() {
    requireRow();
    if (!m_connection) throw DbError(QStringLiteral("There is no database connection"));
    const int width = static_cast<int>(m_names.size());
    if (!m_adding) {
        const QString key = keyColumnForWrite();
        m_connection->execute(QStringLiteral("delete from %1 where %2=?").arg(baseTable(), key),
                              {m_cells.at(m_current * width)});
    }
    m_cells.remove(m_current * width, width);
    --m_rowCount;
    m_adding = false;
    m_dirty.fill(false);
}

} // namespace tv
