#include "options/BFML_Form.h"

#include "core/AppPaths.h"
#include "core/Handler.h"
#include "options/BackupSettings.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>

namespace tolvane::options {

namespace {
// The item's role that holds the folder it stands for.
constexpr int kFolderRole = Qt::UserRole;
} // namespace

TBFML_F::TBFML_F(QLineEdit* pathEdit, QWidget* parent) : QDialog(parent), m_pathEdit(pathEdit) {
    setObjectName(QStringLiteral("BFML_F"));
    setWindowTitle(QStringLiteral("Select Backup Directory"));

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    Dir_LB = new QListWidget(this);
    Dir_LB->setObjectName(QStringLiteral("Dir_LB"));
    Dir_L = new QLabel(this);
    Dir_L->setObjectName(QStringLiteral("Dir_L"));
    Dir_L->setWordWrap(true);
    Dir_L->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OK_Btn = new QPushButton(QStringLiteral("OK"), this);
    OK_Btn->setObjectName(QStringLiteral("OK_Btn"));
    Exit_Btn = new QPushButton(QStringLiteral("Cancel"), this);
    Exit_Btn->setObjectName(QStringLiteral("Exit_Btn"));
    for (QPushButton* b : {OK_Btn, Exit_Btn}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
    }

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(QStringLiteral("Drive:"), DriveComboBox1);
    form->addRow(QStringLiteral("Folder:"), Dir_L);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OK_Btn);
    buttons->addWidget(Exit_Btn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Dir_LB, 1);
    layout->addLayout(buttons);
    resize(460, 420);

    fillDrives();
    openFolder(QDir::currentPath());

    connectHandler(Dir_LB, &QListWidget::itemClicked, this,
                   [this](QListWidgetItem* item) { Dir_LBClick(item); });
    connectHandler(DriveComboBox1, &QComboBox::activated, this, [this] { DriveComboBox1Change(); });
    connectHandler(OK_Btn, &QPushButton::clicked, this, [this] { OK_BtnClick(); });
    connectHandler(Exit_Btn, &QPushButton::clicked, this, [this] { Exit_BtnClick(); });
}

TBFML_F::~TBFML_F() {
    FormDestroy();
}

void TBFML_F::fillDrives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots << volume.rootPath();
    roots.removeDuplicates();
    roots.sort();
    DriveComboBox1->clear();
    for (const QString& root : roots)
        DriveComboBox1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon),
                                QDir::toNativeSeparators(root), root);
}

void TBFML_F::openFolder(const QString& folder) {
    m_folder = QDir::cleanPath(QDir(folder).absolutePath());
    // The drive list shows the volume the folder is on.
    const QString root = QStorageInfo(m_folder).rootPath();
    int index = DriveComboBox1->findData(root);
    if (index < 0 && !root.isEmpty()) {
        DriveComboBox1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon),
                                QDir::toNativeSeparators(root), root);
        index = DriveComboBox1->count() - 1;
    }
    DriveComboBox1->setCurrentIndex(index);
    fillFolders();
}

// The way down from the volume's root to the current folder, then the folders
// in it, one level deeper.
void TBFML_F::fillFolders() {
    Dir_LB->clear();
    Dir_L->setText(QDir::toNativeSeparators(m_folder));
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QStringList chain;
    for (QDir d(m_folder);;) {
        chain.prepend(d.absolutePath());
        const QString root = DriveComboBox1->currentData().toString();
        if (d.isRoot() || QDir::cleanPath(d.absolutePath()) == QDir::cleanPath(root) || !d.cdUp())
            break;
    }
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& path : chain) {
        const QString name =
            QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 3, ' ') + name, Dir_LB);
        item->setData(kFolderRole, path);
        current = item;
        ++depth;
    }
    QStringList children =
        QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(closed, QString(depth * 3, ' ') + child, Dir_LB);
        item->setData(kFolderRole, QDir(m_folder).absoluteFilePath(child));
    }
    if (current)
        Dir_LB->setCurrentItem(current);
}

void TBFML_F::Dir_LBClick(QListWidgetItem* item) {
    if (!item)
        return;
    openFolder(item->data(kFolderRole).toString());
}

void TBFML_F::DriveComboBox1Change() {
    const QString root = DriveComboBox1->currentData().toString();
    if (!root.isEmpty())
        openFolder(root);
}

void TBFML_F::OK_BtnClick() {
    const QString folder = QDir::toNativeSeparators(m_folder);
    // Kept first: the path field never shows a folder that was not kept.
    IniFile ini(backupini::filePath(AppPaths::dataDir()));
    ini.write(backupini::kSection, backupini::kBackupPath, folder);
    if (m_pathEdit)
        m_pathEdit->setText(folder);
    accept();
}

void TBFML_F::Exit_BtnClick() {
    reject();
}

void TBFML_F::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    FormClose();
}

void TBFML_F::FormClose() {
    // The window that opened it destroys it once its modal showing returns.
}

void TBFML_F::FormDestroy() {}

} // namespace tolvane::options
