#include "db/DataModule.h"

#include "db/Schema.h"

#include "core/Messages.h"

#include <QStringList>

namespace tolvane::db {

TZenlo_DM* Zenlo_DM = nullptr;

const char* const TZenlo_DM::kConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=DB\\TiKu.mdb;User ID=Admin;Jet OLEDB:Database "
    "Password=40517263;Persist Security Info=False";

TZenlo_DM::TZenlo_DM(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("Zenlo_DM"));
    DataModuleCreate();
}

TZenlo_DM::~TZenlo_DM() {
    DataModuleDestroy();
    if (Zenlo_DM == this)
        Zenlo_DM = nullptr;
}

static QString valueOf(const QString& connectionString, const QString& key) {
    for (const QString& part : connectionString.split(';', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf('=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

QString TZenlo_DM::dataSourceOf(const QString& connectionString) {
    QString path = valueOf(connectionString, QStringLiteral("Data Source"));
    path.replace('\\', '/');
    return path;
}

QString TZenlo_DM::passwordOf(const QString& connectionString) {
    return valueOf(connectionString, QStringLiteral("Jet OLEDB:Database Password"));
}

void TZenlo_DM::DataModuleCreate() {
    ConnectionString = QString::fromLatin1(kConnectionString);
    try {
        // Relative to the working directory, which start-up makes the data
        // folder (the executable's directory in a portable copy).
        TiKu_ADOC.open(dataSourceOf(ConnectionString), passwordOf(ConnectionString));
        ensureIndexes(TiKu_ADOC);
    } catch (const DbError& e) {
        errorMessage(e.text());
    }
}

void TZenlo_DM::DataModuleDestroy() {
    TiKu_ADOC.close();
}

Connection& bank() {
    if (!Zenlo_DM)
        throw DbError(QStringLiteral("The question bank is not open."));
    return Zenlo_DM->TiKu_ADOC;
}

} // namespace tolvane::db
