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

// What the program is asked to do.
struct Request {
    enum Kind { FromSettings, Backup, Restore };
    Kind kind = FromSettings;
    QString label; // Restore: the backup to put back
};

// Carries out a request, one backup program at a time, after finishing or
// undoing a restore that was interrupted. A request taken from set.ini (CZ 0
// a backup, 1 a restore of the backup RQ) is cleared from it (CZ=0, RQ
// empty) before it is acted on, so that it is carried out once whatever
// happens next. Never throws.
JobResult runJob(const JobOptions& options, const Request& request = {});

// A new backup of DB/TiKu.mdb and Doc/ into a folder of its own under
// BakPath, checked before it is recorded under num and bakupdian. A backup
// that fails is removed and recorded nowhere. Doc/ is copied whole, a link
// as the document it leads to; anything that cannot be copied as a document
// (a link that leads nowhere or to a folder, a named pipe, a socket, a
// device) refuses the backup, naming it.
JobResult makeBackup(const JobOptions& options);

// Puts back the recorded backup whose label is `label`, after checking it:
// the bank and Doc/ are replaced whole, and what they replace is kept beside
// them. A journal written before the first change lets an interrupted
// restore be finished by recoverRestore(); a failure puts everything back.
JobResult restoreBackup(const JobOptions& options, const QString& label);

// What was found of an interrupted restore and what became of it.
struct Recovery {
    bool found = false; // a restore had been interrupted
    bool ok = true;     // false: it could not be set right; message says the state
    QString message;
};

// Finishes (or, where it was being undone, undoes) a restore that was
// interrupted in `programDir`. The caller holds the backup program's lock.
Recovery recoverRestore(const QString& programDir);

// The same for a program that starts without the lock (Tolvane): takes the
// lock without waiting; while a backup program holds it, nothing is touched
// and ok is false.
Recovery recoverRestoreAtStart(const QString& programDir);

// Checks that a file is a question bank of this program: it opens with the
// bank's key and passes SQLite's integrity check. Throws BackupError.
void verifyBank(const QString& path);

// The processes other than this one that have `file` open.
QList<qint64> processesHolding(const QString& file);

// The folder name of a backup label: the same text, with the characters that
// some file systems (a USB stick, a network share) refuse replaced.
QString folderNameOf(const QString& label);

// Test seam: called with a description before each step of a restore that
// changes a file (journal, copies, renames, removals). It may throw
// BackupError to make the step fail, or end the process. An empty function
// removes it.
void setStepHook(std::function<void(const QString& step)> hook);

} // namespace tolvane::backup
