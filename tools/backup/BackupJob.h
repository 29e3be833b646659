#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace tolvane::backup {

// A failure of the backup program; what() is the text shown to the user.
class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

struct JobOptions {
    QString programDir;   // where set.ini, DB/TiKu.mdb and Doc/ are
    int waitSeconds = 60; // how long the bank may stay in use before giving up
    std::function<void(const QString&)> onProgress; // told before each step
};

struct JobResult {
    bool ok = false;
    QString message; // the outcome, for the user
    QString label;   // the backup made or restored
};

// What set.ini's CZ asks for: 0 a backup, 1 a restore of the backup RQ.
// Never throws.
JobResult runJob(const JobOptions& options);

// A new backup of DB/TiKu.mdb and Doc/ into a folder of its own under
// BakPath, checked before it is recorded under num and bakupdian. A backup
// that fails is removed and recorded nowhere.
JobResult makeBackup(const JobOptions& options);

// Puts back the recorded backup whose label is `label`, after checking it:
// the bank and Doc/ are replaced whole, and what they replace is kept beside
// them. A refused or failed restore changes nothing.
JobResult restoreBackup(const JobOptions& options, const QString& label);

// Checks that a file is a question bank of this program: it opens with the
// bank's key and passes SQLite's integrity check. Throws BackupError.
void verifyBank(const QString& path);

// The processes other than this one that have `file` open.
QList<qint64> processesHolding(const QString& file);

// The folder name of a backup label: the same text, with the characters that
// some file systems (a USB stick, a network share) refuse replaced.
QString folderNameOf(const QString& label);

// The command line: "han_backup" runs the job; "--no-window" works without a
// window and reports on the console; "--wait SECONDS" sets the wait.
struct Arguments {
    bool run = false;
    bool noWindow = false;
    int waitSeconds = 60;
    QString error; // not empty for a command line that makes no sense
};
Arguments parseArguments(const QStringList& arguments);
QString usageText();

} // namespace tolvane::backup
