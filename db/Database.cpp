#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "db/Database.h"

#include <QByteArray>
#include <QFileInfo>

namespace tolvane::db {

namespace {

// Jet's LEFT(text, n): the first n characters. Null in, null out.
void sqlLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
        return;
    }
    // Count characters, not bytes: step over UTF-8 continuation bytes.
    int end = 0;
    while (end < bytes && n > 0) {
        ++end;
        while (end < bytes && (static_cast<unsigned char>(raw[end]) & 0xC0) == 0x80)
            ++end;
        --n;
    }
    sqlite3_result_text(ctx, raw, end, SQLITE_TRANSIENT);
}

} // namespace

Connection::~Connection() {
    close();
}

void Connection::open(const QString& path, const QString& key) {
    // A missing bank is an error, never an empty new file.
    if (!QFileInfo::exists(path))
        throw DbError(
            QStringLiteral("Could not find file '%1'.").arg(QFileInfo(path).absoluteFilePath()));
    openWith(path, key, SQLITE_OPEN_READWRITE);
}

void Connection::create(const QString& path, const QString& key) {
    openWith(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void Connection::openWith(const QString& path, const QString& key, int flags) {
    close();
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbError(QStringLiteral("Cannot open the question bank '%1': %2").arg(path, text));
    }
    const QByteArray k = key.toUtf8();
    sqlite3_key(db, k.constData(), k.size());
    // Another program holding the file gets a moment before we give up.
    sqlite3_busy_timeout(db, 2000);
    // Every page read is decrypted; a cache that holds a large bank whole
    // spares decrypting the same pages again on every draw and every count.
    sqlite3_exec(db, "PRAGMA cache_size = -131072", nullptr, nullptr, nullptr);
    // Reading the schema proves the key: a wrong one reads as no database.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        if (rc == SQLITE_NOTADB)
            text = QStringLiteral("Not a valid password, or the file is not a question bank.");
        throw DbError(QStringLiteral("Cannot open the question bank '%1': %2").arg(path, text));
    }
    rc = sqlite3_create_function_v2(db, kLeftFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                    nullptr, &sqlLeft, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw DbError(text);
    }
    m_db = db;
    m_path = path;
}

void Connection::close() {
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Connection::execScript(const QString& sql) {
    char* err = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_exec(handle(), text.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        QString message = err ? QString::fromUtf8(err) : lastErrorText();
        sqlite3_free(err);
        throw DbError(message);
    }
}

void Connection::begin() {
    execScript(QStringLiteral("BEGIN"));
}

void Connection::commit() {
    execScript(QStringLiteral("COMMIT"));
}

void Connection::rollback() noexcept {
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Connection::inTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

sqlite3* Connection::handle() const {
    if (!m_db)
        throw DbError(QStringLiteral("The question bank is not open."));
    return m_db;
}

QString Connection::lastErrorText() const {
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

} // namespace tolvane::db
