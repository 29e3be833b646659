#pragma once

#include "db/Database.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <vector>

struct sqlite3_stmt;

namespace tolvane::db {

// A statement with named parameters and, once opened, its result set: the
// rows are read whole on opening, with a current row that starts on the
// first. A result of "SELECT * FROM <table> ..." or of openTable() is
// updatable: it keeps each row's rowid to itself, so rows can be appended,
// edited and deleted.
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(Connection* connection, QObject* parent = nullptr);
    ~Query() override;

    Connection* connection() const { return m_connection; }

    // The statement; several lines are joined with line breaks. Setting it
    // closes the result set; parameters bound so far are kept.
    void setSql(const QString& sql);
    void setSql(const QStringList& lines);
    QString sql() const { return m_sql; }

    // Parameters, written ":name" in the statement, bound by name.
    void bindText(const QString& name, const QString& value);
    void bindInt(const QString& name, qint64 value);
    void bindNull(const QString& name);
    void clearParams() { m_params.clear(); }

    // Rows read on opening: all of them (0, the default), or the first
    // `rows`, the rest as a grid scrolls to them (fetchMore) or the current
    // row moves past them. A large table then opens at once, however many
    // rows it holds. While rows are left unread, the statement keeps its
    // read open, and SQLite commits a write on the connection only once no
    // statement is reading: post() and deleteCurrent() therefore read the
    // rest first, and a block-reading query should not stay open beside
    // writes of other queries.
    void setFetchBlock(int rows) { m_fetchBlock = rows < 0 ? 0 : rows; }
    bool canFetchMore() const { return m_reading != nullptr; }
    // Reads the next block of rows; false when there were none left.
    bool fetchMore();
    void fetchAll();

    // Runs the statement and keeps its rows (at most maxRows() of them).
    // The compiled statement is kept, so opening the same text again with
    // other parameter values costs no new compilation.
    void open();
    // How many rows open() reads at most; 0, the default, reads them all.
    // A lookup that looks only at its first row need not copy the others.
    void setMaxRows(int rows) { m_maxRows = rows < 0 ? 0 : rows; }
    int maxRows() const { return m_maxRows; }
    // The whole table as an updatable result set.
    void openTable(const QString& table);
    void close();
    bool isOpen() const { return m_open; }
    // Runs a statement without a result set; returns the rows it changed.
    int execSql();

    // Navigation.
    bool eof() const { return !m_open || m_current >= recordCount(); }
    bool isEmpty() const { return recordCount() == 0; }
    void first() { setCurrentRow(0); }
    void next();
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

    // Columns of the result, in order (the hidden rowid is not among them).
    QStringList columnNames() const { return m_columns; }
    int columnIndex(const QString& name) const; // -1 when absent
    QVariant value(int row, int column) const;

    // Fields of the current row by name (compared without regard to case).
    QVariant field(const QString& name) const;
    QString fieldText(const QString& name) const; // null reads as ""
    qint64 fieldInt(const QString& name) const;   // null reads as 0
    bool isNull(const QString& name) const;       // also true without a current row

    // Updating (only on an updatable result set).
    bool isUpdatable() const { return !m_table.isEmpty(); }
    QString tableName() const { return m_table; }
    void append();
    void edit();
    void setField(const QString& name, const QVariant& value);
    void setFieldText(const QString& name, const QString& value) { setField(name, value); }
    void setFieldInt(const QString& name, qint64 value) { setField(name, value); }
    // Writes the pending row; an error leaves it pending for cancel().
    void post();
    void cancel();
    bool isEditing() const { return m_state != State::Browse; }
    void deleteCurrent();

    // The plain text of a field value as a grid shows it.
    static QString displayText(const QVariant& value);
    // The statement as SQLite is given it (Jet's LEFT(...) renamed).
    static QString translateJet(const QString& sql);

signals:
    void aboutToReset();
    void resetDone();
    // Rows first..last (inclusive) read by fetchMore().
    void rowsAboutToBeAppended(int first, int last);
    void rowsAppended();
    void currentRowChanged(int row);

private:
    enum class State { Browse, Insert, Edit };
    sqlite3_stmt* prepare(const QString& sql) const;
    // The kept statement for `sql`, reset and unbound; compiled when the
    // text differs from the one kept.
    sqlite3_stmt* prepareKept(const QString& sql);
    void releaseKept();
    void bindAll(sqlite3_stmt* stmt) const;
    // Reads the rows of a new result; with a fetch block, only the first
    // block, and the statement is kept for the rest.
    void readRows(sqlite3_stmt* stmt, bool firstIsRowid);
    // Steps up to `limit` rows (0: all) into the given vectors; true when the
    // statement is done.
    bool stepRows(sqlite3_stmt* stmt, bool firstIsRowid, int limit,
                  std::vector<std::vector<QVariant>>& rows, std::vector<qint64>& rowids);
    void stopReading();
    void requireCurrent() const;
    QString columnFor(const QString& name) const; // the stored column name
    std::vector<QVariant> readRow(qint64 rowid);
    [[noreturn]] void fail() const;

    Connection* m_connection;
    QString m_sql;
    QMap<QString, QVariant> m_params; // keyed by lower-case name
    bool m_open = false;
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    std::vector<qint64> m_rowids;
    int m_current = 0;
    QString m_table; // set for an updatable result set
    QStringList m_tableColumns;
    State m_state = State::Browse;
    QMap<QString, QVariant> m_pending; // stored column name -> value
    int m_fetchBlock = 0;
    int m_maxRows = 0;
    // The statement open() last compiled, with the text it was compiled
    // from and its column names, and what open() made of m_sql (the table,
    // the text it runs).
    sqlite3_stmt* m_kept = nullptr;
    QString m_keptText;
    QStringList m_keptColumns;
    QString m_plannedSql;
    QString m_plannedTable;
    QString m_plannedStatement;
    sqlite3_stmt* m_reading = nullptr; // the statement of rows not yet read
    bool m_readingRowid = false;
};

} // namespace tolvane::db
