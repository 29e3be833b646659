#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "options/BackupJob.h"

#include "db/Database.h"
#include "db/Query.h"
#include "options/BackupSettings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::backup {

namespace ini = options::backupini;
using options::IniFile;

namespace {

const char kBankFile[] = "DB/TiKu.mdb";
const char kDocFolder[] = "Doc";
// Held by whoever is working on the bank's files: the backup program, or
// Tolvane setting right an interrupted restore.
const char kLockFile[] = "BackUp.exe.lock";

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString withSlash(QString dir) {
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

void tell(const JobOptions& options, const QString& text) {
    if (options.onProgress)
        options.onProgress(text);
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Flushes a file or a folder (its entries) to the disk.
void syncToDisk(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw BackupError(
            QStringLiteral("\"%1\" cannot be opened: %2").arg(native(path), systemError()));
    const int rc = ::fsync(fd);
    const QString error = rc != 0 ? systemError() : QString();
    ::close(fd);
    if (rc != 0)
        throw BackupError(
            QStringLiteral("\"%1\" cannot be written to the disk: %2").arg(native(path), error));
}

// The one way every file step of a restore is taken: a test may make it fail
// or end the program here.
std::function<void(const QString&)>& stepHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

void step(const QString& what) {
    if (stepHook())
        stepHook()(what);
}

QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    return QStringLiteral("not a file");
}

// Copies one file, flushed to the disk; a short write (a full disk) fails.
// Only a regular file is read: opening a named pipe or a device could wait
// for ever.
void copyFile(const QString& from, const QString& to) {
    const int fd = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw BackupError(
            QStringLiteral("\"%1\" cannot be read: %2").arg(native(from), systemError()));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw BackupError(
            QStringLiteral("\"%1\" is %2, not a document.").arg(native(from), kindOf(st.st_mode)));
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw BackupError(
            QStringLiteral("\"%1\" cannot be read: %2").arg(native(from), in.errorString()));
    }
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw BackupError(
            QStringLiteral("\"%1\" cannot be written: %2").arg(native(to), out.errorString()));
    for (;;) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                throw BackupError(QStringLiteral("\"%1\" cannot be read: %2")
                                      .arg(native(from), in.errorString()));
            break;
        }
        if (out.write(chunk) != chunk.size())
            throw BackupError(
                QStringLiteral("\"%1\" cannot be written: %2").arg(native(to), out.errorString()));
    }
    if (!out.flush())
        throw BackupError(
            QStringLiteral("\"%1\" cannot be written: %2").arg(native(to), out.errorString()));
    out.close();
    syncToDisk(to);
}

// One thing under a document folder: a folder (size -1) or a document, by
// its path relative to the folder.
struct DocEntry {
    QString relative;
    qint64 size = -1;
    bool operator==(const DocEntry& o) const { return relative == o.relative && size == o.size; }
    bool operator!=(const DocEntry& o) const { return !(*this == o); }
};

void listDocuments(const QString& root, const QString& relative, QList<DocEntry>* out) {
    const QString folder = relative.isEmpty() ? root : withSlash(root) + relative;
    const QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString rel = relative.isEmpty() ? name : relative + '/' + name;
        const QString path = withSlash(root) + rel;
        const QByteArray p = QFile::encodeName(path);
        struct stat st {};
        if (::lstat(p.constData(), &st) != 0)
            throw BackupError(
                QStringLiteral("\"%1\" cannot be read: %2").arg(native(path), systemError()));
        if (S_ISLNK(st.st_mode)) {
            // A link is kept as the document it leads to; what it cannot be
            // kept as is refused by name rather than left out.
            const QString target = QFile::symLinkTarget(path);
            if (::stat(p.constData(), &st) != 0)
                throw BackupError(
                    QStringLiteral("\"%1\" is a link to \"%2\", which does not exist. Remove the "
                                   "link or put the document it names back.")
                        .arg(native(path), native(target)));
            if (!S_ISREG(st.st_mode))
                throw BackupError(QStringLiteral("\"%1\" is a link to \"%2\", which is %3, not a "
                                                 "document. Put the document itself in Doc.")
                                      .arg(native(path), native(target), kindOf(st.st_mode)));
            out->append({rel, qint64(st.st_size)});
        } else if (S_ISDIR(st.st_mode)) {
            out->append({rel, -1});
            listDocuments(root, rel, out);
        } else if (S_ISREG(st.st_mode)) {
            out->append({rel, qint64(st.st_size)});
        } else {
            throw BackupError(QStringLiteral("\"%1\" is %2, not a document: move it out of Doc.")
                                  .arg(native(path), kindOf(st.st_mode)));
        }
    }
}

// Everything under a document folder, or a refusal naming what cannot be
// copied as a document. A missing folder holds nothing.
QList<DocEntry> documentsUnder(const QString& dir) {
    QList<DocEntry> entries;
    if (QFileInfo(dir).isDir())
        listDocuments(dir, QString(), &entries);
    return entries;
}

// Copies a document folder with everything in it, and checks the copy; a
// missing source gives an empty folder.
void copyTree(const QString& from, const QString& to) {
    const QList<DocEntry> entries = documentsUnder(from);
    if (!QDir().mkpath(to))
        throw BackupError(QStringLiteral("The folder \"%1\" cannot be made.").arg(native(to)));
    QStringList folders{to};
    for (const DocEntry& e : entries) {
        const QString target = withSlash(to) + e.relative;
        if (e.size < 0) {
            if (!QDir().mkpath(target))
                throw BackupError(
                    QStringLiteral("The folder \"%1\" cannot be made.").arg(native(target)));
            folders << target;
        } else {
            copyFile(withSlash(from) + e.relative, target);
        }
    }
    for (const QString& folder : folders)
        syncToDisk(folder);
    if (documentsUnder(to) != entries)
        throw BackupError(QStringLiteral("The copy of \"%1\" is not complete.").arg(native(from)));
}

void removePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else if (info.exists() || info.isSymLink())
        QFile::remove(path);
}

bool present(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Which file or folder a path names, whatever it is renamed to: its device
// and inode; empty when nothing is there.
QString fileId(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
}

// SQLite's online backup: a consistent copy page by page, under the same
// key as the bank, whatever else reads it meanwhile.
void copyBank(const QString& from, const QString& to) {
    db::Connection source;
    try {
        source.open(from);
    } catch (const db::DbError& e) {
        throw BackupError(e.text());
    }
    db::Connection target;
    try {
        target.create(to);
    } catch (const db::DbError& e) {
        throw BackupError(e.text());
    }
    sqlite3_backup* copy = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!copy)
        throw BackupError(
            QStringLiteral("The question bank cannot be copied: %1").arg(target.lastErrorText()));
    int rc = SQLITE_OK;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        rc = sqlite3_backup_step(copy, -1);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited.elapsed() < 10000) {
            QThread::msleep(100);
            continue;
        }
        break;
    }
    sqlite3_backup_finish(copy);
    if (rc != SQLITE_DONE)
        throw BackupError(QStringLiteral("The question bank cannot be copied: %1")
                              .arg(QString::fromUtf8(sqlite3_errstr(rc))));
    const int finished = sqlite3_errcode(target.handle());
    if (finished != SQLITE_OK)
        throw BackupError(
            QStringLiteral("The question bank cannot be copied: %1").arg(target.lastErrorText()));
}

// Waits until no other program has the bank open: the programme that started
// this one is ending and lets go of it.
void waitForRelease(const JobOptions& options, const QString& bank) {
    QElapsedTimer waited;
    waited.start();
    bool told = false;
    for (;;) {
        const QList<qint64> holders = processesHolding(bank);
        if (holders.isEmpty())
            return;
        if (waited.elapsed() >= qint64(options.waitSeconds) * 1000) {
            QStringList ids;
            for (qint64 id : holders)
                ids << QString::number(id);
            throw BackupError(
                QStringLiteral("The question bank \"%1\" is still in use by another programme "
                               "(process %2) after %3 seconds. Close Tolvane and try again.")
                    .arg(native(bank), ids.join(QStringLiteral(", ")))
                    .arg(options.waitSeconds));
        }
        if (!told) {
            tell(options, QStringLiteral("Waiting for Tolvane to close the question bank..."));
            told = true;
        }
        QThread::msleep(200);
    }
}

// "name", or "name-2", "name-3" ... when it is taken.
QString freeName(const QString& path) {
    QString candidate = path;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = path + '-' + QString::number(n);
    return candidate;
}

void renameOrThrow(const QString& from, const QString& to) {
    step(QStringLiteral("rename \"%1\" to \"%2\"").arg(native(from), native(to)));
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw BackupError(QStringLiteral("\"%1\" cannot be renamed to \"%2\": %3")
                              .arg(native(from), native(to), systemError()));
}

QString timeStamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// The backup folder set.ini names, or the default one, as a full path; a
// relative one lies in the program folder.
QString backupFolder(const IniFile& settings, const QString& programDir) {
    QString folder = settings.value(ini::kSection, ini::kBackupPath);
    if (folder.isEmpty())
        folder = ini::defaultBackupPath(programDir);
    return QDir::cleanPath(QDir(programDir).absoluteFilePath(QDir::fromNativeSeparators(folder)));
}

JobResult failed(const QString& text) {
    JobResult r;
    r.ok = false;
    r.message = text;
    return r;
}

// A restore in writing: what it is to do, written to the disk before the
// first change and kept until the last, so that a restore that was killed
// is finished or undone by the next start of either program. Every step
// looks at the files as they are, so each may be taken again after a kill.
const char kJournalFile[] = "BackUp.restore-journal";
const char kNewBank[] = "DB/TiKu.mdb.restoring";
const char kNewDoc[] = "Doc.restoring";

struct Journal {
    QString dir;   // the program folder, with a trailing '/'
    QString phase; // "preparing": undo; "swapping": finish; "undoing": undo
    QString label;
    bool withDocs = false;    // the backup has a Doc folder to put in place
    bool bankExisted = false; // there was a bank to replace
    QString bankAside;        // where the replaced bank is kept, relative to dir
    QString docAside;         // where the replaced Doc is kept, relative to dir
    QString newBankId;        // fileId() of the prepared bank
    QString newDocId;         // fileId() of the prepared Doc

    QString path(const char* relative) const { return dir + QLatin1String(relative); }
    QString path(const QString& relative) const { return dir + relative; }
};

// The files and folders a restore moves, in full.
struct Places {
    QString bank, bankAside, doc, docAside, newBank, newDoc;
};

Places placesOf(const Journal& j) {
    return {j.path(kBankFile),  j.path(j.bankAside), j.path(kDocFolder),
            j.path(j.docAside), j.path(kNewBank),    j.path(kNewDoc)};
}

QString journalPath(const QString& dir) {
    return withSlash(dir) + QLatin1String(kJournalFile);
}

void writeJournal(const Journal& j) {
    step(QStringLiteral("write the restore journal (%1)").arg(j.phase));
    QJsonObject o;
    o[QStringLiteral("phase")] = j.phase;
    o[QStringLiteral("label")] = j.label;
    o[QStringLiteral("withDocs")] = j.withDocs;
    o[QStringLiteral("bankExisted")] = j.bankExisted;
    o[QStringLiteral("bankAside")] = j.bankAside;
    o[QStringLiteral("docAside")] = j.docAside;
    o[QStringLiteral("newBankId")] = j.newBankId;
    o[QStringLiteral("newDocId")] = j.newDocId;
    const QString path = journalPath(j.dir);
    QSaveFile file(path);
    const QByteArray bytes = QJsonDocument(o).toJson();
    // QSaveFile flushes to the disk before it renames the new file into place.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw BackupError(QStringLiteral("The restore journal \"%1\" cannot be written: %2")
                              .arg(native(path), file.errorString()));
    syncToDisk(j.dir);
}

Journal readJournal(const QString& dir) {
    const QString path = journalPath(dir);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw BackupError(QStringLiteral("The restore journal \"%1\" cannot be read: %2")
                              .arg(native(path), file.errorString()));
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(file.readAll(), &error).object();
    Journal j;
    j.dir = withSlash(dir);
    j.phase = o.value(QStringLiteral("phase")).toString();
    j.label = o.value(QStringLiteral("label")).toString();
    j.withDocs = o.value(QStringLiteral("withDocs")).toBool();
    j.bankExisted = o.value(QStringLiteral("bankExisted")).toBool();
    j.bankAside = o.value(QStringLiteral("bankAside")).toString();
    j.docAside = o.value(QStringLiteral("docAside")).toString();
    j.newBankId = o.value(QStringLiteral("newBankId")).toString();
    j.newDocId = o.value(QStringLiteral("newDocId")).toString();
    const bool sound =
        error.error == QJsonParseError::NoError &&
        (j.phase == QLatin1String("preparing") || j.phase == QLatin1String("swapping") ||
         j.phase == QLatin1String("undoing")) &&
        j.bankAside.startsWith(QLatin1String("DB/TiKu.mdb.before-restore-")) &&
        !j.bankAside.contains(QLatin1String("/..")) &&
        j.docAside.startsWith(QLatin1String("Doc.before-restore-")) && !j.docAside.contains('/');
    if (!sound)
        throw BackupError(
            QStringLiteral("The restore journal \"%1\" is not one this programme wrote.")
                .arg(native(path)));
    return j;
}

void removeJournal(const Journal& j) {
    const QString path = journalPath(j.dir);
    if (!present(path))
        return;
    step(QStringLiteral("remove the restore journal"));
    if (!QFile::remove(path))
        throw BackupError(
            QStringLiteral("The restore journal \"%1\" cannot be removed.").arg(native(path)));
    syncToDisk(j.dir);
}

const char* const kBankCompanions[] = {"-journal", "-wal", "-shm"};

// Puts the prepared bank and Doc in place, keeping what they replace beside
// them; from wherever a killed restore stopped.
void finishRestore(const Journal& j) {
    const auto [bank, bankAside, doc, docAside, newBank, newDoc] = placesOf(j);
    const bool bankDone = fileId(bank) == j.newBankId;

    if (!bankDone) {
        if (j.bankExisted && !present(bankAside)) {
            // A second name for the same file: the bank keeps its place until
            // the restored one is renamed over it.
            step(QStringLiteral("keep the question bank as \"%1\"").arg(native(bankAside)));
            if (::link(QFile::encodeName(bank).constData(),
                       QFile::encodeName(bankAside).constData()) != 0) {
                const QString partial = bankAside + QStringLiteral(".partial");
                copyFile(bank, partial);
                renameOrThrow(partial, bankAside);
            }
        }
        // What SQLite keeps beside the bank belongs to the bank replaced:
        // left there, it would be played into the restored one.
        for (const char* suffix : kBankCompanions)
            if (present(bank + QLatin1String(suffix)))
                renameOrThrow(bank + QLatin1String(suffix), bankAside + QLatin1String(suffix));
        syncToDisk(j.path("DB"));
    }

    if (j.withDocs && fileId(doc) != j.newDocId) {
        if (fileId(newDoc) != j.newDocId)
            throw BackupError(
                QStringLiteral("The documents of the backup prepared in \"%1\" are missing.")
                    .arg(native(newDoc)));
        if (present(doc)) {
            if (present(docAside))
                throw BackupError(QStringLiteral("\"%1\" is in the way of the documents being "
                                                 "replaced.")
                                      .arg(native(docAside)));
            renameOrThrow(doc, docAside);
        }
        renameOrThrow(newDoc, doc);
        syncToDisk(j.dir);
    }

    if (!bankDone) {
        if (fileId(newBank) != j.newBankId)
            throw BackupError(
                QStringLiteral("The question bank of the backup prepared as \"%1\" is missing.")
                    .arg(native(newBank)));
        renameOrThrow(newBank, bank);
        syncToDisk(j.path("DB"));
    }
    removeJournal(j);
}

// Puts the bank and Doc back as they were before the restore, and clears
// away what it had prepared; from wherever it stopped.
void undoRestore(const Journal& j) {
    const auto [bank, bankAside, doc, docAside, newBank, newDoc] = placesOf(j);

    const QString bankNow = fileId(bank);
    const bool bankIsNew = !j.newBankId.isEmpty() && bankNow == j.newBankId;
    if (bankIsNew || bankNow.isEmpty()) {
        if (present(bankAside)) {
            renameOrThrow(bankAside, bank);
        } else if (bankIsNew) {
            if (j.bankExisted)
                throw BackupError(
                    QStringLiteral("The question bank the restore replaced, \"%1\", is missing.")
                        .arg(native(bankAside)));
            step(QStringLiteral("remove \"%1\"").arg(native(bank)));
            QFile::remove(bank);
        }
    } else if (present(bankAside)) {
        // The bank never left its place: this is a second name for it, or a
        // copy of it.
        step(QStringLiteral("remove \"%1\"").arg(native(bankAside)));
        if (!QFile::remove(bankAside))
            throw BackupError(QStringLiteral("\"%1\" cannot be removed.").arg(native(bankAside)));
    }
    for (const char* suffix : kBankCompanions)
        if (present(bankAside + QLatin1String(suffix)) && !present(bank + QLatin1String(suffix)))
            renameOrThrow(bankAside + QLatin1String(suffix), bank + QLatin1String(suffix));
    syncToDisk(j.path("DB"));

    if (j.withDocs) {
        if (!j.newDocId.isEmpty() && fileId(doc) == j.newDocId) {
            if (present(newDoc))
                throw BackupError(
                    QStringLiteral("\"%1\" is in the way of the restored documents being taken "
                                   "back.")
                        .arg(native(newDoc)));
            renameOrThrow(doc, newDoc);
        }
        if (!present(doc) && present(docAside))
            renameOrThrow(docAside, doc);
        syncToDisk(j.dir);
    }

    // The copies of the backup: they were made by this restore, after its
    // journal was written, and the backup still holds what they hold.
    for (const QString& copy : {newBank, bankAside + QStringLiteral(".partial")})
        if (present(copy)) {
            step(QStringLiteral("remove \"%1\"").arg(native(copy)));
            QFile::remove(copy);
        }
    if (present(newDoc) && (j.newDocId.isEmpty() || fileId(newDoc) == j.newDocId)) {
        step(QStringLiteral("remove \"%1\"").arg(native(newDoc)));
        removePath(newDoc);
    }
    removeJournal(j);
}

// Where the bank and the documents are now, in words.
QString stateOf(const Journal& j) {
    const auto [bank, bankAside, doc, docAside, newBank, newDoc] = placesOf(j);
    QString text;
    const QString bankNow = fileId(bank);
    if (!j.newBankId.isEmpty() && bankNow == j.newBankId)
        text = QStringLiteral("The question bank \"%1\" is the restored one; the one it replaced "
                              "is \"%2\".")
                   .arg(native(bank), native(bankAside));
    else if (!bankNow.isEmpty())
        text = QStringLiteral("The question bank \"%1\" is the one from before the restore.")
                   .arg(native(bank));
    else if (present(bankAside))
        text = QStringLiteral("There is no question bank \"%1\": the one from before the restore "
                              "is \"%2\".")
                   .arg(native(bank), native(bankAside));
    else
        text = QStringLiteral("There is no question bank \"%1\".").arg(native(bank));
    if (j.withDocs) {
        const QString old = present(docAside) ? docAside : QString();
        if (!j.newDocId.isEmpty() && fileId(doc) == j.newDocId)
            text += QStringLiteral(" Doc holds the restored documents; the documents it held are "
                                   "in \"%1\".")
                        .arg(native(old.isEmpty() ? newDoc : old));
        else if (present(doc))
            text += QStringLiteral(" Doc holds the documents from before the restore.");
        else if (!old.isEmpty())
            text += QStringLiteral(" There is no Doc: the documents from before the restore are "
                                   "in \"%1\".")
                        .arg(native(old));
    }
    return text;
}

// What the next start will do, as the journal on the disk says.
QString journalNote(const Journal& j) {
    QString next = QStringLiteral("tries again to put things back");
    try {
        if (readJournal(j.dir).phase == QLatin1String("swapping"))
            next = QStringLiteral("finishes the restore");
    } catch (const std::exception&) {
    }
    return QStringLiteral(" What is left to do is written in \"%1\": the next start of BackUp.exe "
                          "or Tolvane %2.")
        .arg(native(journalPath(j.dir)), next);
}

// Whether a restore was interrupted in `programDir`: its journal is there.
bool restoreInterrupted(const QString& programDir) {
    return present(journalPath(programDir));
}

// Undoes a restore that could not be finished: the message says how it ended.
QString undoAfterFailure(Journal j, const QString& error, const QString& opening) {
    try {
        if (j.phase != QLatin1String("preparing")) {
            j.phase = QStringLiteral("undoing");
            try {
                writeJournal(j);
            } catch (const std::exception&) {
                // The undo goes on all the same: when it ends, the journal
                // goes with it.
            }
        }
        undoRestore(j);
    } catch (const std::exception& e) {
        return QStringLiteral("%1 %2 Putting things back failed too: %3 %4%5")
            .arg(opening, error, QString::fromUtf8(e.what()), stateOf(j), journalNote(j));
    }
    if (j.phase == QLatin1String("preparing"))
        return QStringLiteral("%1 %2 Nothing was changed.").arg(opening, error);
    return QStringLiteral("%1 %2 The question bank and Doc were put back as they were before the "
                          "restore.")
        .arg(opening, error);
}

} // namespace

QString folderNameOf(const QString& label) {
    QString name = label;
    for (QChar& c : name)
        if (c == ':' || c == '/' || c == '\\' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || c.unicode() < 32)
            c = '.';
    name = name.trimmed();
    if (name.isEmpty() || name.startsWith('.'))
        name.prepend(QStringLiteral("Backup "));
    return name;
}

void verifyBank(const QString& path) {
    if (!QFileInfo(path).isFile())
        throw BackupError(QStringLiteral("\"%1\" does not exist.").arg(native(path)));
    db::Connection c;
    try {
        c.open(path);
        db::Query check(&c);
        check.setSql(QStringLiteral("PRAGMA integrity_check"));
        check.open();
        const QString answer = check.eof() ? QString() : db::Query::displayText(check.value(0, 0));
        if (answer != QLatin1String("ok"))
            throw BackupError(
                QStringLiteral("\"%1\" fails the integrity check: %2").arg(native(path), answer));
    } catch (const db::DbError& e) {
        throw BackupError(e.text());
    }
}

QList<qint64> processesHolding(const QString& file) {
    QList<qint64> holders;
    const QString target = QFileInfo(file).canonicalFilePath();
    if (target.isEmpty())
        return holders;
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : processes) {
        bool number = false;
        const qint64 id = pid.toLongLong(&number);
        if (!number || id == self)
            continue;
        const QString fdDir = QStringLiteral("/proc/") + pid + QStringLiteral("/fd");
        // Processes of other users cannot be looked into, nor can they hold
        // the bank of this user.
        const QStringList fds = QDir(fdDir).entryList(QDir::Files | QDir::System);
        for (const QString& fd : fds) {
            if (QFile::symLinkTarget(fdDir + '/' + fd) == target) {
                holders << id;
                break;
            }
        }
    }
    return holders;
}

JobResult makeBackup(const JobOptions& options) {
    const QString dir = withSlash(options.programDir);
    const QString bank = dir + QLatin1String(kBankFile);
    const QString doc = dir + QLatin1String(kDocFolder);
    QString partial;
    try {
        IniFile settings(ini::filePath(dir));
        const QString backupDir = backupFolder(settings, dir);

        if (!QFileInfo(bank).isFile())
            throw BackupError(
                QStringLiteral("The question bank \"%1\" does not exist.").arg(native(bank)));
        documentsUnder(doc); // refuses what cannot be copied, before anything is made
        waitForRelease(options, bank);

        // Doc is copied into the backup: a backup folder inside it would be
        // copied into itself.
        const QString docReal =
            QFileInfo(doc).exists() ? QFileInfo(doc).canonicalFilePath() : QDir::cleanPath(doc);
        const QString backupReal =
            QFileInfo(backupDir).exists() ? QFileInfo(backupDir).canonicalFilePath() : backupDir;
        if ((backupReal + '/').startsWith(docReal + '/'))
            throw BackupError(QStringLiteral("The backup folder \"%1\" lies inside Doc, which the "
                                             "backup copies. Choose another backup folder.")
                                  .arg(native(backupDir)));

        tell(options,
             QStringLiteral("Preparing the backup folder \"%1\"...").arg(native(backupDir)));
        if (!QDir().mkpath(backupDir) || !QFileInfo(backupDir).isDir())
            throw BackupError(
                QStringLiteral("The backup folder \"%1\" cannot be made.").arg(native(backupDir)));

        // A readable local date and time; a second backup in the same second
        // gets a number after it.
        const QStringList recorded = ini::labels(settings);
        const QString stamp =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QString label = stamp;
        for (int n = 2; recorded.contains(label) ||
                        QFileInfo::exists(withSlash(backupDir) + folderNameOf(label));
             ++n)
            label = stamp + QStringLiteral(" (%1)").arg(n);
        const QString target = withSlash(backupDir) + folderNameOf(label);
        // What a backup killed half-way left behind is of no use to anyone.
        const QStringList leftovers = QDir(backupDir).entryList(
            {QStringLiteral(".*.partial*")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& leftover : leftovers)
            removePath(withSlash(backupDir) + leftover);
        partial =
            freeName(withSlash(backupDir) + '.' + folderNameOf(label) + QStringLiteral(".partial"));

        tell(options, QStringLiteral("Copying the question bank..."));
        if (!QDir().mkpath(partial + QStringLiteral("/DB")))
            throw BackupError(QStringLiteral("The backup folder \"%1\" cannot be written.")
                                  .arg(native(backupDir)));
        copyBank(bank, partial + '/' + QLatin1String(kBankFile));
        tell(options, QStringLiteral("Copying the documents of Doc..."));
        copyTree(doc, partial + '/' + QLatin1String(kDocFolder));

        tell(options, QStringLiteral("Checking the copy..."));
        verifyBank(partial + '/' + QLatin1String(kBankFile));
        syncToDisk(partial + QStringLiteral("/DB"));
        syncToDisk(partial);

        // Complete and checked: only now does it get its name.
        renameOrThrow(partial, target);
        partial.clear();
        syncToDisk(backupDir);

        tell(options, QStringLiteral("Recording the backup in set.ini..."));
        settings.reload(); // the count as it is now, not as it was when the copy began
        const int number = qMax(0, settings.intValue(ini::kSection, ini::kCount, 0)) + 1;
        try {
            settings.write({{ini::kSection, ini::kCount, QString::number(number)},
                            {ini::kLabelSection, ini::backupKey(number), label},
                            {ini::kFolderSection, ini::backupKey(number), target}});
        } catch (const options::SettingsError& e) {
            removePath(target);
            throw BackupError(e.text());
        }

        JobResult r;
        r.ok = true;
        r.label = label;
        r.message = QStringLiteral("Backup \"%1\" made in \"%2\".").arg(label, native(target));
        return r;
    } catch (const std::exception& e) {
        if (!partial.isEmpty())
            removePath(partial);
        return failed(QStringLiteral("Backup failed: %1 Nothing was recorded.")
                          .arg(QString::fromUtf8(e.what())));
    }
}

JobResult restoreBackup(const JobOptions& options, const QString& label) {
    const QString dir = withSlash(options.programDir);
    const QString bank = dir + QLatin1String(kBankFile);
    const QString doc = dir + QLatin1String(kDocFolder);
    const QString newBank = dir + QLatin1String(kNewBank);
    const QString newDoc = dir + QLatin1String(kNewDoc);
    const QString refused = QStringLiteral("Restore refused:");
    Journal j;
    j.dir = dir;
    j.label = label;
    QString folder; // the backup's
    try {
        IniFile settings(ini::filePath(dir));
        const int index = ini::labels(settings).indexOf(label);
        if (label.isEmpty() || index < 0)
            throw BackupError(
                QStringLiteral("The backup \"%1\" is not recorded in set.ini.").arg(label));
        folder = settings.value(ini::kFolderSection, ini::backupKey(index + 1));
        if (folder.isEmpty()) {
            folder = withSlash(backupFolder(settings, dir)) + folderNameOf(label);
        }
        folder = QDir::cleanPath(QDir(dir).absoluteFilePath(QDir::fromNativeSeparators(folder)));
        const QString savedBank = folder + '/' + QLatin1String(kBankFile);
        const QString savedDoc = folder + '/' + QLatin1String(kDocFolder);

        tell(options, QStringLiteral("Checking the backup \"%1\"...").arg(label));
        if (!QFileInfo(savedBank).isFile())
            throw BackupError(QStringLiteral("The backup \"%1\" is missing: \"%2\" does not exist.")
                                  .arg(label, native(savedBank)));
        try {
            verifyBank(savedBank);
        } catch (const BackupError& e) {
            throw BackupError(QStringLiteral("The backup \"%1\" is damaged or is not a question "
                                             "bank of this programme: %2")
                                  .arg(label, e.text()));
        }
        // A backup without a Doc folder (not made by this program) says
        // nothing about the documents: they are left as they are.
        j.withDocs = QFileInfo(savedDoc).isDir();
        if (j.withDocs)
            documentsUnder(savedDoc); // refuses what cannot be copied, before any change

        // A folder of this name may hold the documents of a restore that an
        // older version left half-done: it is not ours to remove.
        if (present(newDoc))
            throw BackupError(
                QStringLiteral("The folder \"%1\" left by an earlier restore is in the way. It "
                               "may hold documents: keep what you need from it elsewhere, "
                               "remove it and restore again.")
                    .arg(native(newDoc)));

        waitForRelease(options, bank);
    } catch (const std::exception& e) {
        return failed(
            QStringLiteral("%1 %2 Nothing was changed.").arg(refused, QString::fromUtf8(e.what())));
    }

    const QString stamp = timeStamp();
    j.phase = QStringLiteral("preparing");
    j.bankExisted = QFileInfo(bank).isFile();
    j.bankAside =
        QDir(dir).relativeFilePath(freeName(bank + QStringLiteral(".before-restore-") + stamp));
    j.docAside =
        QDir(dir).relativeFilePath(freeName(doc + QStringLiteral(".before-restore-") + stamp));
    try {
        // Everything is made ready beside its place first.
        tell(options, QStringLiteral("Copying the backup beside the question bank..."));
        writeJournal(j);
        if (!QDir().mkpath(dir + QStringLiteral("DB")))
            throw BackupError(
                QStringLiteral("The folder \"%1\" cannot be made.").arg(native(dir + "DB")));
        step(QStringLiteral("copy the backup's question bank"));
        if (present(newBank))
            QFile::remove(newBank); // a copy of a backup, never anything else
        copyFile(folder + '/' + QLatin1String(kBankFile), newBank);
        verifyBank(newBank);
        if (j.withDocs) {
            step(QStringLiteral("copy the backup's documents"));
            copyTree(folder + '/' + QLatin1String(kDocFolder), newDoc);
        }

        // A hot journal left by a programme that was killed belongs to the
        // bank being replaced: opening that bank rolls it back, so it cannot
        // be played into the restored one.
        if (j.bankExisted) {
            try {
                db::Connection settle;
                settle.open(bank);
            } catch (const db::DbError&) {
            }
        }
        Journal ready = j;
        ready.newBankId = fileId(newBank);
        ready.newDocId = j.withDocs ? fileId(newDoc) : QString();
        ready.phase = QStringLiteral("swapping");
        writeJournal(ready);
        j = ready;
    } catch (const std::exception& e) {
        return failed(undoAfterFailure(j, QString::fromUtf8(e.what()), refused));
    }

    try {
        tell(options, QStringLiteral("Replacing the question bank and Doc..."));
        finishRestore(j);
    } catch (const std::exception& e) {
        return failed(
            undoAfterFailure(j, QString::fromUtf8(e.what()), QStringLiteral("Restore failed:")));
    }

    JobResult r;
    r.ok = true;
    r.label = label;
    r.message = QStringLiteral("Backup \"%1\" restored.").arg(label);
    const QString bankAside = dir + j.bankAside;
    const QString docAside = dir + j.docAside;
    if (j.bankExisted)
        r.message += QStringLiteral(" The question bank it replaced is kept as \"%1\"")
                         .arg(native(bankAside));
    if (j.withDocs && present(docAside))
        r.message += QStringLiteral("%1 its documents as \"%2\"")
                         .arg(j.bankExisted ? QStringLiteral(",") : QStringLiteral(" The"),
                              native(docAside));
    if (j.bankExisted || present(docAside))
        r.message += '.';
    if (!j.withDocs)
        r.message += QStringLiteral(" The backup holds no Doc folder: Doc was left as it was.");
    return r;
}

Recovery recoverRestore(const QString& programDir) {
    Recovery r;
    if (!restoreInterrupted(programDir))
        return r;
    r.found = true;
    Journal j;
    try {
        j = readJournal(programDir);
    } catch (const std::exception& e) {
        r.ok = false;
        r.message = QStringLiteral("A restore was interrupted, but what it left cannot be set "
                                   "right: %1 Nothing was touched: look at the question bank and "
                                   "Doc, then remove the journal.")
                        .arg(QString::fromUtf8(e.what()));
        return r;
    }
    const QString opening =
        QStringLiteral("The restore of the backup \"%1\" was interrupted.").arg(j.label);
    if (j.phase == QLatin1String("swapping")) {
        try {
            finishRestore(j);
            r.message =
                QStringLiteral("%1 It has now been finished: %2")
                    .arg(opening, j.withDocs
                                      ? QStringLiteral("the question bank and Doc are those of the "
                                                       "backup.")
                                      : QStringLiteral("the question bank is that of the backup."));
            if (present(j.path(j.bankAside)))
                r.message += QStringLiteral(" The question bank it replaced is kept as \"%1\".")
                                 .arg(native(j.path(j.bankAside)));
            if (j.withDocs && present(j.path(j.docAside)))
                r.message += QStringLiteral(" The documents it replaced are kept as \"%1\".")
                                 .arg(native(j.path(j.docAside)));
            return r;
        } catch (const std::exception& e) {
            r.message = undoAfterFailure(j, QString::fromUtf8(e.what()),
                                         opening + QStringLiteral(" It could not be finished:"));
            r.ok = !restoreInterrupted(programDir);
            return r;
        }
    }
    try {
        undoRestore(j);
        r.message = QStringLiteral("%1 It has been undone: the question bank and Doc are as they "
                                   "were before it.")
                        .arg(opening);
    } catch (const std::exception& e) {
        r.ok = false;
        r.message = QStringLiteral("%1 Undoing it failed: %2 %3%4")
                        .arg(opening, QString::fromUtf8(e.what()), stateOf(j), journalNote(j));
    }
    return r;
}

Recovery recoverRestoreAtStart(const QString& programDir) {
    if (!restoreInterrupted(programDir))
        return {};
    QLockFile lock(withSlash(programDir) + QLatin1String(kLockFile));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        Recovery r;
        r.found = true;
        r.ok = false;
        r.message = QStringLiteral("The backup program is still restoring a backup in \"%1\". "
                                   "Start Tolvane again when it has finished.")
                        .arg(native(programDir));
        return r;
    }
    return recoverRestore(programDir);
}

void setStepHook(std::function<void(const QString& step)> hook) {
    stepHook() = std::move(hook);
}

JobResult runJob(const JobOptions& options, const Request& request) {
    try {
        const QString dir = withSlash(options.programDir);
        const QString path = ini::filePath(dir);
        if (request.kind == Request::FromSettings && !QFileInfo::exists(path))
            return failed(
                QStringLiteral("The settings file \"%1\" does not exist: start the backup "
                               "or restore from Tolvane's options.")
                    .arg(native(path)));
        // One backup program at a time: two would number their backups alike
        // and take each other's half-made copies for leftovers. A lock is
        // taken over only from a programme that has ended, however long the
        // work takes.
        QLockFile lock(dir + QLatin1String(kLockFile));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(options.waitSeconds * 1000))
            return failed(QStringLiteral("Another backup or restore is still running in \"%1\".")
                              .arg(native(dir)));

        if (restoreInterrupted(dir))
            waitForRelease(options, dir + QLatin1String(kBankFile));
        const Recovery recovery = recoverRestore(dir);
        if (recovery.found)
            tell(options, recovery.message);
        if (!recovery.ok)
            return failed(recovery.message);

        Request todo = request;
        if (request.kind == Request::FromSettings) {
            IniFile settings(path);
            const QString operation = settings.value(ini::kSection, ini::kOperation);
            todo.label = settings.value(ini::kSection, ini::kRestoreLabel);
            // Taken before it is acted on: a request is carried out once,
            // whatever becomes of it, and never again by a later run.
            if (operation != QLatin1String("0") || !todo.label.isEmpty()) {
                try {
                    settings.write({{ini::kSection, ini::kOperation, QStringLiteral("0")},
                                    {ini::kSection, ini::kRestoreLabel, QString()}});
                } catch (const options::SettingsError& e) {
                    return failed(QStringLiteral("%1 The request in it was not carried out, so "
                                                 "that no later run carries it out again.")
                                      .arg(e.text()));
                }
            }
            if (operation == QLatin1String("0")) {
                todo.kind = Request::Backup;
            } else if (operation == QLatin1String("1")) {
                todo.kind = Request::Restore;
            } else {
                return failed(QStringLiteral("The settings file \"%1\" asks for no known "
                                             "operation (CZ=%2): 0 is a backup, 1 a restore.")
                                  .arg(native(path), operation));
            }
        }
        JobResult result;
        if (todo.kind == Request::Backup) {
            tell(options, QStringLiteral("Backing up the question bank."));
            result = makeBackup(options);
        } else {
            tell(options, QStringLiteral("Restoring the backup \"%1\".").arg(todo.label));
            result = restoreBackup(options, todo.label);
        }
        if (recovery.found)
            result.message = recovery.message + '\n' + result.message;
        return result;
    } catch (const std::exception& e) {
        return failed(QString::fromUtf8(e.what()));
    }
}

} // namespace tolvane::backup
