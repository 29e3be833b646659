#pragma once

#include <QString>

#include <stdexcept>

struct sqlite3;

namespace tolvane::db {

// An error of the database layer; what() is the text shown to the user.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// One connection to an encrypted question bank file.
class Connection {
public:
    // The key every bank of this program is encrypted with.
    static constexpr const char* kDatabasePassword = "40517263";
    // The name under which Jet's LEFT(text, n) is registered.
    static constexpr const char* kLeftFunction = "JET_LEFT";

    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing bank; never creates one. Throws DbError with the
    // database layer's text for a missing file, a wrong key or a locked file.
    void open(const QString& path, const QString& key = QString::fromLatin1(kDatabasePassword));
    // Creates a new, empty bank file keyed with `key` (the bank maker).
    void create(const QString& path, const QString& key = QString::fromLatin1(kDatabasePassword));
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // Runs statements without parameters or results (schema, pragmas).
    void execScript(const QString& sql);

    // Transactions: rows that belong together are written all or not at
    // all. rollback() never throws, so it can run on a failure path.
    void begin();
    void commit();
    void rollback() noexcept;
    bool inTransaction() const;

    // The raw handle, for Query. Throws when the connection is closed.
    sqlite3* handle() const;
    QString lastErrorText() const;

private:
    void openWith(const QString& path, const QString& key, int flags);
    sqlite3* m_db = nullptr;
    QString m_path;
};

// A transaction that is rolled back unless committed, so that an error
// anywhere between leaves the bank as it was.
class Transaction {
public:
    explicit Transaction(Connection& connection) : m_connection(connection) {
        m_connection.begin();
    }
    ~Transaction() { rollback(); }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        m_connection.commit();
        m_open = false;
    }
    void rollback() noexcept {
        if (m_open)
            m_connection.rollback();
        m_open = false;
    }

private:
    Connection& m_connection;
    bool m_open = true;
};

} // namespace tolvane::db
