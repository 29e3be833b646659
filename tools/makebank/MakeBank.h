#pragma once

#include "tools/makebank/DemoCourse.h"
#include "tools/makebank/MakeBankError.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace tolvane::tools {

struct MakeBankOptions {
    QString dir; // the program folder: the bank goes to DIR/DB/TiKu.mdb
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

struct CommandLine {
    MakeBankOptions options;
    bool help = false;
};

// Reads the arguments (without the program name). `defaultDir` is the
// program folder used without --dir. Throws UsageError.
CommandLine parseCommandLine(const QStringList& arguments, const QString& defaultDir);
QString usageText();

// The whole program: parses, makes the bank, reports. Returns the exit code:
// 0 done, 1 failed, 2 bad arguments.
int runMakeBank(const QStringList& arguments, const QString& defaultDir, QTextStream& out,
                QTextStream& err);

} // namespace tolvane::tools
