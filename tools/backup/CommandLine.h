#pragma once

#include "options/BackupJob.h"

#include <QString>
#include <QStringList>

namespace tolvane::backup {

// The command line: "han_backup" does what set.ini asks; "--backup" makes a
// backup and "--restore LABEL" puts one back, without asking set.ini;
// "--no-window" works without a window and reports on the console; "--wait
// SECONDS" sets the wait; "--dir DIR" names the folder of the bank.
struct Arguments {
    bool help = false;
    int waitSeconds = 60;
    QString dir; // empty: the data folder (AppPaths::dataDir())
    Request request;
    QString error; // not empty for a command line that makes no sense
};
Arguments parseArguments(const QStringList& arguments);
QString usageText();

} // namespace tolvane::backup
