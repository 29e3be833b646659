#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "tools/backup/BackupJob.h"

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
#include <QLockFile>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tolvane::backup {

namespace ini = options::backupini;
using options::IniFile;

namespace {

const char kBankFile[] = "DB/TiKu.mdb";
const char kDocFolder[] = "Doc";

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

// Copies one file, flushed to the disk; a short write (a full disk) fails.
void copyFile(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw BackupError(
            QStringLiteral("\"%1\" cannot be read: %2").arg(native(from), in.errorString()));
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

// The files under a folder, by their path relative to it, with their sizes.
QList<QPair<QString, qint64>> filesUnder(const QString& dir) {
    QList<QPair<QString, qint64>> files;
    if (!QFileInfo(dir).isDir())
        return files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(dir);
    while (it.hasNext()) {
        it.next();
        files.append({base.relativeFilePath(it.filePath()), it.fileInfo().size()});
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Copies a folder with everything in it; a missing source gives an empty
// folder.
void copyTree(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        throw BackupError(QStringLiteral("The folder \"%1\" cannot be made.").arg(native(to)));
    if (!QFileInfo(from).isDir())
        return;
    QDirIterator dirs(from, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                      QDirIterator::Subdirectories);
    const QDir base(from);
    while (dirs.hasNext()) {
        dirs.next();
        const QString target = withSlash(to) + base.relativeFilePath(dirs.filePath());
        if (!QDir().mkpath(target))
            throw BackupError(
                QStringLiteral("The folder \"%1\" cannot be made.").arg(native(target)));
    }
    for (const auto& file : filesUnder(from))
        copyFile(withSlash(from) + file.first, withSlash(to) + file.first);
    for (const auto& file : filesUnder(to))
        syncToDisk(QFileInfo(withSlash(to) + file.first).absolutePath());
    syncToDisk(to);
}

void verifyTree(const QString& original, const QString& copy) {
    if (filesUnder(original) != filesUnder(copy))
        throw BackupError(
            QStringLiteral("The copy of \"%1\" is not complete.").arg(native(original)));
}

void removePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else if (info.exists() || info.isSymLink())
        QFile::remove(path);
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
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw BackupError(QStringLiteral("\"%1\" cannot be renamed to \"%2\": %3")
                              .arg(native(from), native(to), systemError()));
}

// Swaps two folders in one step where the file system can; otherwise moves
// `current` aside and `replacement` into its place.
void swapFolders(const QString& replacement, const QString& current, const QString& aside) {
    const QByteArray a = QFile::encodeName(replacement);
    const QByteArray b = QFile::encodeName(current);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0) {
        renameOrThrow(replacement, aside); // now holds what was current
        return;
    }
    renameOrThrow(current, aside);
    try {
        renameOrThrow(replacement, current);
    } catch (...) {
        ::rename(QFile::encodeName(aside).constData(), b.constData());
        throw;
    }
}

QString timeStamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

JobResult failed(const QString& text) {
    JobResult r;
    r.ok = false;
    r.message = text;
    return r;
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
        QString backupDir = settings.value(ini::kSection, ini::kBackupPath);
        if (backupDir.isEmpty())
            backupDir = ini::defaultBackupPath(dir);
        backupDir =
            QDir::cleanPath(QDir(dir).absoluteFilePath(QDir::fromNativeSeparators(backupDir)));

        if (!QFileInfo(bank).isFile())
            throw BackupError(
                QStringLiteral("The question bank \"%1\" does not exist.").arg(native(bank)));
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
        verifyTree(doc, partial + '/' + QLatin1String(kDocFolder));
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
    const QString newBank = bank + QStringLiteral(".restoring");
    const QString newDoc = doc + QStringLiteral(".restoring");
    bool prepared = false;
    try {
        IniFile settings(ini::filePath(dir));
        const int index = ini::labels(settings).indexOf(label);
        if (label.isEmpty() || index < 0)
            throw BackupError(
                QStringLiteral("The backup \"%1\" is not recorded in set.ini.").arg(label));
        QString folder = settings.value(ini::kFolderSection, ini::backupKey(index + 1));
        if (folder.isEmpty()) {
            QString backupDir = settings.value(ini::kSection, ini::kBackupPath);
            if (backupDir.isEmpty())
                backupDir = ini::defaultBackupPath(dir);
            folder = withSlash(QDir::fromNativeSeparators(backupDir)) + folderNameOf(label);
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

        waitForRelease(options, bank);

        // Everything is made ready beside its place first.
        tell(options, QStringLiteral("Copying the backup beside the question bank..."));
        prepared = true;
        removePath(newBank);
        removePath(newDoc);
        if (!QDir().mkpath(dir + QStringLiteral("DB")))
            throw BackupError(
                QStringLiteral("The folder \"%1\" cannot be made.").arg(native(dir + "DB")));
        copyFile(savedBank, newBank);
        verifyBank(newBank);
        // A backup without a Doc folder (not made by this program) says
        // nothing about the documents: they are left as they are.
        const bool withDocs = QFileInfo(savedDoc).isDir();
        if (withDocs) {
            copyTree(savedDoc, newDoc);
            verifyTree(savedDoc, newDoc);
        }

        // A hot journal left by a programme that was killed belongs to the
        // bank being replaced: opening that bank rolls it back, so it cannot
        // be played into the restored one.
        if (QFileInfo(bank).isFile()) {
            try {
                db::Connection settle;
                settle.open(bank);
            } catch (const db::DbError&) {
            }
        }

        const QString stamp = timeStamp();
        QString bankAside;
        QString docAside;
        if (QFileInfo(bank).isFile()) {
            tell(options, QStringLiteral("Keeping the question bank being replaced..."));
            bankAside = freeName(bank + QStringLiteral(".before-restore-") + stamp);
            const QByteArray from = QFile::encodeName(bank);
            const QByteArray to = QFile::encodeName(bankAside);
            // A second name for the same file: the bank keeps its place until
            // the restored one is renamed over it.
            if (::link(from.constData(), to.constData()) != 0)
                copyFile(bank, bankAside);
            for (const char* suffix : {"-journal", "-wal", "-shm"}) {
                const QString leftover = bank + QLatin1String(suffix);
                if (QFileInfo::exists(leftover))
                    renameOrThrow(leftover, bankAside + QLatin1String(suffix));
            }
        }

        tell(options, QStringLiteral("Replacing the question bank and Doc..."));
        syncToDisk(dir + QStringLiteral("DB"));
        if (withDocs && QFileInfo(doc).isDir()) {
            docAside = freeName(doc + QStringLiteral(".before-restore-") + stamp);
            swapFolders(newDoc, doc, docAside);
        } else if (withDocs) {
            removePath(doc);
            renameOrThrow(newDoc, doc);
        }
        try {
            renameOrThrow(newBank, bank);
        } catch (...) {
            // Doc goes back to what it was: nothing is restored by halves.
            removePath(newDoc);
            if (!docAside.isEmpty())
                swapFolders(docAside, doc, newDoc);
            else if (withDocs)
                renameOrThrow(doc, newDoc);
            throw;
        }
        prepared = false;
        syncToDisk(dir + QStringLiteral("DB"));
        syncToDisk(dir);

        JobResult r;
        r.ok = true;
        r.label = label;
        r.message = QStringLiteral("Backup \"%1\" restored.").arg(label);
        if (!bankAside.isEmpty())
            r.message += QStringLiteral(" The question bank it replaced is kept as \"%1\"")
                             .arg(native(bankAside));
        if (!docAside.isEmpty())
            r.message += QStringLiteral(", its documents as \"%1\"").arg(native(docAside));
        if (!bankAside.isEmpty())
            r.message += '.';
        if (!withDocs)
            r.message += QStringLiteral(" The backup holds no Doc folder: Doc was left as it was.");
        return r;
    } catch (const std::exception& e) {
        if (prepared) {
            removePath(newBank);
            removePath(newDoc);
        }
        return failed(QStringLiteral("Restore refused: %1 Nothing was changed.")
                          .arg(QString::fromUtf8(e.what())));
    }
}

JobResult runJob(const JobOptions& options) {
    try {
        const QString dir = withSlash(options.programDir);
        const QString path = ini::filePath(dir);
        if (!QFileInfo::exists(path))
            return failed(
                QStringLiteral("The settings file \"%1\" does not exist: start the backup "
                               "or restore from Tolvane's options.")
                    .arg(native(path)));
        // One backup program at a time: two would number their backups alike
        // and take each other's half-made copies for leftovers.
        QLockFile lock(dir + QStringLiteral("BackUp.exe.lock"));
        if (!lock.tryLock(options.waitSeconds * 1000))
            return failed(QStringLiteral("Another backup or restore is still running in \"%1\".")
                              .arg(native(dir)));
        IniFile settings(path);
        const QString operation = settings.value(ini::kSection, ini::kOperation);
        if (operation == QLatin1String("0")) {
            tell(options, QStringLiteral("Backing up the question bank."));
            return makeBackup(options);
        }
        if (operation == QLatin1String("1")) {
            const QString label = settings.value(ini::kSection, ini::kRestoreLabel);
            tell(options, QStringLiteral("Restoring the backup \"%1\".").arg(label));
            return restoreBackup(options, label);
        }
        return failed(QStringLiteral("The settings file \"%1\" asks for no known operation "
                                     "(CZ=%2): 0 is a backup, 1 a restore.")
                          .arg(native(path), operation));
    } catch (const std::exception& e) {
        return failed(QString::fromUtf8(e.what()));
    }
}

Arguments parseArguments(const QStringList& arguments) {
    Arguments a;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("han_backup")) {
            a.run = true;
        } else if (arg == QLatin1String("--no-window")) {
            a.noWindow = true;
        } else if (arg == QLatin1String("--wait") && i + 1 < arguments.size()) {
            bool ok = false;
            a.waitSeconds = arguments[++i].toInt(&ok);
            if (!ok || a.waitSeconds < 0)
                a.error = QStringLiteral("--wait needs a number of seconds.");
        } else {
            a.error = QStringLiteral("Unknown argument \"%1\".").arg(arg);
        }
    }
    if (a.error.isEmpty() && !a.run)
        a.error = QStringLiteral("Nothing to do.");
    return a;
}

QString usageText() {
    return QStringLiteral(
        "Usage: BackUp.exe han_backup [--no-window] [--wait SECONDS]\n"
        "\n"
        "Backs up or restores the question bank beside this program, as set.ini asks:\n"
        "[bakup] CZ=0 makes a new backup of DB/TiKu.mdb and Doc/ under BakPath and records it;\n"
        "CZ=1 restores the recorded backup whose label is RQ.\n"
        "\n"
        "  --no-window      work without a window and print the outcome; the exit code is 0\n"
        "                   on success and 1 on any failure\n"
        "  --wait SECONDS   how long to wait for Tolvane to close the bank (default 60)\n");
}

} // namespace tolvane::backup
