#pragma once

#include "bank/MakeBank.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tolvane::tools {

using bank::MakeBankError;
using bank::MakeBankOptions;
using bank::MakeBankResult;
using bank::UsageError;

struct CommandLine {
    MakeBankOptions options;
    bool help = false;
    bool dirGiven = false; // --dir named the folder
};

// Reads the arguments (without the program name). `defaultDir` is the
// data folder used without --dir. Throws UsageError.
CommandLine parseCommandLine(const QStringList& arguments, const QString& defaultDir);
QString usageText();

// The whole program: parses, makes the bank, reports. Returns the exit code:
// 0 done, 1 failed, 2 bad arguments.
int runMakeBank(const QStringList& arguments, const QString& defaultDir, QTextStream& out,
                QTextStream& err);

} // namespace tolvane::tools
