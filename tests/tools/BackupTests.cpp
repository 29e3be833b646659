#include "options/BackupJob.h"
#include "tools/backup/BackupWindow.h"
#include "tools/backup/CommandLine.h"

#include "app/Startup.h"
#include "core/AppPaths.h"
#include "db/Database.h"
#include "db/Query.h"
#include "options/BackupSettings.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tolvane;
using backup::JobOptions;
using backup::JobResult;
using options::IniFile;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// Every file under a folder, by its relative path, with its content.
QMap<QString, QByteArray> tree(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        files.insert(QDir(dir).relativeFilePath(it.filePath()), readFile(it.filePath()));
    }
    return files;
}

// A program folder with a bank (the bank closed, as after Tolvane ended),
// documents and set.ini.
class Backup : public ::testing::Test {
protected:
    test::TestBank bank{false};

    void SetUp() override {
        exec("INSERT INTO JianDaTi (TypeID, TM, DA, NY, CZ) VALUES "
             "(3, 'What is a noun?', 'A word for a thing.', 12, '1  Basics')");
        bank.addDoc("q1.doc", "question one");
        writeFile(bank.dir() + "Doc/sub/a1.doc", "answer one");
        writeSettings("[bakup]\nBakPath=" + bank.dir().toUtf8() + "backups\n");
    }

    QString dir() const { return bank.dir(); }
    void writeSettings(const QByteArray& text) { writeFile(dir() + "set.ini", text); }
    IniFile settings() const { return IniFile(dir() + "set.ini"); }

    void exec(const QString& sql) {
        db::Connection c;
        c.open(bank.bankPath());
        db::Query q(&c);
        q.setSql(sql);
        q.execSql();
    }
    QString questions() {
        db::Connection c;
        c.open(bank.bankPath());
        db::Query q(&c);
        q.setSql("SELECT TM FROM JianDaTi ORDER BY BH");
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.fieldText("TM");
        return out.join('|');
    }

    JobResult run(const QByteArray& operation, const QString& label = QString()) {
        IniFile s = settings();
        s.write({{"bakup", "CZ", QString::fromLatin1(operation)}, {"bakup", "RQ", label}});
        JobOptions o;
        o.programDir = dir();
        o.waitSeconds = 1;
        return backup::runJob(o);
    }

    // Nothing half-made is left beside the bank, Doc or the backups.
    void expectNoLeftovers() {
        EXPECT_FALSE(QFile::exists(dir() + "DB/TiKu.mdb.restoring"));
        EXPECT_FALSE(QFile::exists(dir() + "Doc.restoring"));
        EXPECT_FALSE(QFile::exists(dir() + "BackUp.restore-journal"));
        EXPECT_TRUE(QDir(dir() + "backups")
                        .entryList({"*.partial"}, QDir::AllEntries | QDir::Hidden)
                        .isEmpty());
    }
};

} // namespace

TEST_F(Backup, BackupsAreCompleteCheckedAndRecordedAndARestorePutsOneBack) {
    const QMap<QString, QByteArray> docs = tree(dir() + "Doc");
    writeFile(dir() + "backups/.2020-01-01 10.00.00.partial/DB/TiKu.mdb", "killed half-way");
    const JobResult first = run("0");
    ASSERT_TRUE(first.ok) << first.message.toStdString();
    const JobResult second = run("0");
    ASSERT_TRUE(second.ok) << second.message.toStdString();
    EXPECT_NE(first.label, second.label) << "two backups in the same second differ";
    EXPECT_EQ(QDir(dir() + "backups").entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({backup::folderNameOf(first.label), backup::folderNameOf(second.label)}))
        << "a half-made backup of an earlier run is cleared away";

    IniFile s = settings();
    EXPECT_EQ(s.value("bakup", "num"), "2");
    EXPECT_EQ(s.value("bakupdian", "bak1"), first.label);
    EXPECT_EQ(s.value("bakupdian", "bak2"), second.label);
    const QString folder = s.value("bakupdir", "bak1");
    EXPECT_TRUE(folder.startsWith(dir() + "backups/"));
    EXPECT_EQ(tree(folder + "/Doc"), docs);
    backup::verifyBank(folder + "/DB/TiKu.mdb");
    EXPECT_FALSE(readFile(folder + "/DB/TiKu.mdb").startsWith("SQLite format 3"))
        << "the copy stays encrypted";

    // The lecturer changes things, then goes back to the first backup.
    exec("DELETE FROM JianDaTi");
    exec("INSERT INTO JianDaTi (TypeID, TM, DA, NY, CZ) VALUES (3, 'Later', 'x', 12, '1')");
    writeFile(dir() + "Doc/q1.doc", "changed");
    bank.addDoc("new.doc", "new");
    const QByteArray replaced = readFile(dir() + "DB/TiKu.mdb");
    const QMap<QString, QByteArray> replacedDocs = tree(dir() + "Doc");

    const JobResult restored = run("1", first.label);
    ASSERT_TRUE(restored.ok) << restored.message.toStdString();
    EXPECT_EQ(questions(), "What is a noun?");
    EXPECT_EQ(tree(dir() + "Doc"), docs);
    expectNoLeftovers();

    // What the restore replaced is kept beside, so the restore can be undone.
    const QStringList banks = QDir(dir() + "DB").entryList({"TiKu.mdb.before-restore-*"});
    ASSERT_EQ(banks.size(), 1);
    EXPECT_EQ(readFile(dir() + "DB/" + banks[0]), replaced);
    const QStringList docFolders = QDir(dir()).entryList({"Doc.before-restore-*"}, QDir::Dirs);
    ASSERT_EQ(docFolders.size(), 1);
    EXPECT_EQ(tree(dir() + docFolders[0]), replacedDocs);
    EXPECT_EQ(settings().value("bakup", "num"), "2") << "a restore records nothing";
}

TEST_F(Backup, ARestoreThatCannotBeTrustedIsRefusedAndChangesNothing) {
    const JobResult made = run("0");
    ASSERT_TRUE(made.ok) << made.message.toStdString();
    const QString saved = settings().value("bakupdir", "bak1") + "/DB/TiKu.mdb";
    const QByteArray good = readFile(saved);
    exec("DELETE FROM JianDaTi");
    const QByteArray bankBefore = readFile(dir() + "DB/TiKu.mdb");
    const QMap<QString, QByteArray> docsBefore = tree(dir() + "Doc");

    QByteArray damaged = good;
    for (int i = 1500; i < 2500 && i < damaged.size(); ++i)
        damaged[i] = char(damaged[i] ^ 0x5a);
    QByteArray otherKey;
    {
        QTemporaryDir tmp;
        db::Connection c;
        c.create(tmp.filePath("x.mdb"), "not the key");
        c.execScript("CREATE TABLE YH (UserName TEXT)");
        c.close();
        otherKey = readFile(tmp.filePath("x.mdb"));
    }

    const struct {
        const char* what;
        QString label;
        QByteArray file; // written over the backup's bank; empty: left alone
        const char* says;
    } cases[] = {
        {"an unknown label", "1999-01-01 00:00:00", {}, "is not recorded"},
        {"no label", "", {}, "is not recorded"},
        {"a damaged backup", made.label, damaged, "is damaged"},
        {"a bank under another key", made.label, otherKey, "is damaged"},
        {"a missing backup", made.label, "-", "is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.file == "-")
            QFile::remove(saved);
        else if (!c.file.isEmpty())
            writeFile(saved, c.file);
        const JobResult r = run("1", c.label);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.contains(c.says)) << r.message.toStdString();
        EXPECT_TRUE(r.message.endsWith("Nothing was changed.")) << r.message.toStdString();
        EXPECT_EQ(readFile(dir() + "DB/TiKu.mdb"), bankBefore);
        EXPECT_EQ(tree(dir() + "Doc"), docsBefore);
        EXPECT_TRUE(QDir(dir() + "DB").entryList({"*before-restore*"}).isEmpty());
        expectNoLeftovers();
        writeFile(saved, good);
    }
}

TEST_F(Backup, ABackupWithoutDocumentsLeavesDocAsItIs) {
    const JobResult made = run("0");
    ASSERT_TRUE(made.ok) << made.message.toStdString();
    QDir(settings().value("bakupdir", "bak1") + "/Doc").removeRecursively();
    exec("DELETE FROM JianDaTi");
    bank.addDoc("new.doc", "new");
    const QMap<QString, QByteArray> docs = tree(dir() + "Doc");

    const JobResult r = run("1", made.label);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("Doc was left as it was")) << r.message.toStdString();
    EXPECT_EQ(questions(), "What is a noun?");
    EXPECT_EQ(tree(dir() + "Doc"), docs);
    expectNoLeftovers();
}

TEST_F(Backup, ABackupThatCannotBeWrittenIsRecordedNowhere) {
    // A folder below a file can never be made, whoever runs this.
    writeFile(dir() + "plainfile", "x");
    writeSettings("[bakup]\nBakPath=" + dir().toUtf8() +
                  "plainfile/backups\nnum=1\n"
                  "[bakupdian]\nbak1=older\n");
    const JobResult r = run("0");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith("Backup failed:")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("plainfile/backups")) << r.message.toStdString();
    EXPECT_EQ(settings().value("bakup", "num"), "1");
    EXPECT_FALSE(settings().contains("bakupdian", "bak2"));

    // Nor can a backup be kept inside the Doc folder it copies.
    const QMap<QString, QByteArray> docs = tree(dir() + "Doc");
    IniFile s = settings();
    s.write("bakup", "BakPath", dir() + "Doc/backups");
    const JobResult inside = run("0");
    EXPECT_FALSE(inside.ok);
    EXPECT_TRUE(inside.message.contains("lies inside Doc")) << inside.message.toStdString();
    EXPECT_EQ(tree(dir() + "Doc"), docs);
    EXPECT_EQ(settings().value("bakup", "num"), "1");
}

TEST_F(Backup, UnclearRequestsAreRefused) {
    EXPECT_FALSE(run("7").ok);
    {
        QLockFile other(dir() + "BackUp.exe.lock");
        ASSERT_TRUE(other.tryLock(0));
        const JobResult r = run("0");
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.startsWith("Another backup or restore is still running"))
            << r.message.toStdString();
        EXPECT_FALSE(settings().contains("bakup", "num"));
    }
    QFile::remove(dir() + "set.ini");
    JobOptions o;
    o.programDir = dir();
    const JobResult r = backup::runJob(o);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("set.ini")) << r.message.toStdString();

    const struct {
        QStringList args;
        bool valid;
    } lines[] = {
        {{"han_backup"}, true},
        {{"han_backup", "--no-window", "--wait", "5"}, true},
        {{}, false},
        {{"han_backup", "--wait", "soon"}, false},
        {{"han_backup", "--bogus"}, false},
    };
    for (const auto& l : lines)
        EXPECT_EQ(backup::parseArguments(l.args).error.isEmpty(), l.valid)
            << l.args.join(' ').toStdString();
}

TEST_F(Backup, TheWindowShowsTheWorkAndStartsTolvaneAgain) {
    // Stands in for Tolvane: leaves a mark where it was started.
    writeFile(dir() + "Zenlo", "#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    QFile::setPermissions(dir() + "Zenlo", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    IniFile s = settings();
    s.write("bakup", "CZ", "0");
    JobOptions o;
    o.programDir = dir();
    backup::BackupWindow w(o);
    w.show();
    w.start();
    EXPECT_FALSE(w.Start_Btn->isEnabled()) << "not while it works";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.finished(); }, 30000));
    EXPECT_TRUE(w.result().ok) << w.result().message.toStdString();
    EXPECT_EQ(w.Status_L->text(), "Done.");
    EXPECT_TRUE(w.Log_Memo->toPlainText().contains("Copying the question bank..."));
    EXPECT_TRUE(w.Log_Memo->toPlainText().contains(w.result().message));
    ASSERT_TRUE(w.Start_Btn->isEnabled());
    w.Start_Btn->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir() + "started"); }, 10000));
    EXPECT_FALSE(w.isVisible());
}

// The program itself, copied beside a bank as it is installed.
class BackupProgram : public Backup {
protected:
    void SetUp() override {
        Backup::SetUp();
        ASSERT_TRUE(QFile::copy(TOLVANE_BACKUP_EXE, dir() + "BackUp.exe"));
        QFile::setPermissions(dir() + "BackUp.exe", QFile::permissions(TOLVANE_BACKUP_EXE));
    }
    int runProgram(const QStringList& args, QString* output) {
        QProcess p;
        p.setWorkingDirectory(dir());
        p.start(dir() + "BackUp.exe", args);
        EXPECT_TRUE(p.waitForFinished(60000));
        *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitCode();
    }
};

TEST_F(BackupProgram, RunsWithoutAWindowAndSaysHowItWent) {
    writeSettings(readFile(dir() + "set.ini") + "CZ=0\n");
    QString out;
    EXPECT_EQ(runProgram({"han_backup", "--no-window"}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("Backup \"")) << out.toStdString();
    EXPECT_EQ(settings().value("bakup", "num"), "1");

    // While another program holds the bank, it waits, then gives up.
    {
        db::Connection holder;
        holder.open(bank.bankPath());
        EXPECT_EQ(runProgram({"han_backup", "--no-window", "--wait", "1"}, &out), 1);
        EXPECT_TRUE(out.contains("is still in use")) << out.toStdString();
        EXPECT_EQ(settings().value("bakup", "num"), "1");
    }

    EXPECT_EQ(runProgram({"--no-window"}, &out), 2);
    EXPECT_TRUE(out.contains("Usage:")) << out.toStdString();
}

namespace {

// A backup made, then the bank and Doc changed: the state a restore replaces.
class Restore : public Backup {
protected:
    QString label;
    QMap<QString, QByteArray> savedDocs; // what the backup holds
    QByteArray laterBank;                // the bank a restore replaces
    QMap<QString, QByteArray> laterDocs;

    void SetUp() override {
        Backup::SetUp();
        savedDocs = tree(dir() + "Doc");
        const JobResult made = run("0");
        ASSERT_TRUE(made.ok) << made.message.toStdString();
        label = made.label;
        exec("UPDATE JianDaTi SET TM = 'Later'");
        writeFile(dir() + "Doc/q1.doc", "changed");
        bank.addDoc("new.doc", "new");
        laterBank = readFile(dir() + "DB/TiKu.mdb");
        laterDocs = tree(dir() + "Doc");
    }
    void TearDown() override { backup::setStepHook({}); }

    QStringList before(const QString& where, const QString& pattern) {
        return QDir(dir() + where)
            .entryList({pattern}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // The bank and Doc are exactly those before the restore, with nothing
    // of it left; or exactly the restored ones, with what they replaced kept
    // beside them. Returns whether the restore took place.
    bool expectOldOrRestored() {
        expectNoLeftovers();
        const QStringList banks = before("DB", "TiKu.mdb.before-restore-*");
        const QStringList docs = before("", "Doc.before-restore-*");
        if (questions() == "Later") {
            EXPECT_EQ(tree(dir() + "Doc"), laterDocs);
            EXPECT_TRUE(banks.isEmpty() && docs.isEmpty()) << banks.join(' ').toStdString();
            return false;
        }
        EXPECT_EQ(questions(), "What is a noun?");
        EXPECT_EQ(tree(dir() + "Doc"), savedDocs);
        EXPECT_EQ(banks.size(), 1);
        EXPECT_EQ(docs.size(), 1);
        if (banks.size() == 1) {
            EXPECT_EQ(readFile(dir() + "DB/" + banks[0]), laterBank);
        }
        if (docs.size() == 1) {
            EXPECT_EQ(tree(dir() + docs[0]), laterDocs);
        }
        return true;
    }

    // Back to the state before the restore.
    void putBackLater() {
        for (const QString& name : before("DB", "TiKu.mdb*"))
            QFile::remove(dir() + "DB/" + name);
        for (const QString& name : before("", "Doc*"))
            QDir(dir() + name).removeRecursively();
        writeFile(dir() + "DB/TiKu.mdb", laterBank);
        for (auto it = laterDocs.begin(); it != laterDocs.end(); ++it)
            writeFile(dir() + "Doc/" + it.key(), it.value());
    }
};

} // namespace

TEST_F(Restore, ARequestIsCarriedOutOnceAndAScheduledBackupKeepsTheRestoredBank) {
    const JobResult restored = run("1", label);
    ASSERT_TRUE(restored.ok) << restored.message.toStdString();
    EXPECT_EQ(settings().value("bakup", "CZ"), "0");
    EXPECT_EQ(settings().value("bakup", "RQ"), "");

    // A scheduled run of han_backup afterwards backs up the restored bank.
    JobOptions o;
    o.programDir = dir();
    o.waitSeconds = 1;
    const JobResult later = backup::runJob(o);
    ASSERT_TRUE(later.ok) << later.message.toStdString();
    EXPECT_TRUE(later.message.startsWith("Backup \"")) << later.message.toStdString();
    EXPECT_EQ(questions(), "What is a noun?");
    EXPECT_EQ(settings().value("bakup", "num"), "2");

    // A refused request is cleared all the same.
    const JobResult refused = run("1", "no such backup");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(settings().value("bakup", "CZ"), "0");
    EXPECT_EQ(settings().value("bakup", "RQ"), "");

    // Explicit requests leave set.ini's request alone.
    IniFile s = settings();
    s.write("bakup", "CZ", "7");
    const JobResult explicitBackup = backup::runJob(o, {backup::Request::Backup, {}});
    ASSERT_TRUE(explicitBackup.ok) << explicitBackup.message.toStdString();
    EXPECT_EQ(settings().value("bakup", "CZ"), "7");
    EXPECT_EQ(settings().value("bakup", "num"), "3");
}

TEST_F(Restore, AFailingStepPutsEverythingBackAndSaysSo) {
    // Each step of the restore fails in turn, until one past the last.
    bool completed = false;
    for (int k = 1; !completed && k < 40; ++k) {
        SCOPED_TRACE(k);
        QString failedStep;
        bool prepared = false; // the restore had got past its preparation
        int count = 0;
        backup::setStepHook([&](const QString& what) {
            if (++count == k) {
                failedStep = what;
                throw backup::BackupError("The disk is full.");
            }
            if (what.contains("(swapping)"))
                prepared = true;
        });
        const JobResult r = backup::restoreBackup({dir(), 1, {}}, label);
        backup::setStepHook({});
        if (failedStep.isEmpty()) {
            ASSERT_TRUE(r.ok) << r.message.toStdString();
            EXPECT_TRUE(expectOldOrRestored());
            completed = true;
            break;
        }
        SCOPED_TRACE(failedStep.toStdString());
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.contains("The disk is full.")) << r.message.toStdString();
        EXPECT_EQ(r.message.endsWith("Nothing was changed."), !prepared) << r.message.toStdString();
        if (prepared) {
            EXPECT_TRUE(r.message.endsWith("were put back as they were before the restore."))
                << r.message.toStdString();
        }
        EXPECT_FALSE(expectOldOrRestored());
    }
    EXPECT_TRUE(completed);
}

TEST_F(Restore, WhenPuttingBackFailsTooTheMessageSaysWhereThingsAreAndTheNextStartEndsIt) {
    // Every rename fails from the moment the restored documents go into
    // place.
    bool failing = false;
    backup::setStepHook([&](const QString& what) {
        if (what.contains("Doc.restoring\" to"))
            failing = true;
        if (failing && what.startsWith("rename"))
            throw backup::BackupError("The disk is gone.");
    });
    const JobResult r = backup::restoreBackup({dir(), 1, {}}, label);
    backup::setStepHook({});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("Putting things back failed too")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("There is no Doc: the documents from before the restore are in"))
        << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("is the one from before the restore"))
        << r.message.toStdString();
    EXPECT_FALSE(r.message.contains("Nothing was changed")) << r.message.toStdString();
    EXPECT_TRUE(r.message.endsWith("the next start of BackUp.exe or Tolvane tries again to put "
                                   "things back."))
        << r.message.toStdString();
    EXPECT_TRUE(QFile::exists(dir() + "BackUp.restore-journal"));

    const backup::Recovery next = backup::recoverRestore(dir());
    EXPECT_TRUE(next.found && next.ok) << next.message.toStdString();
    EXPECT_TRUE(next.message.contains("undone")) << next.message.toStdString();
    EXPECT_FALSE(expectOldOrRestored());
}

TEST_F(Restore, ALeftoverDocRestoringIsNeverRemoved) {
    writeFile(dir() + "Doc.restoring/only-copy.doc", "the lecturer's");
    const JobResult r = run("1", label);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("Doc.restoring\" left by an earlier restore is in the way"))
        << r.message.toStdString();
    EXPECT_EQ(readFile(dir() + "Doc.restoring/only-copy.doc"), "the lecturer's");
    EXPECT_EQ(questions(), "Later");
}

TEST_F(Restore, AKilledRestoreIsFinishedOrUndoneAtTheNextStartOfEitherProgram) {
    ASSERT_TRUE(QFile::copy(TOLVANE_BACKUP_EXE, dir() + "BackUp.exe"));
    QFile::setPermissions(dir() + "BackUp.exe", QFile::permissions(TOLVANE_BACKUP_EXE));
    AppPaths::setExeDirOverride(dir());
    test::MessageRecorder messages;

    for (const bool byZenlo : {false, true}) {
        bool completed = false;
        for (int k = 1; !completed && k < 40; ++k) {
            SCOPED_TRACE(QStringLiteral("kill at step %1, next start: %2")
                             .arg(k)
                             .arg(byZenlo ? "Zenlo" : "BackUp.exe")
                             .toStdString());
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("TOLVANE_BACKUP_KILL_AT_STEP", QString::number(k));
            p.setProcessEnvironment(env);
            p.start(dir() + "BackUp.exe", {"--restore", label, "--no-window", "--wait", "1"});
            ASSERT_TRUE(p.waitForFinished(60000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            if (p.exitStatus() == QProcess::NormalExit) {
                EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
                EXPECT_TRUE(expectOldOrRestored());
                completed = true;
                break;
            }
            SCOPED_TRACE(err.toStdString());
            ASSERT_TRUE(err.contains("Killed before the step"));
            // Killed before its journal was written, the restore had not begun.
            const bool journaled = !err.contains("(preparing)");
            const bool prepared =
                journaled && !err.contains("copy the backup") && !err.contains("(swapping)");

            messages.clear();
            if (byZenlo) {
                EXPECT_TRUE(recoverInterruptedRestore());
                ASSERT_EQ(messages.count(), journaled ? 1 : 0);
                if (journaled) {
                    EXPECT_TRUE(messages.last().text.contains("was interrupted"));
                }
            } else {
                QString out;
                QProcess next;
                next.start(dir() + "BackUp.exe", {"--backup", "--no-window", "--wait", "1"});
                ASSERT_TRUE(next.waitForFinished(60000));
                out = QString::fromUtf8(next.readAllStandardOutput() + next.readAllStandardError());
                EXPECT_EQ(next.exitCode(), 0) << out.toStdString();
                EXPECT_EQ(out.contains("was interrupted"), journaled) << out.toStdString();
            }
            EXPECT_EQ(expectOldOrRestored(), prepared);
            putBackLater();
        }
        EXPECT_TRUE(completed);
        putBackLater();
    }

    // While the backup program is at work, Tolvane leaves its restore alone
    // and does not start.
    writeFile(dir() + "BackUp.restore-journal", "{}");
    {
        QLockFile working(dir() + "BackUp.exe.lock");
        ASSERT_TRUE(working.tryLock(0));
        messages.clear();
        EXPECT_FALSE(recoverInterruptedRestore());
        ASSERT_EQ(messages.count(), 1);
        EXPECT_TRUE(messages.last().text.contains("is still restoring"));
    }
    EXPECT_TRUE(QFile::exists(dir() + "BackUp.restore-journal"));
    // Nor does it guess at a journal it cannot read.
    messages.clear();
    EXPECT_FALSE(recoverInterruptedRestore());
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.contains("is not one this programme wrote"));
    EXPECT_TRUE(QFile::exists(dir() + "BackUp.restore-journal"));
    AppPaths::setExeDirOverride({});
}

TEST_F(Backup, DocIsBackedUpWholeOrRefusedNamingWhatCannotBe) {
    QTemporaryDir outside;
    writeFile(outside.path() + "/elsewhere.doc", "kept elsewhere");
    ASSERT_TRUE(QFile::link(outside.path() + "/elsewhere.doc", dir() + "Doc/linked.doc"));
    ASSERT_TRUE(QFile::link("q1.doc", dir() + "Doc/alias.doc"));
    const JobResult made = run("0");
    ASSERT_TRUE(made.ok) << made.message.toStdString();
    const QString copy = settings().value("bakupdir", "bak1") + "/Doc/";
    EXPECT_EQ(readFile(copy + "linked.doc"), "kept elsewhere");
    EXPECT_EQ(readFile(copy + "alias.doc"), "question one");
    EXPECT_FALSE(QFileInfo(copy + "linked.doc").isSymLink()) << "the document, not the link";

    const struct {
        const char* what;
        std::function<bool(const QString&)> make;
        const char* says;
    } cases[] = {
        {"a dangling link", [](const QString& p) { return QFile::link("/nowhere/gone.doc", p); },
         "which does not exist"},
        {"a named pipe", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; },
         "is a named pipe, not a document"},
        {"a link to a device", [](const QString& p) { return QFile::link("/dev/zero", p); },
         "which is a character device"},
        {"a link to a folder", [&](const QString& p) { return QFile::link(outside.path(), p); },
         "which is a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString bad = dir() + "Doc/sub/bad.doc";
        ASSERT_TRUE(c.make(bad));
        const JobResult r = run("0");
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.contains(c.says)) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(bad)) << r.message.toStdString();
        EXPECT_EQ(settings().value("bakup", "num"), "1");
        expectNoLeftovers();
        QFile::remove(bad);
    }
}

TEST_F(BackupProgram, TakesExplicitCommandsAndFollowsTheCommandLineConvention) {
    QString out;
    EXPECT_EQ(runProgram({"--help"}, &out), 0);
    EXPECT_TRUE(out.contains("--restore LABEL")) << out.toStdString();

    // The bank's folder named on the command line; no request in set.ini.
    QProcess p;
    p.start(TOLVANE_BACKUP_EXE, {"--backup", "--no-window", "--dir", dir()});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString label = settings().value("bakupdian", "bak1");
    ASSERT_FALSE(label.isEmpty());

    exec("UPDATE JianDaTi SET TM = 'Later'");
    EXPECT_EQ(runProgram({"--restore", label, "--no-window"}, &out), 0) << out.toStdString();
    EXPECT_EQ(questions(), "What is a noun?");
    // The scheduled task afterwards adds a backup and keeps the restored bank.
    EXPECT_EQ(runProgram({"--backup", "--no-window"}, &out), 0) << out.toStdString();
    EXPECT_EQ(questions(), "What is a noun?");
    EXPECT_EQ(settings().value("bakup", "num"), "2");
    EXPECT_EQ(runProgram({"--restore", "no such", "--no-window"}, &out), 1);

    for (const QStringList& bad : QList<QStringList>{{"--backup", "han_backup"},
                                                     {"--restore"},
                                                     {"--backup", "--dir"},
                                                     {"--backup", "--wait"}}) {
        EXPECT_EQ(runProgram(bad + QStringList{"--no-window"}, &out), 2)
            << bad.join(' ').toStdString();
        EXPECT_TRUE(out.contains("Usage:")) << out.toStdString();
    }
}
