#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "db/Query.h"

#include <QRegularExpression>

namespace tolvane::db {

namespace {
const char kNoCurrentRecord[] = "Either BOF or EOF is True, or the current record has been "
                                "deleted. Requested operation requires a current record.";
const char kNoSuchItem[] = "Item cannot be found in the collection corresponding to the "
                           "requested name or ordinal.";

struct StmtGuard {
    sqlite3_stmt* stmt;
    ~StmtGuard() { sqlite3_finalize(stmt); }
};

QString quoteIdent(const QString& name) {
    QString q = name;
    q.replace('"', QStringLiteral("\"\""));
    return '"' + q + '"';
}

// Binds a parameter or column value: null, a whole number, or text (copied
// by SQLite at once).
int bindValue(sqlite3_stmt* stmt, int i, const QVariant& v) {
    if (v.isNull())
        return sqlite3_bind_null(stmt, i);
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int ||
        v.typeId() == QMetaType::Bool)
        return sqlite3_bind_int64(stmt, i, v.toLongLong());
    const QByteArray bytes = v.toString().toUtf8();
    return sqlite3_bind_text(stmt, i, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
}

bool validIdent(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}
} // namespace

Query::Query(Connection* connection, QObject* parent) : QObject(parent), m_connection(connection) {}

Query::~Query() {
    stopReading();
    releaseKept();
}

void Query::releaseKept() {
    sqlite3_finalize(m_kept);
    m_kept = nullptr;
    m_keptText.clear();
    m_keptColumns.clear();
}

sqlite3_stmt* Query::prepareKept(const QString& sql) {
    if (m_kept && m_keptText == sql && sqlite3_db_handle(m_kept) == m_connection->handle()) {
        sqlite3_reset(m_kept);
        sqlite3_clear_bindings(m_kept);
        return m_kept;
    }
    releaseKept();
    m_kept = prepare(sql);
    m_keptText = sql;
    return m_kept;
}

void Query::stopReading() {
    // The kept statement is only rewound: a statement left on a row would
    // hold the bank's read lock.
    if (m_reading == m_kept)
        sqlite3_reset(m_reading);
    else
        sqlite3_finalize(m_reading);
    m_reading = nullptr;
}

void Query::setSql(const QString& sql) {
    close();
    m_sql = sql;
}

void Query::setSql(const QStringList& lines) {
    setSql(lines.join('\n'));
}

void Query::bindText(const QString& name, const QString& value) {
    m_params.insert(name.toLower(), value.isNull() ? QString(QLatin1String("")) : value);
}

void Query::bindInt(const QString& name, qint64 value) {
    m_params.insert(name.toLower(), value);
}

void Query::bindNull(const QString& name) {
    m_params.insert(name.toLower(), QVariant());
}

void Query::fail() const {
    throw DbError(m_connection->lastErrorText());
}

// SQLite reads LEFT only as the join keyword, so Jet's LEFT(text, n) is
// sent to the function registered under another name. Literals and quoted
// names are left alone.
QString Query::translateJet(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    const int n = sql.size();
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"' || c == '[' || c == '`') {
            const QChar close = c == '[' ? QChar(']') : c;
            int j = i + 1;
            while (j < n && sql[j] != close)
                ++j;
            out += sql.mid(i, j + 1 - i);
            i = j + 1;
            continue;
        }
        if (c.isLetter() || c == '_') {
            int j = i;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_'))
                ++j;
            const QString word = sql.mid(i, j - i);
            int k = j;
            while (k < n && sql[k].isSpace())
                ++k;
            if (word.compare(QLatin1String("LEFT"), Qt::CaseInsensitive) == 0 && k < n &&
                sql[k] == '(')
                out += QLatin1String(Connection::kLeftFunction);
            else
                out += word;
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

sqlite3_stmt* Query::prepare(const QString& sql) const {
    if (!m_connection)
        throw DbError(QStringLiteral("The query has no connection."));
    sqlite3* db = m_connection->handle();
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = translateJet(sql).toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), text.size(), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail();
    }
    if (!stmt)
        throw DbError(QStringLiteral("The statement is empty."));
    return stmt;
}

void Query::bindAll(sqlite3_stmt* stmt) const {
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i) {
        const char* raw = sqlite3_bind_parameter_name(stmt, i);
        QString name = raw ? QString::fromUtf8(raw) : QString();
        if (name.startsWith(':') || name.startsWith('@') || name.startsWith('$'))
            name = name.mid(1);
        auto it = m_params.constFind(name.toLower());
        if (name.isEmpty() || it == m_params.constEnd())
            throw DbError(QStringLiteral("No value given for one or more required parameters."));
        if (bindValue(stmt, i, it.value()) != SQLITE_OK)
            fail();
    }
}

static QVariant columnValue(sqlite3_stmt* stmt, int col) {
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, col));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, col)),
                                   sqlite3_column_bytes(stmt, col)));
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, col)),
                              sqlite3_column_bytes(stmt, col)));
    }
}

bool Query::stepRows(sqlite3_stmt* stmt, bool firstIsRowid, int limit,
                     std::vector<std::vector<QVariant>>& rows, std::vector<qint64>& rowids) {
    const int n = sqlite3_column_count(stmt);
    const int skip = firstIsRowid ? 1 : 0;
    for (int read = 0; limit <= 0 || read < limit; ++read) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            return true;
        if (rc != SQLITE_ROW)
            fail();
        std::vector<QVariant> row;
        row.reserve(n - skip);
        for (int c = skip; c < n; ++c)
            row.push_back(columnValue(stmt, c));
        rows.push_back(std::move(row));
        if (firstIsRowid)
            rowids.push_back(sqlite3_column_int64(stmt, 0));
    }
    return false;
}

void Query::readRows(sqlite3_stmt* stmt, bool firstIsRowid) {
    const int n = sqlite3_column_count(stmt);
    const int skip = firstIsRowid ? 1 : 0;
    // The names are those of the kept statement until it is compiled anew.
    if (m_keptColumns.isEmpty())
        for (int c = skip; c < n; ++c)
            m_keptColumns << QString::fromUtf8(sqlite3_column_name(stmt, c));
    const QStringList columns = m_keptColumns;
    std::vector<std::vector<QVariant>> rows;
    std::vector<qint64> rowids;
    // A limit on the rows ends the reading; a block leaves the rest for later.
    const bool done =
        stepRows(stmt, firstIsRowid, m_maxRows > 0 ? m_maxRows : m_fetchBlock, rows, rowids) ||
        m_maxRows > 0;
    emit aboutToReset();
    m_columns = columns;
    m_rows = std::move(rows);
    m_rowids = std::move(rowids);
    m_current = 0;
    m_open = true;
    m_state = State::Browse;
    m_pending.clear();
    if (!done) {
        m_reading = stmt;
        m_readingRowid = firstIsRowid;
    }
    emit resetDone();
}

bool Query::fetchMore() {
    if (!m_reading)
        return false;
    std::vector<std::vector<QVariant>> rows;
    std::vector<qint64> rowids;
    bool done = true;
    try {
        done = stepRows(m_reading, m_readingRowid, m_fetchBlock, rows, rowids);
    } catch (...) {
        stopReading();
        throw;
    }
    if (done)
        stopReading();
    if (rows.empty())
        return false;
    const int first = recordCount();
    emit rowsAboutToBeAppended(first, first + static_cast<int>(rows.size()) - 1);
    for (auto& row : rows)
        m_rows.push_back(std::move(row));
    m_rowids.insert(m_rowids.end(), rowids.begin(), rowids.end());
    emit rowsAppended();
    return true;
}

void Query::fetchAll() {
    while (fetchMore()) {
    }
}

void Query::open() {
    close();
    // "SELECT * FROM <table> ..." over one table is updatable: the same
    // statement is run with the rowid in front, which the result hides.
    if (m_plannedSql != m_sql || m_plannedSql.isNull()) {
        static const QRegularExpression selectAll(
            QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)(.*)$"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression multiTable(QStringLiteral("^\\s*(,|\\w+\\s*,)|\\bjoin\\b"),
                                                   QRegularExpression::CaseInsensitiveOption);
        const auto m = selectAll.match(m_sql);
        m_plannedSql = m_sql.isNull() ? QString(QLatin1String("")) : m_sql;
        m_plannedTable.clear();
        m_plannedStatement = m_sql;
        if (m.hasMatch() && !multiTable.match(m.captured(2)).hasMatch()) {
            m_plannedTable = m.captured(1);
            m_plannedStatement = QStringLiteral("SELECT rowid AS \"__rowid__\", * FROM ") +
                                 m_plannedTable + m.captured(2);
        }
    }
    QString table = m_plannedTable;
    sqlite3_stmt* stmt = nullptr;
    try {
        stmt = prepareKept(m_plannedStatement);
    } catch (const DbError&) {
        if (table.isEmpty())
            throw;
        // A view or a table without rowid: read it as it is, not updatable.
        m_plannedTable.clear();
        m_plannedStatement = m_sql;
        table.clear();
        stmt = prepareKept(m_sql);
    }
    try {
        bindAll(stmt);
        readRows(stmt, !table.isEmpty());
    } catch (...) {
        sqlite3_reset(stmt);
        throw;
    }
    // Unless fetchMore() reads on, rewind it: a statement left on a row
    // would hold the bank's read lock.
    if (m_reading != stmt)
        sqlite3_reset(stmt);
    if (!table.isEmpty()) {
        m_table = table;
        m_tableColumns = m_columns;
    }
}

void Query::openTable(const QString& table) {
    if (!validIdent(table))
        throw DbError(QStringLiteral("Invalid table name '%1'.").arg(table));
    setSql(QStringLiteral("SELECT * FROM ") + table);
    open();
    if (!isUpdatable())
        throw DbError(QStringLiteral("The table '%1' cannot be opened.").arg(table));
}

void Query::close() {
    stopReading();
    if (!m_open && m_rows.empty())
        return;
    emit aboutToReset();
    m_open = false;
    m_rows.clear();
    m_rowids.clear();
    m_columns.clear();
    m_current = 0;
    m_table.clear();
    m_tableColumns.clear();
    m_state = State::Browse;
    m_pending.clear();
    emit resetDone();
}

int Query::execSql() {
    close();
    sqlite3_stmt* stmt = prepare(m_sql);
    StmtGuard guard{stmt};
    bindAll(stmt);
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail();
    }
    return sqlite3_changes(m_connection->handle());
}

void Query::next() {
    if (m_current < recordCount() || canFetchMore())
        setCurrentRow(m_current + 1);
}

void Query::setCurrentRow(int row) {
    if (row < 0)
        row = 0;
    while (row >= recordCount() && fetchMore()) {
    }
    if (row > recordCount())
        row = recordCount();
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

int Query::columnIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Query::value(int row, int column) const {
    if (row < 0 || row >= recordCount() || column < 0 || column >= m_columns.size())
        return QVariant();
    return m_rows[row][column];
}

void Query::requireCurrent() const {
    if (eof())
        throw DbError(QString::fromLatin1(kNoCurrentRecord));
}

QVariant Query::field(const QString& name) const {
    const int col = columnIndex(name);
    if (col < 0)
        throw DbError(QString::fromLatin1(kNoSuchItem));
    requireCurrent();
    return m_rows[m_current][col];
}

QString Query::displayText(const QVariant& value) {
    if (value.isNull())
        return QString(QLatin1String(""));
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QString Query::fieldText(const QString& name) const {
    if (columnIndex(name) >= 0 && eof())
        return QString(QLatin1String(""));
    return displayText(field(name));
}

qint64 Query::fieldInt(const QString& name) const {
    const QVariant v = field(name);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::LongLong)
        return v.toLongLong();
    bool ok = false;
    const qint64 n = v.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return n;
}

bool Query::isNull(const QString& name) const {
    if (columnIndex(name) < 0)
        throw DbError(QString::fromLatin1(kNoSuchItem));
    if (eof())
        return true;
    return field(name).isNull();
}

QString Query::columnFor(const QString& name) const {
    for (const QString& c : m_tableColumns)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    throw DbError(QString::fromLatin1(kNoSuchItem));
}

void Query::append() {
    if (!isUpdatable())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));
    m_pending.clear();
    m_state = State::Insert;
}

void Query::edit() {
    if (!isUpdatable())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));
    requireCurrent();
    m_pending.clear();
    m_state = State::Edit;
}

void Query::setField(const QString& name, const QVariant& value) {
    if (m_state == State::Browse)
        edit();
    m_pending.insert(columnFor(name), value);
}

std::vector<QVariant> Query::readRow(qint64 rowid) {
    sqlite3_stmt* stmt = prepare(QStringLiteral("SELECT * FROM ") + quoteIdent(m_table) +
                                 QStringLiteral(" WHERE rowid = ?"));
    StmtGuard guard{stmt};
    sqlite3_bind_int64(stmt, 1, rowid);
    std::vector<QVariant> row(m_tableColumns.size());
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const int n = sqlite3_column_count(stmt);
        for (int c = 0; c < n; ++c) {
            const int i = columnIndex(QString::fromUtf8(sqlite3_column_name(stmt, c)));
            if (i >= 0)
                row[i] = columnValue(stmt, c);
        }
    }
    return row;
}

void Query::post() {
    if (m_state == State::Browse)
        return;
    // The rest of the result is read before the table changes under it.
    fetchAll();
    const QStringList names = m_pending.keys();
    QString sql;
    if (m_state == State::Insert) {
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(m_table));
        } else {
            QStringList cols, marks;
            for (const QString& n : names) {
                cols << quoteIdent(n);
                marks << QStringLiteral("?");
            }
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteIdent(m_table), cols.join(','), marks.join(','));
        }
    } else {
        if (names.isEmpty()) {
            m_state = State::Browse;
            return;
        }
        QStringList sets;
        for (const QString& n : names)
            sets << quoteIdent(n) + QStringLiteral(" = ?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                  .arg(quoteIdent(m_table), sets.join(','));
    }
    sqlite3_stmt* stmt = prepare(sql);
    StmtGuard guard{stmt};
    int i = 1;
    for (const QString& n : names) {
        if (bindValue(stmt, i, m_pending.value(n)) != SQLITE_OK)
            fail();
        ++i;
    }
    if (m_state == State::Edit)
        sqlite3_bind_int64(stmt, i, m_rowids[m_current]);
    if (sqlite3_step(stmt) != SQLITE_DONE)
        fail();

    emit aboutToReset();
    if (m_state == State::Insert) {
        const qint64 rowid = sqlite3_last_insert_rowid(m_connection->handle());
        m_rows.push_back(readRow(rowid));
        m_rowids.push_back(rowid);
        m_current = recordCount() - 1;
    } else {
        m_rows[m_current] = readRow(m_rowids[m_current]);
    }
    m_state = State::Browse;
    m_pending.clear();
    emit resetDone();
    emit currentRowChanged(m_current);
}

void Query::cancel() {
    m_state = State::Browse;
    m_pending.clear();
}

void Query::deleteCurrent() {
    if (!isUpdatable())
        throw DbError(QStringLiteral("Current Recordset does not support updating."));
    requireCurrent();
    cancel();
    fetchAll();
    sqlite3_stmt* stmt =
        prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdent(m_table)));
    StmtGuard guard{stmt};
    sqlite3_bind_int64(stmt, 1, m_rowids[m_current]);
    if (sqlite3_step(stmt) != SQLITE_DONE)
        fail();
    emit aboutToReset();
    m_rows.erase(m_rows.begin() + m_current);
    m_rowids.erase(m_rowids.begin() + m_current);
    if (m_current >= recordCount() && m_current > 0)
        m_current = recordCount() - 1;
    emit resetDone();
    emit currentRowChanged(m_current);
}

} // namespace tolvane::db
