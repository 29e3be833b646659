#pragma once

#include "options/UserAdmin.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace tolvane::db {
class Query;
}
namespace tolvane::widgets {
class TDBGrid;
class TFlatButton;
} // namespace tolvane::widgets

namespace tolvane::options {

// The programme options: the users who may log in with their permissions, and
// the backup and restore of the question bank, which is handed to the backup
// program beside the executable.
class TSet_F : public QDialog {
    Q_OBJECT
public:
    explicit TSet_F(QWidget* parent = nullptr);
    ~TSet_F() override;

    // Toolbar.
    QToolBar* ToolBar1;
    QToolButton* YHGL_TBtn;   // "Users"
    QToolButton* SJKGL_TBtn;  // "Database"
    QToolButton* ToolButton4; // "Help"
    QToolButton* ToolButton5; // "About"

    QTabWidget* Set_PC;
    QWidget* YHGL_TS;
    QWidget* SJKGL_TS;

    // Users page.
    widgets::TDBGrid* YHXX_DBG;
    QRadioButton* XG_FRBtn; // "Change User Info"
    QRadioButton* TJ_FRBtn; // "Add New User"
    QLineEdit* YHM_FE;
    QComboBox* QX_FCB; // the permission names; each item's data is its QXID
    QLineEdit* MM_FE;
    QLineEdit* QRMM_FE;
    QLabel* Label6;
    widgets::TFlatButton* Run_FBtn;  // "Submit"
    widgets::TFlatButton* Del_FBtn;  // "Delete"
    widgets::TFlatButton* Exit_FBtn; // "Close"

    // Database page.
    QFrame* LJ_P; // disabled, so the path cannot be typed into
    QLineEdit* LJ_FE;
    widgets::TFlatButton* LJ_FBtn;     // ">>>"
    QRadioButton* BF_FRBtn;            // "Backup Database"
    QRadioButton* HY_FRBtn;            // "Restore Database"
    QComboBox* SJD_FCB;                // the recorded backups
    widgets::TFlatButton* FlatButton1; // "Execute"

    db::Query* YH_ADOQ; // the users with their permission names, in the grid
    db::Query* YH_ADOT; // table YH, for adding, changing and deleting

    // Handlers.
    void FormShow();
    void FormClose();
    void FormDestroy();
    void YHGL_TBtnClick();
    void YHXX_DBGMouseUp();
    void XG_FRBtnClick();
    void TJ_FRBtnClick();
    void Run_FBtnClick();
    void Del_FBtnClick();
    void ToolButton4Click();
    void ToolButton5Click();
    void Exit_FBtnClick();
    void SJKGL_TBtnClick();
    void LJ_FBtnClick();
    void BF_FRBtnClick();
    void HY_FRBtnClick();
    void FlatButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUsersPage();
    void buildDatabasePage();
    // Fills the fields from the grid's chosen user.
    void showChosenUser();
    void clearFields();
    void setPasswordsEnabled(bool enabled);
    // Reopens the grid, on the row of `name` if it is listed.
    void reloadGrid(const QString& name = QString());
    UserInput input() const;
    int administratorCount() const;
    bool refuse(UserRefusal refusal);
    // Posts the pending user row; a refusal cancels it and tells the
    // lecturer `failure` with the database's reason. Returns whether it was
    // written.
    bool postUser(const QString& failure);
    // Starts the backup program for the operation written to set.ini and
    // ends the application; false (with a message) when it did not start.
    bool launchBackupProgram();

    QButtonGroup* m_toolGroup;
    bool m_shown = false;
};

} // namespace tolvane::options
