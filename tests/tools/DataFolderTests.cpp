// Where each program keeps the lecturer's data: beside itself when its folder
// holds DB/ (a portable copy, the build folder), otherwise in the user's data
// folder ($XDG_DATA_HOME/Tolvane, ~/.local/share/Tolvane without it).

#include "core/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// A program folder and a user data folder of their own, in a temporary
// folder; the data folder is given to this process and its children through
// XDG_DATA_HOME.
struct Layout {
    QTemporaryDir tmp;
    QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    bool hadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");

    explicit Layout(bool portable) {
        QDir(tmp.path()).mkpath(QStringLiteral("lib/tolvane"));
        QDir(tmp.path()).mkpath(QStringLiteral("xdg"));
        if (portable)
            QDir(programDir()).mkpath(QStringLiteral("DB"));
        qputenv("XDG_DATA_HOME", xdg().toLocal8Bit());
        AppPaths::setExeDirOverride(programDir());
    }
    ~Layout() {
        AppPaths::setExeDirOverride(QString());
        if (hadXdg)
            qputenv("XDG_DATA_HOME", oldXdg);
        else
            qunsetenv("XDG_DATA_HOME");
        // A read-only folder is not removed with its temporary parent.
        QFile::setPermissions(programDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString programDir() const { return tmp.path() + QStringLiteral("/lib/tolvane/"); }
    QString xdg() const { return tmp.path() + QStringLiteral("/xdg"); }
    QString userData() const { return xdg() + QStringLiteral("/Tolvane/"); }

    // Copies a program into the program folder, which an installed copy
    // cannot write to.
    QString install(const QString& built, const QString& name) {
        const QString exe = programDir() + name;
        EXPECT_TRUE(QFile::copy(built, exe));
        return exe;
    }
    void makeReadOnly() {
        QFile::setPermissions(programDir(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                QFile::ExeGroup);
    }
    QStringList programFolder() const {
        return QDir(programDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

// A GIFT file of one question, for the exchange program to import.
QString writeGift(const QString& dir) {
    const QString path = dir + QStringLiteral("/one.gift");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("::Capital::The capital of France is {=Paris}.\n");
    return path;
}

int run(const QString& exe, const QStringList& args, QString* output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(exe, args);
    if (!p.waitForFinished(120000))
        return -1;
    *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(DataFolder, FollowsTheProgramsFolder) {
    for (const bool portable : {true, false}) {
        SCOPED_TRACE(portable ? "portable" : "installed");
        Layout l(portable);
        const QString data = portable ? l.programDir() : l.userData();
        EXPECT_EQ(AppPaths::isPortable(), portable);
        EXPECT_EQ(AppPaths::dataDir(), data);
        EXPECT_EQ(AppPaths::bankFile(), data + "DB/TiKu.mdb");
        EXPECT_EQ(AppPaths::docDir(), data + "Doc/");
        // Program files are found from the program's folder either way.
        EXPECT_EQ(AppPaths::beside("BackUp.exe"), l.programDir() + "BackUp.exe");
        EXPECT_EQ(AppPaths::dataDirFor(l.programDir()), data);
    }
    // Without XDG_DATA_HOME, the home's .local/share.
    Layout l(false);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(AppPaths::dataDir(), QDir::homePath() + "/.local/share/Tolvane/");
}

TEST(DataFolder, TheHelpFileBesideTheProgramOrWhereThePackagePutsIt) {
    Layout l(false);
    const QString installed = l.tmp.path() + "/share/tolvane/Zenlo.chm";
    // Neither: the name beside the program, which the help then finds missing.
    EXPECT_EQ(AppPaths::helpFile(), l.programDir() + "Zenlo.chm");
    QDir().mkpath(l.tmp.path() + "/share/tolvane");
    QFile(installed).open(QIODevice::WriteOnly);
    EXPECT_EQ(AppPaths::helpFile(), installed);
    QFile(l.programDir() + "Zenlo.chm").open(QIODevice::WriteOnly);
    EXPECT_EQ(AppPaths::helpFile(), l.programDir() + "Zenlo.chm");
}

// The bank maker, the backup program and the exchange program, each run from a portable folder and
// from a read-only program folder with no DB/, find their data by the same
// rule; nothing is written into an installed program's folder.
TEST(DataFolder, EveryProgramKeepsItsDataByTheRule) {
    for (const bool portable : {true, false}) {
        SCOPED_TRACE(portable ? "portable" : "installed");
        Layout l(portable);
        const QString data = portable ? l.programDir() : l.userData();
        const QString makebank =
            l.install(QStringLiteral(TOLVANE_MAKEBANK_EXE), QStringLiteral("tolvane-makebank"));
        const QString backup =
            l.install(QStringLiteral(TOLVANE_BACKUP_EXE), QStringLiteral("BackUp.exe"));
        const QString exchange =
            l.install(QStringLiteral(TOLVANE_EXCHANGE_EXE), QStringLiteral("tolvane-exchange"));
        const QStringList before = l.programFolder();
        if (!portable)
            l.makeReadOnly();

        QString out;
        ASSERT_EQ(run(makebank, {"--admin", "boss", "--password", "pw"}, &out), 0)
            << out.toStdString();
        EXPECT_TRUE(out.contains(data + "DB/TiKu.mdb")) << out.toStdString();
        ASSERT_TRUE(QFile::exists(data + "DB/TiKu.mdb"));

        // The exchange program imports into that bank and exports from it.
        ASSERT_EQ(run(exchange, {"import", writeGift(l.tmp.path())}, &out), 0) << out.toStdString();
        ASSERT_EQ(
            run(exchange, {"export", "--format", "gift", "-o", l.tmp.path() + "/out.gift"}, &out),
            0)
            << out.toStdString();
        QFile exported(l.tmp.path() + "/out.gift");
        ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
        EXPECT_TRUE(exported.readAll().contains("Paris"));

        // A backup as the options window asks for it, to the default folder.
        QFile ini(data + "set.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[bakup]\nCZ=0\n");
        ini.close();
        ASSERT_EQ(run(backup, {"han_backup", "--no-window", "--wait", "1"}, &out), 0)
            << out.toStdString();
        EXPECT_FALSE(
            QDir(data + "BackupDB").entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());

        if (!portable) {
            EXPECT_EQ(l.programFolder(), before);
        }
    }
}

// --dir names the data folder whatever the program's own folder holds.
TEST(DataFolder, DirOverridesTheRule) {
    Layout l(false);
    const QString makebank =
        l.install(QStringLiteral(TOLVANE_MAKEBANK_EXE), QStringLiteral("tolvane-makebank"));
    const QString backup =
        l.install(QStringLiteral(TOLVANE_BACKUP_EXE), QStringLiteral("BackUp.exe"));
    const QString elsewhere = l.tmp.path() + "/elsewhere/";
    QDir().mkpath(elsewhere);
    QString out;
    ASSERT_EQ(run(makebank, {"--dir", elsewhere}, &out), 0) << out.toStdString();
    EXPECT_TRUE(QFile::exists(elsewhere + "DB/TiKu.mdb"));
    EXPECT_FALSE(QFile::exists(l.userData()));
    const QString exchange =
        l.install(QStringLiteral(TOLVANE_EXCHANGE_EXE), QStringLiteral("tolvane-exchange"));
    ASSERT_EQ(run(exchange, {"import", "--dir", elsewhere, writeGift(l.tmp.path())}, &out), 0)
        << out.toStdString();
    EXPECT_FALSE(QFile::exists(l.userData()));

    QFile ini(elsewhere + "set.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[bakup]\nCZ=0\n");
    ini.close();
    ASSERT_EQ(run(backup, {"--dir", elsewhere, "han_backup", "--no-window"}, &out), 0)
        << out.toStdString();
    EXPECT_TRUE(QFileInfo(elsewhere + "BackupDB").isDir());
    EXPECT_EQ(run(backup, {"han_backup", "--no-window", "--dir"}, &out), 2);

    // Each program explains itself, without a display.
    for (const QString& exe : {makebank, backup, exchange}) {
        ASSERT_EQ(run(exe, {"--help"}, &out), 0) << exe.toStdString();
        EXPECT_TRUE(out.startsWith("Usage:")) << out.toStdString();
    }
}
