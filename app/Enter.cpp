#include "app/Enter.h"

#include "app/Main_Form.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "core/Session.h"
#include "db/DataModule.h"
#include "widgets/TypedComboBox.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tolvane {

TEnter_Form* Enter_Form = nullptr;

TEnter_Form::TEnter_Form(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Enter_Form"));
    setWindowTitle(QStringLiteral("System Login"));
    // A window of its own on the task bar, of a fixed size.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    XM_CB = new QComboBox(this);
    XM_CB->setObjectName(QStringLiteral("XM_CB"));
    // The name stays as typed: the users are offered, never written in.
    widgets::makeTypedComboBox(XM_CB);
    XM_CB->setMinimumContentsLength(18);

    MM_E = new QLineEdit(this);
    MM_E->setObjectName(QStringLiteral("MM_E"));
    MM_E->setEchoMode(QLineEdit::Password);
    MM_E->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"
    MM_E->installEventFilter(this);

    Enter_Btn = new QPushButton(QStringLiteral("Login"), this);
    Enter_Btn->setObjectName(QStringLiteral("Enter_Btn"));
    Exit_Btn = new QPushButton(QStringLiteral("Cancel"), this);
    Exit_Btn->setObjectName(QStringLiteral("Exit_Btn"));
    // Enter in the password box logs in on its release; a default button
    // would log in a second time on the press.
    for (QPushButton* b : {Enter_Btn, Exit_Btn}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(90);
    }

    auto* title = new QLabel(QStringLiteral("Tolvane Test Paper Generation System"), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.25);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    form->addRow(QStringLiteral("User:"), XM_CB);
    form->addRow(QStringLiteral("Password:"), MM_E);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Enter_Btn);
    buttons->addWidget(Exit_Btn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(16);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(XM_CB, MM_E);
    setTabOrder(MM_E, Enter_Btn);
    setTabOrder(Enter_Btn, Exit_Btn);

    connectHandler(Enter_Btn, &QPushButton::clicked, this, [this] { Enter_BtnClick(); });
    connectHandler(Exit_Btn, &QPushButton::clicked, this, [this] { Exit_BtnClick(); });
}

TEnter_Form::~TEnter_Form() = default;

void TEnter_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        runHandler([this] { FormShow(); });
        XM_CB->setFocus(Qt::OtherFocusReason);
    }
}

bool TEnter_Form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == MM_E && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            runHandler([this, k = key->key()] { MM_EKeyUp(k); });
    }
    return QDialog::eventFilter(watched, event);
}

void TEnter_Form::FormShow() {
    XM_CB->clear();
    LoginQuery = std::make_unique<db::Query>(&db::bank());
    LoginQuery->setSql(QStringLiteral("Select UserName From YH"));
    LoginQuery->open();
    if (LoginQuery->recordCount() > 0) {
        for (LoginQuery->first(); !LoginQuery->eof(); LoginQuery->next())
            XM_CB->addItem(LoginQuery->fieldText(QStringLiteral("UserName")));
    }
    XM_CB->setCurrentIndex(-1);
    XM_CB->setEditText(QString());
}

void TEnter_Form::MM_EKeyUp(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Enter_Btn->setFocus(Qt::OtherFocusReason);
        Enter_BtnClick();
    }
}

void TEnter_Form::Enter_BtnClick() {
    const QString name = XM_CB->currentText();
    if (name.isEmpty()) {
        showMessage(QStringLiteral("Username Blank, Please Select or Type in Username!"),
                    QStringLiteral("Error"), MsgIcon::Error);
        return;
    }
    if (!LoginQuery)
        LoginQuery = std::make_unique<db::Query>(&db::bank());
    LoginQuery->close();
    LoginQuery->setSql(QStringLiteral("Select Password,QXID From YH Where UserName=(:Name)"));
    LoginQuery->bindText(QStringLiteral("Name"), name);
    LoginQuery->open();

    const QString stored = LoginQuery->isNull(QStringLiteral("Password"))
                               ? QString()
                               : LoginQuery->fieldText(QStringLiteral("Password"));
    // Exact: letter case and spaces count.
    if (stored.compare(MM_E->text(), Qt::CaseSensitive) != 0) {
        showMessage(QStringLiteral("Password incorrect, Please Re-enter!"),
                    QStringLiteral("Password Incorrect"), MsgIcon::Error);
        MM_E->clear();
        return;
    }
    // A name that is not a user finds no row: it never gets in, whatever the
    // password box holds.
    if (LoginQuery->eof()) {
        showMessage(QStringLiteral("User \"%1\" does not exist, Please Select or Type in Username!")
                        .arg(name),
                    QStringLiteral("Error"), MsgIcon::Error);
        MM_E->clear();
        return;
    }
    const int permission = static_cast<int>(LoginQuery->fieldInt(QStringLiteral("QXID")));
    CurrentUserName = name;
    CurrentPermission = permission;

    hide();
    LoginQuery->close();
    LoginQuery.reset();

    auto* mainForm = new TMain_F(nullptr);
    try {
        mainForm->exec();
    } catch (...) {
        delete mainForm;
        QApplication::quit();
        throw;
    }
    delete mainForm;
    QApplication::quit();
}

void TEnter_Form::Exit_BtnClick() {
    close();
}

} // namespace tolvane
