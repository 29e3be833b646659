#include "options/BackupJob.h"
#include "tools/backup/CommandLine.h"
#include "tools/backup/BackupWindow.h"

#include "db/Database.h"
#include "db/Query.h"
#include "options/BackupSettings.h"
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
