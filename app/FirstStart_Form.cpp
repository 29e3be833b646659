#include "app/FirstStart_Form.h"

#include "bank/DemoCourse.h"
#include "bank/MakeBank.h"
#include "core/Handler.h"
#include "core/Messages.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tolvane {

namespace {

const QString kCaption = QStringLiteral("New question bank");

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TFirstStart_F::TFirstStart_F(const QString& dataDir, QWidget* parent)
    : QDialog(parent), m_dataDir(dataDir) {
    setObjectName(QStringLiteral("FirstStart_F"));
    setWindowTitle(QStringLiteral("Welcome to Tolvane"));

    Intro_L = named(new QLabel(QStringLiteral("There is no question bank yet. Make a new one for "
                                              "your course, or start with the demo course."),
                               this),
                    "Intro_L");
    Intro_L->setWordWrap(true);
    Folder_L = named(new QLabel(QStringLiteral("It will be kept in %1")
                                    .arg(QDir::toNativeSeparators(QDir::cleanPath(dataDir))),
                                this),
                     "Folder_L");
    Folder_L->setWordWrap(true);
    Folder_L->setTextInteractionFlags(Qt::TextSelectableByMouse);

    New_RBtn =
        named(new QRadioButton(QStringLiteral("A new, empty question bank"), this), "New_RBtn");
    Admin_Edit = named(new QLineEdit(this), "Admin_Edit");
    Password_Edit = named(new QLineEdit(this), "Password_Edit");
    Password_Edit->setEchoMode(QLineEdit::Password);
    Confirm_Edit = named(new QLineEdit(this), "Confirm_Edit");
    Confirm_Edit->setEchoMode(QLineEdit::Password);
    Demo_RBtn = named(new QRadioButton(QStringLiteral("The demo course"), this), "Demo_RBtn");
    Demo_L = named(new QLabel(QStringLiteral("Chapters, questions of every type and two saved "
                                             "papers. Log in as \"admin\" (password \"admin\") "
                                             "or \"%1\" (password \"%2\").")
                                  .arg(bank::demoLecturerName(), bank::demoLecturerPassword()),
                              this),
                   "Demo_L");
    Demo_L->setWordWrap(true);
    Status_L = named(new QLabel(this), "Status_L");
    Create_Btn = named(new QPushButton(QStringLiteral("Create"), this), "Create_Btn");
    Create_Btn->setDefault(true);
    Exit_Btn = named(new QPushButton(QStringLiteral("Cancel"), this), "Exit_Btn");

    auto* form = new QFormLayout;
    form->setContentsMargins(24, 0, 0, 0);
    form->addRow(QStringLiteral("Administrator's name"), Admin_Edit);
    form->addRow(QStringLiteral("Password"), Password_Edit);
    form->addRow(QStringLiteral("Password again"), Confirm_Edit);
    auto* demo = new QVBoxLayout;
    demo->setContentsMargins(24, 0, 0, 0);
    demo->addWidget(Demo_L);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Status_L, 1);
    buttons->addWidget(Create_Btn);
    buttons->addWidget(Exit_Btn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Intro_L);
    layout->addWidget(Folder_L);
    layout->addSpacing(8);
    layout->addWidget(New_RBtn);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(Demo_RBtn);
    layout->addLayout(demo);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    New_RBtn->setChecked(true);
    New_RBtnClick();
    connectHandler(New_RBtn, &QRadioButton::clicked, this, [this](bool) { New_RBtnClick(); });
    connectHandler(Demo_RBtn, &QRadioButton::clicked, this, [this](bool) { Demo_RBtnClick(); });
    connectHandler(Create_Btn, &QPushButton::clicked, this, [this](bool) { Create_BtnClick(); });
    connectHandler(Exit_Btn, &QPushButton::clicked, this, [this](bool) { Exit_BtnClick(); });
    resize(480, sizeHint().height());
}

void TFirstStart_F::New_RBtnClick() {
    for (QLineEdit* edit : {Admin_Edit, Password_Edit, Confirm_Edit})
        edit->setEnabled(true);
    Demo_L->setEnabled(false);
    Admin_Edit->setFocus();
}

void TFirstStart_F::Demo_RBtnClick() {
    for (QLineEdit* edit : {Admin_Edit, Password_Edit, Confirm_Edit})
        edit->setEnabled(false);
    Demo_L->setEnabled(true);
}

void TFirstStart_F::Create_BtnClick() {
    bank::MakeBankOptions options;
    options.dir = m_dataDir;
    options.officeProgram = m_officeProgram;
    if (Demo_RBtn->isChecked()) {
        options.demo = true;
    } else {
        // Kept as typed, as the login compares it.
        const QString name = Admin_Edit->text();
        if (name.trimmed().isEmpty()) {
            showMessage(QStringLiteral("Please enter the administrator's name."), kCaption,
                        MsgIcon::Warning);
            Admin_Edit->setFocus();
            return;
        }
        if (Password_Edit->text().isEmpty()) {
            showMessage(QStringLiteral("Please enter a password for the administrator."), kCaption,
                        MsgIcon::Warning);
            Password_Edit->setFocus();
            return;
        }
        if (Password_Edit->text() != Confirm_Edit->text()) {
            showMessage(QStringLiteral("The two passwords differ. Please type them again."),
                        kCaption, MsgIcon::Warning);
            Password_Edit->clear();
            Confirm_Edit->clear();
            Password_Edit->setFocus();
            return;
        }
        options.adminName = name;
        options.adminPassword = Password_Edit->text();
    }
    if (!QDir().mkpath(m_dataDir)) {
        showMessage(QStringLiteral("Could not make the folder \"%1\".")
                        .arg(QDir::toNativeSeparators(m_dataDir)),
                    kCaption, MsgIcon::Error);
        return;
    }

    // The demo's documents are written by the office, which takes a while;
    // the window stays as it is until the bank is in place.
    setEnabled(false);
    Status_L->setText(options.demo ? QStringLiteral("Writing the demo course...")
                                   : QStringLiteral("Writing the question bank..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    QString failure;
    try {
        bank::makeBank(options);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    Status_L->clear();
    if (!failure.isEmpty()) {
        showMessage(failure, kCaption, MsgIcon::Error);
        return;
    }
    accept();
}

void TFirstStart_F::Exit_BtnClick() {
    reject();
}

} // namespace tolvane
