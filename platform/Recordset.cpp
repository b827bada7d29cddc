#include "platform/Recordset.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

#include <algorithm>
#include <sqlite3.h>

namespace rt {

namespace {

QString quoted(const QString& identifier) {
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString utf8(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

DbResult closedDatabase() {
    return DbResult::failure(SQLITE_MISUSE, QStringLiteral("the database has been closed"));
}

} // namespace

Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset Recordset::open(const std::shared_ptr<SqlConnection>& connection, const Query& query,
                          RecordsetType type) {
    Recordset rs;
    rs.m_type = type;
    if (!connection) {
        rs.m_status = DbResult::failure(SQLITE_MISUSE, QStringLiteral("the database is not open"));
        return rs;
    }
    rs.m_status = type == RecordsetType::Snapshot ? rs.openSnapshot(connection, query)
                                                  : rs.openDynaset(connection, query);
    if (!rs.m_status) {
        const DbResult failed = rs.m_status;
        rs = Recordset();
        rs.m_type = type;
        rs.m_status = failed;
        return rs;
    }
    rs.m_open = true;
    rs.m_position = 0;
    return rs;
}

void Recordset::setColumns(const QStringList& names) {
    m_names = names;
    m_index.clear();
    // The first of two like-named columns wins, as a lookup by name can only mean one.
    for (int i = 0; i < names.size(); ++i) {
        const QString key = names.at(i).toCaseFolded();
        if (!m_index.contains(key))
            m_index.insert(key, i);
    }
}

DbResult Recordset::openSnapshot(const std::shared_ptr<SqlConnection>& connection,
                                 const Query& query) {
    SqlStatement st;
    DbResult r = st.prepare(connection->handle(), query);
    if (!r)
        return r;
    QStringList names;
    const int columns = st.columnCount();
    for (int i = 0; i < columns; ++i)
        names.append(st.columnName(i));
    setColumns(names);
    while (st.next(r)) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(st.value(i));
        m_rows.append(row);
    }
    return r;
}

DbResult Recordset::openDynaset(const std::shared_ptr<SqlConnection>& connection,
                                const Query& query) {
    sqlite3* db = connection->handle();
    SqlStatement st;
    DbResult r = st.prepare(db, query);
    if (!r)
        return r;

    const auto notUpdatable = [](const QString& why) {
        return DbResult::failure(SQLITE_MISUSE,
                                 QStringLiteral("the query cannot be updated: %1").arg(why));
    };

    QString schema, table;
    QStringList names, origins;
    const int columns = st.columnCount();
    for (int i = 0; i < columns; ++i) {
        const QString s = utf8(sqlite3_column_database_name(st.handle(), i));
        const QString t = utf8(sqlite3_column_table_name(st.handle(), i));
        const QString o = utf8(sqlite3_column_origin_name(st.handle(), i));
        if (t.isEmpty() || o.isEmpty())
            return notUpdatable(
                QStringLiteral("column %1 is not a column of a table").arg(st.columnName(i)));
        if (i == 0) {
            schema = s;
            table = t;
        } else if (s.compare(schema, Qt::CaseInsensitive) != 0 ||
                   t.compare(table, Qt::CaseInsensitive) != 0) {
            return notUpdatable(QStringLiteral("its columns come from more than one table"));
        }
        names.append(st.columnName(i));
        origins.append(o);
    }
    if (columns == 0)
        return notUpdatable(QStringLiteral("it selects no columns"));

    // The id must be the table's one-column INTEGER PRIMARY KEY: the row's own number,
    // which the database assigns and never changes.
    SqlStatement keys;
    r = keys.prepare(db, Query{QStringLiteral("SELECT name, type FROM pragma_table_info(?, ?) "
                                              "WHERE pk > 0"),
                               {table, schema}});
    if (!r)
        return r;
    QString idName, idType;
    int keyColumns = 0;
    while (keys.next(r)) {
        ++keyColumns;
        idName = keys.value(0).toString();
        idType = keys.value(1).toString();
    }
    if (!r)
        return r;
    if (keyColumns != 1 || idType.compare(u"INTEGER", Qt::CaseInsensitive) != 0)
        return notUpdatable(QStringLiteral("table %1 has no INTEGER PRIMARY KEY").arg(table));
    for (int i = 0; i < columns && m_idField < 0; ++i) {
        if (origins.at(i).compare(idName, Qt::CaseInsensitive) == 0)
            m_idField = i;
    }
    if (m_idField < 0)
        return notUpdatable(QStringLiteral("it does not select the id column %1").arg(idName));

    while (st.next(r))
        m_ids.append(sqlite3_column_int64(st.handle(), m_idField));
    if (!r)
        return r;

    setColumns(names);
    m_connection = connection;
    m_table = quoted(schema) + u'.' + quoted(table);
    for (const QString& o : origins)
        m_columns.append(quoted(o));
    m_selectRow = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                      .arg(m_columns.join(u", "), m_table, m_columns.at(m_idField));
    return DbResult{};
}

void Recordset::close() {
    *this = Recordset();
}

int Recordset::recordCount() const {
    return int(m_type == RecordsetType::Snapshot ? m_rows.size() : m_ids.size());
}

void Recordset::placeAt(qsizetype position) {
    cancelUpdate();
    m_onDeleted = false;
    m_position = std::clamp<qsizetype>(position, -1, recordCount());
}

void Recordset::moveFirst() {
    placeAt(0);
}
void Recordset::moveLast() {
    placeAt(recordCount() - 1);
}

void Recordset::moveNext() {
    // After a delete the cursor already stands on the row that followed.
    placeAt(m_onDeleted ? m_position : m_position + 1);
}

void Recordset::movePrevious() {
    placeAt(m_position - 1);
}

bool Recordset::bof() const {
    return !m_onDeleted && (recordCount() == 0 || m_position < 0);
}

bool Recordset::eof() const {
    return !m_onDeleted && (recordCount() == 0 || m_position >= recordCount());
}

bool Recordset::onRow() const {
    return m_open && !m_onDeleted && m_position >= 0 && m_position < recordCount();
}

int Recordset::absolutePosition() const {
    return onRow() ? int(m_position) : -1;
}

QString Recordset::fieldName(int index) const {
    return m_names.value(index);
}

int Recordset::fieldIndex(const QString& name) const {
    return m_index.value(name.toCaseFolded(), -1);
}

QVariant Recordset::field(const QString& name) const {
    return field(fieldIndex(name));
}

QVariant Recordset::field(int index) const {
    if (index < 0 || index >= fieldCount())
        return QVariant();
    if (m_pending != Pending::None)
        return m_buffer.at(index);
    if (!onRow())
        return QVariant();
    if (m_type == RecordsetType::Snapshot)
        return m_rows.at(m_position).at(index);
    return currentValues().value(index);
}

const QVariantList& Recordset::currentValues() const {
    if (m_currentAt == m_position)
        return m_current;
    m_currentAt = m_position;
    m_current = QVariantList(fieldCount());
    const auto connection = m_connection.lock();
    if (!connection)
        return m_current;
    // A row that is gone or cannot be read shows as Null; edit() reports why.
    SqlStatement st;
    DbResult r = st.prepare(connection->handle(), Query{m_selectRow, {m_ids.at(m_position)}});
    if (r && st.next(r)) {
        for (int i = 0; i < fieldCount(); ++i)
            m_current[i] = st.value(i);
    }
    return m_current;
}

DbResult Recordset::writable() const {
    if (!m_open)
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("the recordset is not open"));
    if (m_type != RecordsetType::Dynaset)
        return DbResult::failure(SQLITE_READONLY, QStringLiteral("the recordset is read-only"));
    if (m_connection.expired())
        return closedDatabase();
    return DbResult{};
}

DbResult Recordset::addNew() {
    DbResult r = writable();
    if (!r)
        return r;
    m_pending = Pending::Adding;
    m_buffer = QVariantList(fieldCount());
    m_changed = QList<bool>(fieldCount(), false);
    return r;
}

DbResult Recordset::edit() {
    DbResult r = writable();
    if (!r)
        return r;
    cancelUpdate();
    if (!onRow())
        return DbResult::failure(SQLITE_NOTFOUND, QStringLiteral("there is no current row"));

    // Read afresh so the edit starts from what the table holds now.
    SqlStatement st;
    r = st.prepare(m_connection.lock()->handle(), Query{m_selectRow, {m_ids.at(m_position)}});
    if (!r)
        return r;
    if (!st.next(r))
        return r ? DbResult::failure(SQLITE_NOTFOUND,
                                     QStringLiteral("the row has been deleted meanwhile"))
                 : r;
    m_current = QVariantList(fieldCount());
    for (int i = 0; i < fieldCount(); ++i)
        m_current[i] = st.value(i);
    m_currentAt = m_position;

    m_pending = Pending::Editing;
    m_buffer = m_current;
    m_changed = QList<bool>(fieldCount(), false);
    return DbResult{};
}

bool Recordset::setField(const QString& name, const QVariant& value) {
    const int index = fieldIndex(name);
    if (m_pending == Pending::None || index < 0 || index == m_idField)
        return false;
    m_buffer[index] = value;
    m_changed[index] = true;
    return true;
}

void Recordset::cancelUpdate() {
    m_pending = Pending::None;
    m_buffer.clear();
    m_changed.clear();
}

DbResult Recordset::update() {
    DbResult r = writable();
    if (!r)
        return r;
    if (m_pending == Pending::None)
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("update without addNew or edit"));
    sqlite3* db = m_connection.lock()->handle();

    QStringList columns;
    QVariantList values;
    for (int i = 0; i < fieldCount(); ++i) {
        if (m_changed.at(i)) {
            columns.append(m_columns.at(i));
            values.append(m_buffer.at(i));
        }
    }

    if (m_pending == Pending::Adding) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2")
                      .arg(m_table, m_columns.at(m_idField));
        } else {
            QStringList markers;
            for (qsizetype i = 0; i < columns.size(); ++i)
                markers.append(QStringLiteral("?"));
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                      .arg(m_table, columns.join(u", "), markers.join(u", "),
                           m_columns.at(m_idField));
        }
        SqlStatement st;
        r = st.prepare(db, Query{sql, values});
        if (!r)
            return r;
        if (!st.next(r))
            return r ? DbResult::failure(SQLITE_ERROR, QStringLiteral("the row got no id")) : r;
        const qint64 id = sqlite3_column_int64(st.handle(), 0);
        r = st.run();
        if (!r)
            return r;
        const bool atEnd = m_position >= recordCount();
        m_ids.append(id);
        if (atEnd)
            m_position = recordCount();
        m_lastModified = id;
    } else {
        const qint64 id = m_ids.at(m_position);
        if (!columns.isEmpty()) {
            for (QString& c : columns)
                c += QStringLiteral(" = ?");
            values.append(id);
            SqlStatement st;
            r = st.prepare(db,
                           Query{QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                     .arg(m_table, columns.join(u", "), m_columns.at(m_idField)),
                                 values});
            if (r)
                r = st.run();
            if (!r)
                return r;
            if (r.rowsAffected == 0)
                return DbResult::failure(SQLITE_NOTFOUND,
                                         QStringLiteral("the row has been deleted meanwhile"));
        }
        m_lastModified = id;
    }
    cancelUpdate();
    m_currentAt = -2;
    return DbResult{};
}

DbResult Recordset::deleteCurrent() {
    DbResult r = writable();
    if (!r)
        return r;
    cancelUpdate();
    if (!onRow())
        return DbResult::failure(SQLITE_NOTFOUND, QStringLiteral("there is no current row"));
    SqlStatement st;
    r = st.prepare(
        m_connection.lock()->handle(),
        Query{QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_table, m_columns.at(m_idField)),
              {m_ids.at(m_position)}});
    if (r)
        r = st.run();
    if (!r)
        return r;
    if (r.rowsAffected == 0)
        return DbResult::failure(SQLITE_NOTFOUND,
                                 QStringLiteral("the row has been deleted meanwhile"));
    m_ids.removeAt(m_position);
    m_onDeleted = true;
    m_currentAt = -2;
    return DbResult{};
}

} // namespace rt
