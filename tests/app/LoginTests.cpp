#include "app/Enter.h"
#include "app/Main_Form.h"
#include "core/Session.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// Waits for the modal main window, lets the test look at it, then closes it.
struct MainWindowWatcher {
    bool seen = false;
    QString title;
    int permission = -1;
    bool optionsEnabled = false;
    void arm() {
        QTimer::singleShot(20, [this] { poll(); });
    }
    void poll() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* m = qobject_cast<TMain_F*>(w); m && m->isVisible()) {
                seen = true;
                title = m->windowTitle();
                permission = CurrentPermission;
                optionsEnabled = m->XXSZ_P->isEnabled();
                m->close();
                return;
            }
        }
        QTimer::singleShot(20, [this] { poll(); });
    }
};

struct LoginFixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    TEnter_Form form;
    LoginFixture() {
        bank.exec("INSERT INTO YH (UserName, Password, QXID) VALUES ('Lee', 'Secret', 0), "
                  "('nopass', NULL, 0), ('Ann', '', 1)");
        form.show();
        CurrentUserName.clear();
        CurrentPermission = -1;
    }
    void login(const QString& user, const QString& password) {
        form.XM_CB->setEditText(user);
        form.MM_E->setText(password);
        form.Enter_Btn->click();
    }
};

} // namespace

TEST(Login, WindowAndUserList) {
    LoginFixture f;
    EXPECT_EQ(f.form.windowTitle(), "System Login");
    EXPECT_EQ(f.form.Enter_Btn->text(), "Login");
    EXPECT_EQ(f.form.Exit_Btn->text(), "Cancel");
    EXPECT_EQ(f.form.MM_E->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(f.form.XM_CB->isEditable());
    EXPECT_EQ(f.form.XM_CB->currentText(), "");
    // The list was filled before the extra users were added; show a fresh one.
    TEnter_Form fresh;
    fresh.show();
    QStringList names;
    for (int i = 0; i < fresh.XM_CB->count(); ++i)
        names << fresh.XM_CB->itemText(i);
    EXPECT_EQ(names, (QStringList{"admin", "Lee", "nopass", "Ann"}));
    EXPECT_EQ(fresh.XM_CB->currentIndex(), -1);
    // Tab goes user -> password -> Login -> Cancel.
    fresh.activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(fresh.XM_CB->hasFocus() || fresh.XM_CB->isAncestorOf(QApplication::focusWidget()))
        << "the focus starts in the user box";
    QWidget* order[] = {fresh.XM_CB, fresh.MM_E, fresh.Enter_Btn, fresh.Exit_Btn};
    for (int i = 0; i + 1 < 4; ++i) {
        order[i]->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        EXPECT_TRUE(now == order[i + 1] || order[i + 1]->isAncestorOf(now))
            << "after " << order[i]->objectName().toStdString();
    }
}

TEST(Login, ATypedNameStaysAsTyped) {
    // The beginning of a user's name, or the name in another letter case,
    // must not turn into that user.
    LoginFixture f;
    TEnter_Form fresh;
    fresh.show();
    fresh.activateWindow();
    for (const char* typed : {"adm", "Le", "lee", "NOPASS"}) {
        SCOPED_TRACE(typed);
        fresh.XM_CB->setEditText(QString());
        fresh.XM_CB->setFocus();
        QTest::keyClicks(fresh.XM_CB->lineEdit(), typed);
        QTest::keyClick(fresh.XM_CB->lineEdit(), Qt::Key_Tab);
        EXPECT_EQ(fresh.XM_CB->currentText(), QString::fromLatin1(typed))
            << "nothing is completed into the box";
    }
}

TEST(Login, RefusalsKeepTheWindowOpen) {
    LoginFixture f;
    struct Case {
        const char* user;
        const char* password;
        const char* text;
        const char* caption;
    } cases[] = {
        {"", "x", "Username Blank, Please Select or Type in Username!", "Error"},
        {"Lee", "secret", "Password incorrect, Please Re-enter!", "Password Incorrect"},
        {"Lee", "Secret ", "Password incorrect, Please Re-enter!", "Password Incorrect"},
        {"Lee", "", "Password incorrect, Please Re-enter!", "Password Incorrect"},
        {"nobody", "x", "Password incorrect, Please Re-enter!", "Password Incorrect"},
        {"nobody", "", "User \"nobody\" does not exist, Please Select or Type in Username!",
         "Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + std::string("/") + c.password);
        f.messages.clear();
        f.login(QString::fromUtf8(c.user), QString::fromUtf8(c.password));
        ASSERT_EQ(f.messages.count(), 1);
        EXPECT_EQ(f.messages.last().text, QString::fromUtf8(c.text));
        EXPECT_EQ(f.messages.last().caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
        EXPECT_TRUE(f.form.isVisible());
        EXPECT_TRUE(CurrentUserName.isEmpty()) << "nobody is logged in";
        if (std::string(c.user) != "") {
            EXPECT_EQ(f.form.MM_E->text(), "") << "the password box is emptied";
        }
    }
}

TEST(Login, SuccessfulLoginsRunTheMainWindow) {
    struct Case {
        const char* user;
        const char* password;
        int permission;
        const char* stored;
    } cases[] = {
        {"admin", "admin", 1, "admin"},
        {"LEE", "Secret", 0, "LEE"}, // the name is looked up without regard to case
        {"nopass", "", 0, "nopass"}, // a null password is empty
        {"Ann", "", 1, "Ann"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        LoginFixture f;
        MainWindowWatcher watcher;
        watcher.arm();
        f.login(QString::fromUtf8(c.user), QString::fromUtf8(c.password));
        EXPECT_TRUE(watcher.seen);
        EXPECT_EQ(watcher.title, "Tolvane Test Paper Generation");
        EXPECT_EQ(CurrentUserName, QString::fromUtf8(c.stored));
        EXPECT_EQ(watcher.permission, c.permission);
        EXPECT_EQ(watcher.optionsEnabled, c.permission != 0);
        EXPECT_FALSE(f.form.isVisible()) << "the login window never comes back";
        EXPECT_EQ(f.messages.count(), 0);
        EXPECT_EQ(f.form.loginQuery(), nullptr);
    }
}

TEST(Login, EnterInThePasswordBoxLogsIn) {
    LoginFixture f;
    MainWindowWatcher watcher;
    watcher.arm();
    f.form.XM_CB->setEditText("admin");
    f.form.MM_E->setFocus();
    QTest::keyClicks(f.form.MM_E, "admin");
    QTest::keyClick(f.form.MM_E, Qt::Key_Return);
    EXPECT_TRUE(watcher.seen);
    EXPECT_EQ(f.messages.count(), 0);
    EXPECT_EQ(CurrentUserName, "admin");
}

TEST(Login, AClosedBankIsReportedAndTheWindowStays) {
    test::TestBank bank;
    db::Zenlo_DM->DataModuleDestroy();
    test::MessageRecorder messages;
    TEnter_Form form;
    form.show();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().icon, MsgIcon::Error);
    form.XM_CB->setEditText("admin");
    form.Enter_Btn->click();
    EXPECT_EQ(messages.count(), 2);
    EXPECT_TRUE(form.isVisible());
}
