#pragma once

#include "db/DataModule.h"
#include "db/Query.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace tolvane::test {

// A real encrypted bank in a temporary folder that stands in for the
// executable's directory: DB/TiKu.mdb with the schema, the required rows and
// an administrator "admin" / "admin"; Doc/ exists. The working directory is
// the folder while it lives, and Zenlo_DM is open on it.
class TestBank {
public:
    explicit TestBank(bool openDataModule = true);
    ~TestBank();

    QString dir() const;              // with a trailing '/'
    QString bankPath() const;         // DB/TiKu.mdb in it
    db::Connection& connection();     // Zenlo_DM's connection
    void exec(const QString& sql);    // a statement without parameters
    qint64 count(const QString& sql); // first column of the first row
    QString text(const QString& sql); // first column of the first row
    // Every row of a statement, its fields as text joined with '|'.
    QStringList rows(const QString& sql);

    // Writes a file into Doc/.
    void addDoc(const QString& name, const QByteArray& content = "doc");

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::unique_ptr<db::TZenlo_DM> m_dm;
};

} // namespace tolvane::test
