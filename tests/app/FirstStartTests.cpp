#include "app/Enter.h"
#include "app/FirstStart_Form.h"
#include "app/Main_Form.h"
#include "app/Startup.h"
#include "core/AppPaths.h"
#include "core/Session.h"
#include "db/DataModule.h"
#include "tests/support/MessageRecorder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// An installed program: its folder holds no DB/, and the user's data folder
// is a temporary one (XDG_DATA_HOME).
struct InstalledProgram {
    QTemporaryDir tmp;
    QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    bool hadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    QString oldCwd = QDir::currentPath();
    test::MessageRecorder messages;

    InstalledProgram() {
        QDir(tmp.path()).mkpath(QStringLiteral("program"));
        qputenv("XDG_DATA_HOME", (tmp.path() + QStringLiteral("/xdg")).toLocal8Bit());
        AppPaths::setExeDirOverride(tmp.path() + QStringLiteral("/program"));
    }
    ~InstalledProgram() {
        AppPaths::setExeDirOverride(QString());
        if (hadXdg)
            qputenv("XDG_DATA_HOME", oldXdg);
        else
            qunsetenv("XDG_DATA_HOME");
        QDir::setCurrent(oldCwd);
    }
    QString dataDir() const { return tmp.path() + QStringLiteral("/xdg/Tolvane/"); }
};

// Answers the first-start window the moment it is shown.
void whenShown(std::function<void(TFirstStart_F*)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TFirstStart_F*>(w); f && f->isVisible())
                return act(f);
        ADD_FAILURE() << "no first-start window";
    });
}

} // namespace

TEST(FirstStart, MakesABankThatTheLoginOpens) {
    InstalledProgram p;
    ASSERT_EQ(AppPaths::dataDir(), p.dataDir());
    bool shown = false;
    whenShown([&](TFirstStart_F* f) {
        shown = true;
        EXPECT_EQ(f->objectName(), "FirstStart_F");
        EXPECT_TRUE(f->Folder_L->text().contains(QDir::cleanPath(p.dataDir())));
        f->Admin_Edit->setText("Dr Moss");
        f->Password_Edit->setText("s3cret");
        f->Confirm_Edit->setText("s3cret");
        f->Create_Btn->click();
    });
    ASSERT_TRUE(ensureBank());
    EXPECT_TRUE(shown);
    EXPECT_EQ(p.messages.count(), 0) << p.messages.texts().join('\n').toStdString();
    ASSERT_TRUE(QFile::exists(p.dataDir() + "DB/TiKu.mdb"));
    EXPECT_FALSE(QFile::exists(AppPaths::exeDir() + "DB")) << "nothing beside the program";

    // Start-up goes on in the data folder: the login opens the new bank.
    QDir::setCurrent(AppPaths::dataDir());
    db::TZenlo_DM dm;
    db::Zenlo_DM = &dm;
    TEnter_Form login;
    login.show();
    EXPECT_EQ(login.XM_CB->count(), 1);
    EXPECT_EQ(login.XM_CB->itemText(0), "Dr Moss");
    bool mainShown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<TMain_F*>(w); m && m->isVisible()) {
                mainShown = true;
                m->close();
            }
    });
    login.XM_CB->setEditText("Dr Moss");
    login.MM_E->setText("s3cret");
    login.Enter_Btn->click();
    EXPECT_TRUE(mainShown);
    EXPECT_EQ(CurrentUserName, "Dr Moss");
    EXPECT_EQ(CurrentPermission, 1) << "the new bank's user is its administrator";
    EXPECT_EQ(p.messages.count(), 0) << p.messages.texts().join('\n').toStdString();
    db::Zenlo_DM = nullptr;
}

TEST(FirstStart, RefusesWhatCouldNeverLogInAndWritesNothing) {
    InstalledProgram p;
    struct Case {
        const char* name;
        const char* password;
        const char* again;
        const char* message;
    } cases[] = {
        {"", "pw", "pw", "Please enter the administrator's name."},
        {"   ", "pw", "pw", "Please enter the administrator's name."},
        {"boss", "", "", "Please enter a password for the administrator."},
        {"boss", "pw", "pW", "The two passwords differ. Please type them again."},
        {"boss", "pw", "", "The two passwords differ. Please type them again."},
    };
    TFirstStart_F f(p.dataDir());
    f.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.password + "/" + c.again);
        p.messages.clear();
        f.Admin_Edit->setText(c.name);
        f.Password_Edit->setText(c.password);
        f.Confirm_Edit->setText(c.again);
        f.Create_Btn->click();
        ASSERT_EQ(p.messages.count(), 1);
        EXPECT_EQ(p.messages.last().text, c.message);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.result(), 0);
        EXPECT_FALSE(QFile::exists(p.dataDir() + "DB/TiKu.mdb"));
    }
}

TEST(FirstStart, AskedOnlyByAnInstalledProgramWithoutABank) {
    // Cancelled: start-up ends without a word.
    {
        InstalledProgram p;
        whenShown([](TFirstStart_F* f) { f->Exit_Btn->click(); });
        EXPECT_FALSE(ensureBank());
        EXPECT_EQ(p.messages.count(), 0);
    }
    // An installed program with its bank, and a portable one without: no
    // window (the portable one reports its missing bank at the login, as
    // ever).
    for (const bool portable : {false, true}) {
        SCOPED_TRACE(portable ? "portable" : "installed");
        InstalledProgram p;
        if (portable) {
            QDir(AppPaths::exeDir()).mkpath("DB");
        } else {
            QDir().mkpath(p.dataDir() + "DB");
            QFile bank(p.dataDir() + "DB/TiKu.mdb");
            bank.open(QIODevice::WriteOnly);
        }
        bool shown = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = qobject_cast<TFirstStart_F*>(w); f && f->isVisible()) {
                    shown = true;
                    f->reject();
                }
        });
        EXPECT_TRUE(ensureBank());
        QApplication::processEvents();
        EXPECT_FALSE(shown);
    }
}
