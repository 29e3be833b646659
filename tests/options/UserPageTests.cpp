#include "options/Set_Form.h"

#include "core/Session.h"
#include "core/Shell.h"
#include "db/Query.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"
#include "widgets/DataGrid.h"
#include "widgets/FlatButton.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace tolvane;
using options::TSet_F;

namespace {

// The options window on a bank with the administrator "admin" (logged in)
// and the lecturer "lecturer".
class UserPage : public ::testing::Test {
protected:
    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TSet_F> w;

    void SetUp() override {
        CurrentUserName = QStringLiteral("admin");
        CurrentPermission = 1;
        bank.exec("INSERT INTO YH (UserName, Password, QXID) VALUES ('lecturer', 'lect', 0)");
    }
    void open() {
        w = std::make_unique<TSet_F>();
        w->show();
    }

    // Clicks the grid row of a user, as the lecturer would.
    void choose(const QString& name) {
        db::Query* q = w->YH_ADOQ;
        for (int row = 0; row < q->recordCount(); ++row) {
            if (db::Query::displayText(q->value(row, 0)) == name) {
                const QRect cell = w->YHXX_DBG->visualRect(w->YHXX_DBG->model()->index(row, 0));
                QTest::mouseClick(w->YHXX_DBG->viewport(), Qt::LeftButton, {}, cell.center());
                return;
            }
        }
        ADD_FAILURE() << "not listed: " << name.toStdString();
    }
    void fill(const QString& name, const QString& permission, const QString& password,
              const QString& confirmation) {
        if (w->YHM_FE->isEnabled())
            w->YHM_FE->setText(name);
        w->QX_FCB->setCurrentIndex(w->QX_FCB->findText(permission));
        w->MM_FE->setText(password);
        w->QRMM_FE->setText(confirmation);
    }
    QString stored(const QString& name, const char* column) {
        return bank.text(QStringLiteral("SELECT %1 FROM YH WHERE UserName = '%2'")
                             .arg(QLatin1String(column), name));
    }
    qint64 users() { return bank.count("SELECT COUNT(*) FROM YH"); }
    void expectFieldsEmpty() {
        EXPECT_EQ(w->YHM_FE->text(), "");
        EXPECT_EQ(w->QX_FCB->currentIndex(), -1);
        EXPECT_EQ(w->MM_FE->text(), "");
        EXPECT_EQ(w->QRMM_FE->text(), "");
    }
};

} // namespace

TEST_F(UserPage, OpensOnTheUsersPageShowingTheFirstUser) {
    open();
    EXPECT_EQ(w->windowTitle(), "Programme options");
    EXPECT_EQ(w->Set_PC->currentWidget(), w->YHGL_TS);
    EXPECT_FALSE(w->Set_PC->tabBar()->isVisible());
    EXPECT_TRUE(w->YHGL_TBtn->isChecked());
    EXPECT_FALSE(w->SJKGL_TBtn->isChecked());
    EXPECT_EQ(w->YHGL_TBtn->text(), "Users");
    EXPECT_EQ(w->SJKGL_TBtn->text(), "Database");
    EXPECT_EQ(w->ToolButton4->text(), "Help");
    EXPECT_EQ(w->ToolButton5->text(), "About");
    EXPECT_EQ(w->Label6->text(), "If no change in PW please keep the above blank.");
    for (QLineEdit* e : {w->MM_FE, w->QRMM_FE}) {
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        EXPECT_EQ(e->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, e), '*');
    }

    ASSERT_EQ(w->YH_ADOQ->columnNames(), QStringList({"UserName", "Permission"}));
    ASSERT_EQ(w->YH_ADOQ->recordCount(), 2);
    EXPECT_EQ(w->QX_FCB->count(), 2);
    EXPECT_EQ(w->QX_FCB->itemText(1), "Administrator");
    EXPECT_TRUE(w->XG_FRBtn->isChecked());
    // The first user is the one logged in: the password fields are open.
    EXPECT_EQ(w->YHM_FE->text(), "admin");
    EXPECT_FALSE(w->YHM_FE->isEnabled());
    EXPECT_EQ(w->QX_FCB->currentText(), "Administrator");
    EXPECT_TRUE(w->MM_FE->isEnabled());
    EXPECT_TRUE(w->QRMM_FE->isEnabled());

    choose("lecturer");
    EXPECT_EQ(w->YHM_FE->text(), "lecturer");
    EXPECT_EQ(w->QX_FCB->currentText(), "Lecturer");
    EXPECT_FALSE(w->MM_FE->isEnabled());
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(UserPage, ANewUserIsCheckedInOrder) {
    open();
    w->TJ_FRBtn->click();
    expectFieldsEmpty();
    EXPECT_TRUE(w->YHM_FE->isEnabled());
    EXPECT_TRUE(w->MM_FE->isEnabled());

    const struct {
        const char* name;
        const char* permission;
        const char* password;
        const char* confirmation;
        const char* text;
        const char* caption;
    } cases[] = {
        {"", "Lecturer", "pw", "pw", "Error: User name cannot be blank!", "Information incomplete"},
        {"  ", "Lecturer", "", "", "Error: User name cannot be blank!", "Information incomplete"},
        {"smith", "", "", "x", "Error: Please select user permission!", "Information incomplete"},
        {"smith", "Lecturer", "", "x", "Error: Password cannot be blank!", "Information incorrect"},
        {"smith", "Lecturer", "pw", "PW", "Error: Two passwords not the same, please re-enter!",
         "Error in passwords"},
        {"LECTURER", "Lecturer", "pw", "pw", "Error: User already existed!",
         "Information incorrect"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        fill(c.name, c.permission, c.password, c.confirmation);
        messages.clear();
        w->Run_FBtn->click();
        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages.last().text, c.text);
        EXPECT_EQ(messages.last().caption, c.caption);
        EXPECT_EQ(messages.last().icon, MsgIcon::Error);
        EXPECT_EQ(users(), 2);
        const bool emptied = QString(c.text).contains("Two passwords");
        EXPECT_EQ(w->MM_FE->text().isEmpty(), emptied || QString(c.password).isEmpty());
        if (emptied) {
            EXPECT_EQ(w->QRMM_FE->text(), "");
        }
    }
}

TEST_F(UserPage, ANewUserIsStoredWithTheCodeOfItsPermission) {
    // A third permission whose code is not its place in the list.
    bank.exec("INSERT INTO QX (QXID, QXM) VALUES (7, 'Reviewer')");
    open();
    ASSERT_EQ(w->QX_FCB->count(), 3);
    ASSERT_EQ(w->QX_FCB->itemText(2), "Reviewer");

    w->TJ_FRBtn->click();
    fill("Smith", "Reviewer", "s3 cret", "s3 cret");
    w->Run_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "User information added successfully!");
    EXPECT_EQ(messages.last().caption, "Successful");
    EXPECT_EQ(messages.last().icon, MsgIcon::Information);
    EXPECT_EQ(stored("Smith", "QXID"), "7");
    EXPECT_EQ(stored("Smith", "Password"), "s3 cret");
    EXPECT_EQ(w->YH_ADOQ->recordCount(), 3) << "the grid is reloaded";
    expectFieldsEmpty();
}

TEST_F(UserPage, ChoosingAUserWhileAddingLoadsItAndAddsNothing) {
    open();
    w->TJ_FRBtn->click();
    choose("lecturer");
    EXPECT_EQ(w->YHM_FE->text(), "lecturer");
    EXPECT_FALSE(w->YHM_FE->isEnabled());
    w->Run_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Error: Password cannot be blank!");
    EXPECT_EQ(users(), 2);
}

TEST_F(UserPage, EmptyPasswordsKeepThePasswordAndChangeOnlyThePermission) {
    open();
    choose("lecturer");
    w->QX_FCB->setCurrentIndex(w->QX_FCB->findText("Administrator"));
    w->Run_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "User information modified successfully!");
    EXPECT_EQ(messages.last().caption, "Successful");
    EXPECT_EQ(stored("lecturer", "QXID"), "1");
    EXPECT_EQ(stored("lecturer", "Password"), "lect");
    // The fields keep their content, and the grid stays on the user shown.
    EXPECT_EQ(w->YHM_FE->text(), "lecturer");
    EXPECT_EQ(w->YHXX_DBG->selectedText(0), "lecturer");
    EXPECT_EQ(w->YHXX_DBG->selectedText(1), "Administrator");
}

TEST_F(UserPage, OnlyTheLoggedInUsersPasswordChangesAndNeverAnothers) {
    open();
    // The logged-in user's own password.
    fill("", "Administrator", "new", "other");
    w->Run_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Error: Two passwords not the same, please re-enter!");
    EXPECT_EQ(w->MM_FE->text(), "");
    EXPECT_EQ(w->QRMM_FE->text(), "");
    EXPECT_EQ(stored("admin", "Password"), "admin");
    fill("", "Administrator", "new", "new");
    w->Run_FBtn->click();
    EXPECT_EQ(stored("admin", "Password"), "new");

    // Typed while the logged-in user was shown, then another user chosen:
    // the fields are emptied as they are closed.
    w->MM_FE->setText("typed");
    w->QRMM_FE->setText("typed");
    choose("lecturer");
    EXPECT_FALSE(w->MM_FE->isEnabled());
    EXPECT_EQ(w->MM_FE->text(), "");
    w->Run_FBtn->click();
    EXPECT_EQ(stored("lecturer", "Password"), "lect");

    // Letter case counts: "Admin" logged in is not the user "admin".
    CurrentUserName = QStringLiteral("Admin");
    choose("admin");
    EXPECT_FALSE(w->MM_FE->isEnabled());
}

TEST_F(UserPage, TheLastAdministratorKeepsThePermission) {
    open();
    // With one administrator, a lecturer can still be changed.
    choose("lecturer");
    w->Run_FBtn->click();
    EXPECT_EQ(messages.last().text, "User information modified successfully!");

    choose("admin");
    w->QX_FCB->setCurrentIndex(w->QX_FCB->findText("Lecturer"));
    messages.clear();
    w->Run_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text,
              "Programme needs at least one Administrator, cannot degrade the permission!");
    EXPECT_EQ(messages.last().caption, "Error");
    EXPECT_EQ(stored("admin", "QXID"), "1");

    // With a second one, the first may be degraded.
    bank.exec("UPDATE YH SET QXID = 1 WHERE UserName = 'lecturer'");
    w->Run_FBtn->click();
    EXPECT_EQ(messages.last().text, "User information modified successfully!");
    EXPECT_EQ(stored("admin", "QXID"), "0");
}

TEST_F(UserPage, DeletionAsksProtectsAndEmptiesTheFields) {
    open();
    // The logged-in user, compared exactly.
    w->Del_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Error: Cannot delete current user!");
    EXPECT_EQ(messages.last().caption, "Error");

    choose("lecturer");
    messages.clear();
    messages.answer(QMessageBox::No);
    w->Del_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Warning: Deletion is non-restorable. Confirm deletion?");
    EXPECT_EQ(messages.last().caption, "Confirm deletion");
    EXPECT_EQ(messages.last().icon, MsgIcon::Warning);
    EXPECT_EQ(messages.last().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(w->YHM_FE->text(), "lecturer");

    messages.clear();
    messages.answer(QMessageBox::Yes);
    w->Del_FBtn->click();
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().text, "User deletion successful!");
    EXPECT_EQ(messages.last().caption, "Successful");
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(w->YH_ADOQ->recordCount(), 1);
    expectFieldsEmpty();

    // Nothing is shown now: "Submit" finds no user and changes nothing.
    messages.clear();
    w->Run_FBtn->click();
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(stored("admin", "QXID"), "1");
}

TEST_F(UserPage, TheLastAdministratorCannotBeDeleted) {
    // Logged in under another spelling, the exact check lets "admin" through.
    CurrentUserName = QStringLiteral("ADMIN");
    open();
    w->Del_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text,
              "Programme needs at least one Administrator, cannot delete the last one!");
    EXPECT_EQ(users(), 2);
}

TEST_F(UserPage, AFailedWriteIsReportedAndLeavesNothingPending) {
    open();
    bank.exec("CREATE TRIGGER refuse_users BEFORE INSERT ON YH BEGIN "
              "SELECT RAISE(ABORT, 'the disk is full'); END");
    bank.exec("CREATE TRIGGER refuse_changes BEFORE UPDATE ON YH BEGIN "
              "SELECT RAISE(ABORT, 'the disk is full'); END");
    w->TJ_FRBtn->click();
    fill("smith", "Lecturer", "pw", "pw");
    w->Run_FBtn->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().caption, "Error");
    EXPECT_TRUE(messages.last().text.startsWith("Error: User information could not be added!"));
    EXPECT_TRUE(messages.last().text.contains("the disk is full"));
    EXPECT_FALSE(w->YH_ADOT->isEditing());
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(w->YHM_FE->text(), "smith") << "the input is kept for another try";

    w->XG_FRBtn->click();
    choose("lecturer");
    w->Run_FBtn->click();
    EXPECT_TRUE(messages.last().text.startsWith("Error: User information could not be modified!"));
    EXPECT_FALSE(w->YH_ADOT->isEditing());
}

TEST_F(UserPage, HelpAndAbout) {
    open();
    QStringList opened;
    setShellOpenHandler([&](const QString& p) {
        opened << p;
        return true;
    });
    QFile chm(bank.dir() + "Zenlo.chm");
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    w->ToolButton4->click();
    setShellOpenHandler({});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("/Zenlo.chm"));

    QString caption;
    QTimer::singleShot(50, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            caption = modal->windowTitle();
            modal->close();
        }
    });
    w->ToolButton5->click();
    EXPECT_EQ(caption, "About");
}
