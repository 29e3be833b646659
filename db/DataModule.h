#pragma once

#include "db/Database.h"

#include <QObject>
#include <QString>

namespace tolvane::db {

// The data module: owner of the one connection to the question bank.
class TZenlo_DM : public QObject {
    Q_OBJECT
public:
    static const char* const kConnectionString;

    // Creating the module opens the bank (a failure is reported and the
    // connection stays closed); destroying it closes the bank.
    explicit TZenlo_DM(QObject* parent = nullptr);
    ~TZenlo_DM() override;

    Connection TiKu_ADOC;
    QString ConnectionString;

    void DataModuleCreate();
    void DataModuleDestroy();

    // The parts of a connection string this program uses.
    static QString dataSourceOf(const QString& connectionString);
    static QString passwordOf(const QString& connectionString);
};

// The single instance, created at start-up.
extern TZenlo_DM* Zenlo_DM;

// The connection every window uses; throws when there is no data module.
Connection& bank();

} // namespace tolvane::db
