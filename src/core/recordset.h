#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace tv {

class Connection;

// A short-lived set of rows from one statement, as the screens use it: open a
// statement with its values bound, read the record count, walk the rows, read
// fields by position or name, change the current row or add one and write it
// back. The rows are a snapshot taken at open; writes go to the statement's
// first table by its key, which must be the record set's field 0.
// Every failure raises DbError.
class RecordSet final {
public:
    explicit RecordSet(std::shared_ptr<Connection> connection);
    RecordSet(std::shared_ptr<Connection> connection, const QString& sql,
              const QVariantList& binds = {});
    // Rows held in memory, read like rows from the database (a design that is
    // not saved yet, shown as the database would give it); writing is refused.
    static RecordSet detached(const QStringList& names, const QList<QVariantList>& rows);
    ~RecordSet();
    RecordSet(RecordSet&&) noexcept;
    RecordSet& operator=(RecordSet&&) noexcept;
    // A copy holds the same rows and writes to the same connection.
    RecordSet(const RecordSet&);
    RecordSet& operator=(const RecordSet&);

    void open(const QString& sql, const QVariantList& binds = {});
    void close();
    bool isOpen() const { return m_open; }

    int recordCount() const { return m_rowCount; }
    bool eof() const { return m_current >= m_rowCount; }
    bool bof() const { return m_current < 0; }
    void moveNext();
    void moveFirst();
    // 1 for the first row; 0 when there is no current row.
    int absolutePosition() const;

    int fieldCount() const { return static_cast<int>(m_names.size()); }
    QString fieldName(int index) const;
    int fieldIndex(const QString& name) const; // -1 when missing

    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    bool isNull(int index) const { return value(index).isNull(); }
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // The value as text or number; NULL raises "Invalid use of Null".
    QString text(int index) const;
    QString text(const QString& name) const;
    // The value as text, "" for NULL: for the many fields a screen shows as they are.
    QString textOrEmpty(int index) const;
    QString textOrEmpty(const QString& name) const;
    qint64 number(int index) const;
    qint64 number(const QString& name) const;
    // The value as a 16-bit number, as the stations hold keys; NULL, a value
    // out of range ("Overflow") or not a number ("Type mismatch") raise.
    qint16 int16(int index) const;
    qint16 int16(const QString& name) const;
    // Size of the stored value: 0 for NULL, else the length of its text form.
    int actualSize(int index) const;

    void setValue(int index, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);

    void addNew();
    // Writes the added or changed current row back at once.
    void update();
    // Deletes the current row from the table and from the set.
    void deleteCurrent();

private:
    void requireRow() const;
    int requireField(const QString& name) const;
    QString baseTable() const;
    QString keyColumnForWrite() const;

    std::shared_ptr<Connection> m_connection;
    QString m_sql;
    bool m_open = false;
    QList<QString> m_names;
    QList<QString> m_lowerNames;
    QList<QVariant> m_cells; // row-major snapshot
    int m_rowCount = 0;
    int m_current = 0;
    bool m_adding = false;
    QList<bool> m_dirty;
};

// The value as a 16-bit key: shared with the lookups, which convert field 0.
qint16 toInt16(const QVariant& value);

} // namespace tv
