#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tolvane {

// The first start of an installed program that finds no question bank in
// the user's data folder: instead of ending with the missing-bank message, it
// offers to make a new, empty bank with an administrator, or the demo course.
// Accepted once the bank is in place; the login then opens it.
class TFirstStart_F : public QDialog {
    Q_OBJECT
public:
    // `dataDir`: the folder the bank goes into (DB/TiKu.mdb, Doc/).
    explicit TFirstStart_F(const QString& dataDir, QWidget* parent = nullptr);

    QLabel* Intro_L;
    QLabel* Folder_L;
    QRadioButton* New_RBtn;
    QLineEdit* Admin_Edit;
    QLineEdit* Password_Edit;
    QLineEdit* Confirm_Edit;
    QRadioButton* Demo_RBtn;
    QLabel* Demo_L;
    QLabel* Status_L;
    QPushButton* Create_Btn;
    QPushButton* Exit_Btn;

    void New_RBtnClick();
    void Demo_RBtnClick();
    void Create_BtnClick();
    void Exit_BtnClick();

    // The office program that writes the demo documents (a test seam).
    void setOfficeProgram(const QString& program) { m_officeProgram = program; }

private:
    QString m_dataDir;
    QString m_officeProgram = QStringLiteral("soffice");
};

} // namespace tolvane
