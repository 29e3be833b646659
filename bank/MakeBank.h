#pragma once

#include "bank/DemoCourse.h"
#include "bank/MakeBankError.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane::bank {

struct MakeBankOptions {
    QString dir; // the data folder: the bank goes to DIR/DB/TiKu.mdb
    QString adminName = QStringLiteral("admin");
    QString adminPassword = QStringLiteral("admin");
    bool adminNameGiven = false;     // only for telling the user what was used
    bool adminPasswordGiven = false; // likewise
    bool demo = false;
    bool force = false;
    QString officeProgram = QStringLiteral("soffice");
    int officeTimeoutMs = 300000;
    std::function<void(const QString&)> onProgress; // told before each long step
};

struct MakeBankResult {
    QString bankPath;
    QString docDir;
    QStringList documents; // the demo documents written into docDir
    bool demo = false;
    DemoSummary summary;
};

// Writes a new bank. The bank is built in a temporary file beside its place
// and renamed over it only when complete, and a demo's documents are made
// before the bank, so a failure leaves an existing bank as it was and never
// leaves a half-written one. Throws MakeBankError (UsageError for options
// that contradict each other).
MakeBankResult makeBank(const MakeBankOptions& options);

} // namespace tolvane::bank
