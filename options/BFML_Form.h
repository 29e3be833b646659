#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tolvane::options {

// Picks the backup folder: a drive list (the mounted volumes) bound to a
// folder list. "OK" puts the folder into the path edit it was given and keeps
// it in set.ini as the backup folder; "Cancel" changes nothing.
class TBFML_F : public QDialog {
    Q_OBJECT
public:
    TBFML_F(QLineEdit* pathEdit, QWidget* parent = nullptr);
    ~TBFML_F() override;

    QComboBox* DriveComboBox1;
    QListWidget* Dir_LB;
    QLabel* Dir_L; // the current folder in full
    QPushButton* OK_Btn;
    QPushButton* Exit_Btn;

    // The folder the list is in.
    QString currentFolder() const { return m_folder; }
    // Opens a folder: it becomes the list's current folder and the drive list
    // shows its volume.
    void openFolder(const QString& folder);

    // Handlers.
    void Dir_LBClick(QListWidgetItem* item);
    void DriveComboBox1Change();
    void OK_BtnClick();
    void Exit_BtnClick();
    void FormClose();
    void FormDestroy();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fillDrives();
    void fillFolders();

    QLineEdit* m_pathEdit;
    QString m_folder;
    bool m_filling = false;
};

} // namespace tolvane::options
