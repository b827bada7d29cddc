#pragma once

#include "platform/DbResult.h"
#include "platform/Query.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace rt {

class SqlConnection;

enum class RecordsetType {
    // Read-only. Every row and value is read when it opens; later changes by anyone do
    // not show in it. For lists and reports.
    Snapshot,
    // Updatable. The ids of the rows the query selects are fixed when it opens; the
    // values of a row are read from the table when the cursor comes to it, so they are
    // current. For writing rows.
    Dynaset,
};

// The rows of one query, walked with a cursor (obtained from Database::openRecordset).
//
// Right after opening, the cursor is on the first row; with no rows bof() and eof() are
// both true. Fields are found by name without regard to letter case; Null reads as an
// invalid QVariant; integers read as qlonglong, text as QString.
//
// A dynaset needs its query to select columns of one table only (`SELECT * FROM
// members WHERE ...`, any ORDER BY), including the table's INTEGER PRIMARY KEY column:
// the table and the id column are taken from the query itself. Rows added through it
// join the end of its row set; a row that someone else deleted reads as all Null and
// cannot be edited or deleted.
//
// Writing a row: addNew() or edit(), setField() for each column to change, update().
// Moving the cursor or closing drops a pending addNew()/edit() unwritten. After update()
// the cursor stays where it was and lastModified() is the id of the row written.
//
// A recordset may outlive its Database: it then reads as empty/Null and refuses
// writes, it never touches a closed connection.
class Recordset {
public:
    Recordset() = default;
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // True after a successful open and until close().
    bool isOpen() const { return m_open; }
    // Why it did not open (ok when it did).
    const DbResult& status() const { return m_status; }
    RecordsetType type() const { return m_type; }
    void close();

    // Rows in the set (rows added through this recordset count, deleted ones do not).
    int recordCount() const;
    void moveFirst();
    void moveLast();
    void moveNext();     // past the last row: eof()
    void movePrevious(); // before the first row: bof()
    bool bof() const;
    bool eof() const;
    // The current row's position counted from 0; -1 when there is no current row.
    int absolutePosition() const;

    int fieldCount() const { return int(m_names.size()); }
    QString fieldName(int index) const;
    // Index of a field by name in any letter case; -1 when there is none.
    int fieldIndex(const QString& name) const;
    // The current row's value (or the pending addNew()/edit() value); an invalid
    // QVariant for Null, for no current row and for an unknown name.
    QVariant field(const QString& name) const;
    QVariant field(int index) const;

    // Starts a new row with every field Null (a dynaset only).
    DbResult addNew();
    // Starts changing the current row (a dynaset only).
    DbResult edit();
    // Sets a field of the pending row; false without addNew()/edit(), for an unknown
    // name and for the id column (the database numbers rows itself).
    bool setField(const QString& name, const QVariant& value);
    // Writes the pending row. A new row gets its id from the database.
    DbResult update();
    // Drops the pending addNew()/edit().
    void cancelUpdate();
    // Id of the row last written by update() through this recordset; 0 before any.
    qint64 lastModified() const { return m_lastModified; }
    // Deletes the current row from the table; the cursor stays on the deleted row
    // (reading Null) until it moves: moveNext() goes to the row after it.
    DbResult deleteCurrent();

private:
    friend class Database;
    static Recordset open(const std::shared_ptr<SqlConnection>& connection, const Query& query,
                          RecordsetType type);
    DbResult openDynaset(const std::shared_ptr<SqlConnection>& connection, const Query& query);
    DbResult openSnapshot(const std::shared_ptr<SqlConnection>& connection, const Query& query);
    void setColumns(const QStringList& names);
    bool onRow() const;
    void placeAt(qsizetype position);
    const QVariantList& currentValues() const;
    DbResult writable() const;

    enum class Pending { None, Adding, Editing };

    bool m_open = false;
    DbResult m_status;
    RecordsetType m_type = RecordsetType::Snapshot;
    QStringList m_names;
    QHash<QString, int> m_index; // case-folded name -> column

    // The cursor: -1 before the first row, size() after the last.
    qsizetype m_position = -1;
    // The row under the cursor was deleted through this recordset; m_position is then
    // already the row after it.
    bool m_onDeleted = false;

    QList<QVariantList> m_rows; // Snapshot

    // Dynaset
    std::weak_ptr<SqlConnection> m_connection;
    QString m_table;       // quoted "schema"."table"
    QStringList m_columns; // quoted source column of each field
    int m_idField = -1;
    QString m_selectRow; // reads one row's fields by id
    QList<qint64> m_ids;
    mutable QVariantList m_current;
    mutable qsizetype m_currentAt = -2; // position m_current was read for

    Pending m_pending = Pending::None;
    QVariantList m_buffer;
    QList<bool> m_changed;
    qint64 m_lastModified = 0;
};

} // namespace rt
