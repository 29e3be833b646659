#include "options/Set_Form.h"

#include "core/About_Form.h"
#include "core/AppPaths.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "core/Session.h"
#include "core/Shell.h"
#include "db/DataModule.h"
#include "db/Query.h"
#include "options/BFML_Form.h"
#include "options/BackupSettings.h"
#include "widgets/DataGrid.h"
#include "widgets/FlatButton.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace tolvane::options {

using widgets::TFlatButton;

namespace {

const char kGridSql1[] = "SELECT A.UserName as UserName,B.QXM as Permission FROM YH AS A ";
const char kGridSql2[] = "INNER JOIN QX AS B ON A.QXID=B.QXID";
// The list keeps each permission's code with its name, so a user is stored
// with the code of the name chosen, whatever order the rows come in.
const char kPermissionSql[] = "SELECT QXID,QXM FROM QX";
const char kAdministratorsSql[] = "SELECT 1 FROM YH WHERE QXID=1";

TFlatButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new TFlatButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in a field must not press a button.
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 40);
    b->setMinimumHeight(b->fontMetrics().height() + 14);
    return b;
}

QToolButton* makeToolButton(QToolBar* bar, const char* name, const QString& caption,
                            QStyle::StandardPixmap icon, bool checkable) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    b->setIcon(bar->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setCheckable(checkable);
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 24);
    bar->addWidget(b);
    return b;
}

QLineEdit* makeEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QLineEdit* makePasswordEdit(QWidget* parent, const char* name) {
    QLineEdit* e = makeEdit(parent, name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*'
    return e;
}

} // namespace

TSet_F::TSet_F(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Set_F"));
    setWindowTitle(QStringLiteral("Programme options"));

    YH_ADOQ = new db::Query(&db::bank(), this);
    YH_ADOQ->setObjectName(QStringLiteral("YH_ADOQ"));
    YH_ADOT = new db::Query(&db::bank(), this);
    YH_ADOT->setObjectName(QStringLiteral("YH_ADOT"));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    YHGL_TBtn = makeToolButton(ToolBar1, "YHGL_TBtn", QStringLiteral("Users"),
                               QStyle::SP_DirHomeIcon, true);
    SJKGL_TBtn = makeToolButton(ToolBar1, "SJKGL_TBtn", QStringLiteral("Database"),
                                QStyle::SP_DialogSaveButton, true);
    ToolBar1->addSeparator();
    ToolButton4 = makeToolButton(ToolBar1, "ToolButton4", QStringLiteral("Help"),
                                 QStyle::SP_MessageBoxQuestion, false);
    ToolButton5 = makeToolButton(ToolBar1, "ToolButton5", QStringLiteral("About"),
                                 QStyle::SP_MessageBoxInformation, false);
    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(true);
    m_toolGroup->addButton(YHGL_TBtn);
    m_toolGroup->addButton(SJKGL_TBtn);
    YHGL_TBtn->setChecked(true);

    Set_PC = new QTabWidget(this);
    Set_PC->setObjectName(QStringLiteral("Set_PC"));
    YHGL_TS = new QWidget;
    YHGL_TS->setObjectName(QStringLiteral("YHGL_TS"));
    SJKGL_TS = new QWidget;
    SJKGL_TS->setObjectName(QStringLiteral("SJKGL_TS"));
    Set_PC->addTab(YHGL_TS, QStringLiteral("Users"));
    Set_PC->addTab(SJKGL_TS, QStringLiteral("Database"));
    buildUsersPage();
    buildDatabasePage();

    Exit_FBtn = makeButton(this, "Exit_FBtn", QStringLiteral("Close"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Exit_FBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(ToolBar1);
    layout->addWidget(Set_PC, 1);
    layout->addLayout(bottom);
    resize(640, 520);

    connectHandler(YHGL_TBtn, &QToolButton::clicked, this, [this] { YHGL_TBtnClick(); });
    connectHandler(SJKGL_TBtn, &QToolButton::clicked, this, [this] { SJKGL_TBtnClick(); });
    connectHandler(ToolButton4, &QToolButton::clicked, this, [this] { ToolButton4Click(); });
    connectHandler(ToolButton5, &QToolButton::clicked, this, [this] { ToolButton5Click(); });
    connectHandler(YHXX_DBG, &widgets::TDBGrid::mouseUp, this, [this] { YHXX_DBGMouseUp(); });
    connectHandler(XG_FRBtn, &QRadioButton::clicked, this, [this] { XG_FRBtnClick(); });
    connectHandler(TJ_FRBtn, &QRadioButton::clicked, this, [this] { TJ_FRBtnClick(); });
    connectHandler(Run_FBtn, &TFlatButton::clicked, this, [this] { Run_FBtnClick(); });
    connectHandler(Del_FBtn, &TFlatButton::clicked, this, [this] { Del_FBtnClick(); });
    connectHandler(Exit_FBtn, &TFlatButton::clicked, this, [this] { Exit_FBtnClick(); });
    connectHandler(LJ_FBtn, &TFlatButton::clicked, this, [this] { LJ_FBtnClick(); });
    connectHandler(BF_FRBtn, &QRadioButton::clicked, this, [this] { BF_FRBtnClick(); });
    connectHandler(HY_FRBtn, &QRadioButton::clicked, this, [this] { HY_FRBtnClick(); });
    connectHandler(FlatButton1, &TFlatButton::clicked, this, [this] { FlatButton1Click(); });
}

TSet_F::~TSet_F() {
    FormDestroy();
}

void TSet_F::buildUsersPage() {
    YHXX_DBG = new widgets::TDBGrid(YHGL_TS);
    YHXX_DBG->setObjectName(QStringLiteral("YHXX_DBG"));
    YHXX_DBG->horizontalHeader()->setStretchLastSection(true);
    YHXX_DBG->setQuery(YH_ADOQ);

    XG_FRBtn = new QRadioButton(QStringLiteral("Change User Info"), YHGL_TS);
    XG_FRBtn->setObjectName(QStringLiteral("XG_FRBtn"));
    TJ_FRBtn = new QRadioButton(QStringLiteral("Add New User"), YHGL_TS);
    TJ_FRBtn->setObjectName(QStringLiteral("TJ_FRBtn"));
    XG_FRBtn->setChecked(true);

    YHM_FE = makeEdit(YHGL_TS, "YHM_FE");
    QX_FCB = new QComboBox(YHGL_TS);
    QX_FCB->setObjectName(QStringLiteral("QX_FCB"));
    QX_FCB->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    MM_FE = makePasswordEdit(YHGL_TS, "MM_FE");
    QRMM_FE = makePasswordEdit(YHGL_TS, "QRMM_FE");
    Label6 = new QLabel(QStringLiteral("If no change in PW please keep the above blank."), YHGL_TS);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setStyleSheet(QStringLiteral("color: red;"));
    Label6->setWordWrap(true);

    Run_FBtn = makeButton(YHGL_TS, "Run_FBtn", QStringLiteral("Submit"));
    Del_FBtn = makeButton(YHGL_TS, "Del_FBtn", QStringLiteral("Delete"));

    auto* modes = new QHBoxLayout;
    modes->addWidget(XG_FRBtn);
    modes->addSpacing(16);
    modes->addWidget(TJ_FRBtn);
    modes->addStretch();

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(QStringLiteral("User Name:"), YHM_FE);
    form->addRow(QStringLiteral("Permission:"), QX_FCB);
    form->addRow(QStringLiteral("Password:"), MM_FE);
    form->addRow(QStringLiteral("Confirm PW:"), QRMM_FE);
    form->addRow(QString(), Label6);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Run_FBtn);
    buttons->addWidget(Del_FBtn);

    auto* details = new QVBoxLayout;
    details->addLayout(modes);
    details->addLayout(form);
    details->addStretch();
    details->addLayout(buttons);

    auto* layout = new QHBoxLayout(YHGL_TS);
    layout->addWidget(YHXX_DBG, 1);
    layout->addSpacing(8);
    layout->addLayout(details, 1);
}

void TSet_F::buildDatabasePage() {
    auto* pathBox = new QGroupBox(QStringLiteral("Backup Path:"), SJKGL_TS);
    LJ_P = new QFrame(pathBox);
    LJ_P->setObjectName(QStringLiteral("LJ_P"));
    LJ_FE = makeEdit(LJ_P, "LJ_FE");
    // Read-only by its disabled panel, yet as legible as any other field.
    QPalette legible = LJ_FE->palette();
    legible.setColor(QPalette::Disabled, QPalette::Text,
                     legible.color(QPalette::Active, QPalette::Text));
    LJ_FE->setPalette(legible);
    auto* panelLayout = new QHBoxLayout(LJ_P);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(LJ_FE);
    LJ_P->setEnabled(false);
    LJ_FBtn = makeButton(pathBox, "LJ_FBtn", QStringLiteral(">>>"));
    auto* pathLayout = new QHBoxLayout(pathBox);
    pathLayout->addWidget(new QLabel(QStringLiteral("Current Path:"), pathBox));
    pathLayout->addWidget(LJ_P, 1);
    pathLayout->addWidget(LJ_FBtn);

    auto* operationBox = new QGroupBox(QStringLiteral("Operation:"), SJKGL_TS);
    BF_FRBtn = new QRadioButton(QStringLiteral("Backup Database"), operationBox);
    BF_FRBtn->setObjectName(QStringLiteral("BF_FRBtn"));
    HY_FRBtn = new QRadioButton(QStringLiteral("Restore Database"), operationBox);
    HY_FRBtn->setObjectName(QStringLiteral("HY_FRBtn"));
    BF_FRBtn->setChecked(true);
    auto* operationLayout = new QHBoxLayout(operationBox);
    operationLayout->addWidget(BF_FRBtn);
    operationLayout->addSpacing(16);
    operationLayout->addWidget(HY_FRBtn);
    operationLayout->addStretch();

    auto* timeBox = new QGroupBox(QStringLiteral("Time:"), SJKGL_TS);
    SJD_FCB = new QComboBox(timeBox);
    SJD_FCB->setObjectName(QStringLiteral("SJD_FCB"));
    SJD_FCB->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SJD_FCB->setMinimumContentsLength(24);
    SJD_FCB->setEnabled(false);
    auto* timeLayout = new QHBoxLayout(timeBox);
    timeLayout->addWidget(SJD_FCB, 1);

    FlatButton1 = makeButton(SJKGL_TS, "FlatButton1", QStringLiteral("Execute"));
    auto* run = new QHBoxLayout;
    run->addStretch();
    run->addWidget(FlatButton1);

    auto* layout = new QVBoxLayout(SJKGL_TS);
    layout->addWidget(pathBox);
    layout->addWidget(operationBox);
    layout->addWidget(timeBox);
    layout->addStretch();
    layout->addLayout(run);
}

void TSet_F::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        runHandler([this] { FormShow(); });
    }
}

void TSet_F::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    FormClose();
}

void TSet_F::FormShow() {
    Set_PC->tabBar()->hide();
    Set_PC->setCurrentWidget(YHGL_TS);

    YH_ADOQ->close();
    YH_ADOQ->setSql(QStringList{QString::fromLatin1(kGridSql1), QString::fromLatin1(kGridSql2)});
    YH_ADOQ->open();

    {
        db::Query permissions(&db::bank());
        permissions.setSql(QString::fromLatin1(kPermissionSql));
        permissions.open();
        for (; !permissions.eof(); permissions.next())
            QX_FCB->addItem(permissions.fieldText(QStringLiteral("QXM")),
                            permissions.fieldInt(QStringLiteral("QXID")));
    }

    showChosenUser();
    YH_ADOT->openTable(QStringLiteral("YH"));
}

void TSet_F::FormClose() {
    // The owner destroys the window once its modal showing returns.
}

void TSet_F::FormDestroy() {
    YH_ADOQ->close();
    YH_ADOT->close();
}

void TSet_F::YHGL_TBtnClick() {
    YHGL_TBtn->setChecked(true);
    Set_PC->setCurrentWidget(YHGL_TS);
}

void TSet_F::YHXX_DBGMouseUp() {
    showChosenUser();
}

void TSet_F::XG_FRBtnClick() {
    showChosenUser();
}

void TSet_F::TJ_FRBtnClick() {
    clearFields();
    YHM_FE->setEnabled(true);
    setPasswordsEnabled(true);
}

void TSet_F::showChosenUser() {
    const QString name = YHXX_DBG->selectedText(0);
    YHM_FE->setText(name);
    YHM_FE->setEnabled(false);
    QX_FCB->setCurrentIndex(QX_FCB->findText(YHXX_DBG->selectedText(1)));
    // Exact: only the account logged in may have its password changed here.
    setPasswordsEnabled(name == CurrentUserName);
}

void TSet_F::setPasswordsEnabled(bool enabled) {
    // A password typed for one user must never be given to another chosen
    // afterwards: disabled fields hold nothing.
    if (!enabled) {
        MM_FE->clear();
        QRMM_FE->clear();
    }
    MM_FE->setEnabled(enabled);
    QRMM_FE->setEnabled(enabled);
}

void TSet_F::clearFields() {
    YHM_FE->clear();
    QX_FCB->setCurrentIndex(-1);
    MM_FE->clear();
    QRMM_FE->clear();
}

void TSet_F::reloadGrid(const QString& name) {
    YH_ADOQ->close();
    YH_ADOQ->open();
    if (name.isNull())
        return;
    // The grid stays on the user just worked on, so that "Delete" means the
    // user the fields show.
    for (int row = 0; row < YH_ADOQ->recordCount(); ++row)
        if (db::Query::displayText(YH_ADOQ->value(row, 0)) == name) {
            YHXX_DBG->setSelectedRow(row);
            break;
        }
}

UserInput TSet_F::input() const {
    UserInput in;
    in.name = YHM_FE->text();
    in.permission = QX_FCB->currentIndex() < 0 ? -1 : QX_FCB->currentData().toInt();
    in.password = MM_FE->text();
    in.confirmation = QRMM_FE->text();
    return in;
}

int TSet_F::administratorCount() const {
    db::Query administrators(&db::bank());
    administrators.setSql(QString::fromLatin1(kAdministratorsSql));
    administrators.open();
    return administrators.recordCount();
}

bool TSet_F::refuse(UserRefusal refusal) {
    if (refusal == UserRefusal::None)
        return false;
    const UserMessage m = refusalMessage(refusal);
    showMessage(m.text, m.caption, MsgIcon::Error);
    if (refusal == UserRefusal::PasswordsDiffer) {
        MM_FE->clear();
        QRMM_FE->clear();
    }
    return true;
}

bool TSet_F::postUser(const QString& failure) {
    try {
        YH_ADOT->post();
    } catch (const db::DbError& e) {
        YH_ADOT->cancel();
        showMessage(failure + QStringLiteral("\n\n") + e.text(), QStringLiteral("Error"),
                    MsgIcon::Error);
        return false;
    }
    return true;
}

void TSet_F::Run_FBtnClick() {
    const int administrators = administratorCount();
    const UserInput in = input();

    if (TJ_FRBtn->isChecked()) {
        if (refuse(checkNewUser(in, findUser(*YH_ADOT, in.name) >= 0)))
            return;
        YH_ADOT->append();
        YH_ADOT->setFieldText(QStringLiteral("UserName"), in.name);
        YH_ADOT->setFieldText(QStringLiteral("Password"), in.password);
        YH_ADOT->setFieldInt(QStringLiteral("QXID"), in.permission);
        if (!postUser(QStringLiteral("Error: User information could not be added!")))
            return;
        showMessage(QStringLiteral("User information added successfully!"),
                    QStringLiteral("Successful"), MsgIcon::Information);
        reloadGrid();
        clearFields();
        return;
    }

    if (in.password != in.confirmation) {
        refuse(UserRefusal::PasswordsDiffer);
        return;
    }
    const int row = findUser(*YH_ADOT, in.name);
    if (row < 0)
        return; // no such user: nothing to change
    YH_ADOT->setCurrentRow(row);
    const int stored = static_cast<int>(YH_ADOT->fieldInt(QStringLiteral("QXID")));
    if (refuse(checkChangedUser(in, stored, administrators)))
        return;
    YH_ADOT->edit();
    if (!in.password.isEmpty())
        YH_ADOT->setFieldText(QStringLiteral("Password"), in.password);
    YH_ADOT->setFieldInt(QStringLiteral("QXID"), in.permission);
    if (!postUser(QStringLiteral("Error: User information could not be modified!")))
        return;
    showMessage(QStringLiteral("User information modified successfully!"),
                QStringLiteral("Successful"), MsgIcon::Information);
    reloadGrid(in.name);
}

void TSet_F::Del_FBtnClick() {
    const QString name = YHXX_DBG->selectedText(0);
    if (name == CurrentUserName) {
        showMessage(QStringLiteral("Error: Cannot delete current user!"), QStringLiteral("Error"),
                    MsgIcon::Error);
        return;
    }
    const int row = findUser(*YH_ADOT, name);
    if (row >= 0) {
        YH_ADOT->setCurrentRow(row);
        const int stored = static_cast<int>(YH_ADOT->fieldInt(QStringLiteral("QXID")));
        if (refuse(checkDeletion(stored, administratorCount())))
            return;
    }
    if (showMessage(QStringLiteral("Warning: Deletion is non-restorable. Confirm deletion?"),
                    QStringLiteral("Confirm deletion"), MsgIcon::Warning,
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (row >= 0) {
        bool deleted = true;
        try {
            YH_ADOT->setCurrentRow(row);
            YH_ADOT->deleteCurrent();
        } catch (const db::DbError&) {
            deleted = false;
        }
        if (deleted) {
            showMessage(QStringLiteral("User deletion successful!"), QStringLiteral("Successful"),
                        MsgIcon::Information);
            reloadGrid();
        } else {
            showMessage(QStringLiteral("Unknown Error: User deletion failed!"),
                        QStringLiteral("Error"), MsgIcon::Error);
        }
    }
    clearFields();
}

void TSet_F::ToolButton4Click() {
    openHelpFile();
}

void TSet_F::ToolButton5Click() {
    auto about = std::make_unique<TAbout_F>(nullptr);
    about->exec();
}

void TSet_F::Exit_FBtnClick() {
    close();
}

void TSet_F::SJKGL_TBtnClick() {
    SJKGL_TBtn->setChecked(true);
    Set_PC->setCurrentWidget(SJKGL_TS);
    BF_FRBtn->setChecked(true);
    BF_FRBtnClick();

    const QString dataDir = AppPaths::dataDir();
    IniFile ini(backupini::filePath(dataDir));
    QString path = ini.value(backupini::kSection, backupini::kBackupPath);
    const bool setDefault = path.isEmpty();
    if (setDefault)
        path = backupini::defaultBackupPath(dataDir);
    LJ_FE->setText(path);

    SJD_FCB->clear();
    SJD_FCB->addItems(backupini::labels(ini));
    SJD_FCB->setCurrentIndex(SJD_FCB->count() > 0 ? 0 : -1);

    if (setDefault)
        ini.write(backupini::kSection, backupini::kBackupPath, path);
}

void TSet_F::LJ_FBtnClick() {
    auto chooser = std::make_unique<TBFML_F>(LJ_FE, this);
    chooser->exec();
}

void TSet_F::BF_FRBtnClick() {
    SJD_FCB->setEnabled(false);
}

void TSet_F::HY_FRBtnClick() {
    SJD_FCB->setEnabled(true);
}

void TSet_F::FlatButton1Click() {
    IniFile ini(backupini::filePath(AppPaths::dataDir()));
    if (BF_FRBtn->isChecked()) {
        if (showMessage(
                QStringLiteral("To ensure correct backup programme must be closed, confirm"),
                QStringLiteral("Confirm backup"), MsgIcon::Information,
                QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
            return;
        ini.write(backupini::kSection, backupini::kOperation, QStringLiteral("0"));
    } else {
        // Ending the programme for a restore of nothing would only lose the
        // lecturer's session.
        if (SJD_FCB->currentIndex() < 0) {
            showMessage(QStringLiteral("Error: Please select the backup to restore!"),
                        QStringLiteral("Information incomplete"), MsgIcon::Error);
            return;
        }
        if (showMessage(
                QStringLiteral("To ensure correct restoration programme must be closed, confirm?"),
                QStringLiteral("Confirm restoration"), MsgIcon::Information,
                QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
            return;
        ini.write({{backupini::kSection, backupini::kOperation, QStringLiteral("1")},
                   {backupini::kSection, backupini::kRestoreLabel, SJD_FCB->currentText()}});
    }
    launchBackupProgram();
}

bool TSet_F::launchBackupProgram() {
    const QString program = AppPaths::exeDir() + QStringLiteral("BackUp.exe");
    if (!startDetached(program, {QStringLiteral("han_backup")})) {
        // Ending now would leave the lecturer with neither the programme nor
        // the backup.
        showMessage(QStringLiteral("Error: The backup programme \"%1\" could not be started!")
                        .arg(QDir::toNativeSeparators(program)),
                    QStringLiteral("Error"), MsgIcon::Error);
        return false;
    }
    terminateApplication();
    return true;
}

} // namespace tolvane::options
