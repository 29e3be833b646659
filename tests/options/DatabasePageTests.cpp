#include "options/BFML_Form.h"
#include "options/BackupSettings.h"
#include "options/Set_Form.h"

#include "core/Session.h"
#include "core/Shell.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"
#include "widgets/FlatButton.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace tolvane;
using options::IniFile;
using options::TBFML_F;
using options::TSet_F;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST(IniFile, ReadsAndWritesKeyByKeyKeepingEverythingElse) {
    QTemporaryDir dir;
    const QString path = dir.filePath("set.ini");
    writeFile(path, "; kept\r\n[Bakup]\r\nbakpath = /data/a,b\\c \r\nnum=2\r\n\r\n"
                    "[other]\r\nx=1\r\n");
    IniFile ini(path);
    // Sections and keys without regard to case; values as written, trimmed.
    EXPECT_EQ(ini.value("bakup", "BakPath"), "/data/a,b\\c");
    EXPECT_EQ(ini.intValue("bakup", "num", 0), 2);
    EXPECT_EQ(ini.intValue("bakup", "missing", 5), 5);
    EXPECT_TRUE(ini.value("bakup", "missing").isNull());

    // A key written by another program meanwhile survives our write.
    writeFile(path, readFile(path) + "y=2\r\n");
    ini.write({{"bakup", "CZ", "1"}, {"bakup", "num", "3"}, {"bakupdian", "bak3", "label"}});
    EXPECT_EQ(readFile(path), "; kept\r\n[Bakup]\r\nbakpath = /data/a,b\\c \r\nnum=3\r\nCZ=1\r\n"
                              "\r\n[other]\r\nx=1\r\ny=2\r\n\r\n[bakupdian]\r\nbak3=label\r\n");
    EXPECT_EQ(IniFile(path).value("bakupdian", "bak3"), "label");
}

TEST(IniFile, AValueThatCannotBeKeptLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath("set.ini");
    writeFile(path, "[bakup]\nCZ=0\n");
    IniFile ini(path);
    EXPECT_THROW(ini.write({{"bakup", "CZ", "1"}, {"bakup", "RQ", "a\nCZ=0"}}),
                 options::SettingsError);
    EXPECT_EQ(readFile(path), "[bakup]\nCZ=0\n");
    // A file that cannot be replaced: nothing half-written beside it either.
    QDir(dir.path()).mkdir("locked.ini");
    IniFile locked(dir.filePath("locked.ini"));
    EXPECT_THROW(locked.write("bakup", "CZ", "1"), options::SettingsError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"set.ini"}));
}

// The options window on its Database page, with the shell's program start
// and the end of the application recorded.
class DatabasePage : public ::testing::Test {
protected:
    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TSet_F> w;
    QStringList started;
    bool startWorks = true;
    int terminated = 0;

    void SetUp() override {
        CurrentUserName = QStringLiteral("admin");
        setStartDetachedHandler([this](const QString& program, const QStringList& args) {
            started << program + ' ' + args.join(' ');
            return startWorks;
        });
        setTerminateHandler([this] { ++terminated; });
    }
    void TearDown() override {
        w.reset();
        setStartDetachedHandler({});
        setTerminateHandler({});
    }
    QString ini() const { return bank.dir() + "set.ini"; }
    void open() {
        w = std::make_unique<TSet_F>();
        w->show();
        w->SJKGL_TBtn->click();
    }
    QStringList timeList() const {
        QStringList items;
        for (int i = 0; i < w->SJD_FCB->count(); ++i)
            items << w->SJD_FCB->itemText(i);
        return items;
    }
};

} // namespace

TEST_F(DatabasePage, TheFirstVisitWritesTheDefaultBackupFolder) {
    ASSERT_FALSE(QFile::exists(ini()));
    open();
    EXPECT_EQ(w->Set_PC->currentWidget(), w->SJKGL_TS);
    EXPECT_TRUE(w->SJKGL_TBtn->isChecked());
    EXPECT_EQ(w->LJ_FE->text(), bank.dir() + "BackupDB");
    EXPECT_FALSE(w->LJ_P->isEnabled()) << "the path cannot be typed into";
    EXPECT_EQ(IniFile(ini()).value("bakup", "BakPath"), bank.dir() + "BackupDB");
    EXPECT_TRUE(w->BF_FRBtn->isChecked());
    EXPECT_FALSE(w->SJD_FCB->isEnabled());
    EXPECT_EQ(w->SJD_FCB->count(), 0);
    EXPECT_EQ(messages.count(), 0);

    w->YHGL_TBtn->click();
    EXPECT_EQ(w->Set_PC->currentWidget(), w->YHGL_TS);
}

TEST_F(DatabasePage, TheTimeListFollowsTheCountAndIsForRestoresOnly) {
    writeFile(ini(), "[bakup]\nBakPath=/srv/backups\nnum=3\n[bakupdian]\nbak1=first\n");
    const QByteArray before = readFile(ini());
    open();
    EXPECT_EQ(w->LJ_FE->text(), "/srv/backups");
    EXPECT_EQ(timeList(), QStringList({"first", "0", "0"}));
    EXPECT_EQ(w->SJD_FCB->currentText(), "first");
    EXPECT_EQ(readFile(ini()), before) << "a set folder is not written again";

    w->HY_FRBtn->click();
    EXPECT_TRUE(w->SJD_FCB->isEnabled());
    w->BF_FRBtn->click();
    EXPECT_FALSE(w->SJD_FCB->isEnabled());
    w->HY_FRBtn->click();

    // Every visit reads the file again and starts on a backup.
    writeFile(ini(), "[bakup]\nBakPath=/srv/backups\nnum=1\n[bakupdian]\nbak1=other\n");
    w->SJKGL_TBtn->click();
    EXPECT_EQ(timeList(), QStringList({"other"}));
    EXPECT_TRUE(w->BF_FRBtn->isChecked());
    EXPECT_FALSE(w->SJD_FCB->isEnabled());
}

TEST_F(DatabasePage, ExecuteWritesTheRequestStartsTheBackupProgramAndEnds) {
    writeFile(ini(), "[bakup]\nnum=2\n[bakupdian]\nbak1=one\nbak2=two\n");
    open();
    const QByteArray before = readFile(ini());

    // Cancel: nothing written, nothing started, still running.
    messages.answer(QMessageBox::Cancel);
    w->FlatButton1->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "To ensure correct backup programme must be closed, confirm");
    EXPECT_EQ(messages.last().caption, "Confirm backup");
    EXPECT_EQ(messages.last().icon, MsgIcon::Information);
    EXPECT_EQ(messages.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(readFile(ini()), before);
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(terminated, 0);

    w->FlatButton1->click();
    EXPECT_EQ(IniFile(ini()).value("bakup", "CZ"), "0");
    EXPECT_EQ(started, QStringList({bank.dir() + "BackUp.exe han_backup"}));
    EXPECT_EQ(terminated, 1);

    w->HY_FRBtn->click();
    w->SJD_FCB->setCurrentIndex(1);
    messages.clear();
    messages.answer(QMessageBox::Cancel);
    w->FlatButton1->click();
    EXPECT_EQ(messages.last().text,
              "To ensure correct restoration programme must be closed, confirm?");
    EXPECT_EQ(messages.last().caption, "Confirm restoration");
    EXPECT_EQ(IniFile(ini()).value("bakup", "CZ"), "0");
    EXPECT_EQ(terminated, 1);

    w->FlatButton1->click();
    IniFile written(ini());
    EXPECT_EQ(written.value("bakup", "CZ"), "1");
    EXPECT_EQ(written.value("bakup", "RQ"), "two");
    EXPECT_EQ(written.value("bakupdian", "bak1"), "one") << "other keys are kept";
    EXPECT_EQ(started.size(), 2);
    EXPECT_EQ(terminated, 2);
}

TEST_F(DatabasePage, ExecuteThatCannotWorkSaysSoAndKeepsRunning) {
    open();
    // A restore with nothing recorded.
    w->HY_FRBtn->click();
    w->FlatButton1->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Error: Please select the backup to restore!");
    EXPECT_FALSE(IniFile(ini()).contains("bakup", "CZ"));

    // A backup program that does not start.
    startWorks = false;
    w->BF_FRBtn->click();
    messages.clear();
    w->FlatButton1->click();
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().text,
              QString("Error: The backup programme \"%1BackUp.exe\" could not be started!")
                  .arg(bank.dir()));
    EXPECT_EQ(terminated, 0);

    // A settings file that cannot be written: the backup program is not
    // started on a request it cannot read.
    startWorks = true;
    started.clear();
    QFile::remove(ini());
    QDir(bank.dir()).mkdir("set.ini");
    messages.clear();
    w->FlatButton1->click();
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().icon, MsgIcon::Error);
    EXPECT_TRUE(messages.last().text.contains("set.ini")) << messages.last().text.toStdString();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(terminated, 0);
}

TEST_F(DatabasePage, TheFolderChooserKeepsTheFolderOnlyOnOK) {
    QDir(bank.dir()).mkpath("backups/daily");
    open();
    const QByteArray before = readFile(ini());
    {
        TBFML_F chooser(w->LJ_FE);
        EXPECT_EQ(chooser.windowTitle(), "Select Backup Directory");
        EXPECT_GT(chooser.DriveComboBox1->count(), 0);
        EXPECT_EQ(chooser.currentFolder(), QDir::cleanPath(bank.dir()));
        // Clicking a folder opens it.
        QListWidgetItem* backups = chooser.Dir_LB->findItems("backups", Qt::MatchEndsWith).value(0);
        ASSERT_NE(backups, nullptr);
        chooser.Dir_LBClick(backups);
        EXPECT_EQ(chooser.currentFolder(), QDir::cleanPath(bank.dir() + "backups"));
        EXPECT_FALSE(chooser.Dir_LB->findItems("daily", Qt::MatchEndsWith).isEmpty());
        chooser.Exit_Btn->click();
    }
    EXPECT_EQ(w->LJ_FE->text(), bank.dir() + "BackupDB");
    EXPECT_EQ(readFile(ini()), before);

    TBFML_F chooser(w->LJ_FE);
    chooser.openFolder(bank.dir() + "backups/daily");
    chooser.OK_Btn->click();
    EXPECT_EQ(w->LJ_FE->text(), bank.dir() + "backups/daily");
    EXPECT_EQ(IniFile(ini()).value("bakup", "BakPath"), bank.dir() + "backups/daily");
}
