#pragma once

#include "db/Query.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace tolvane {

// The login window: the first window the user sees and the application's
// main window, so closing it ends the program.
class TEnter_Form : public QDialog {
    Q_OBJECT
public:
    explicit TEnter_Form(QWidget* parent = nullptr);
    ~TEnter_Form() override;

    QComboBox* XM_CB;
    QLineEdit* MM_E;
    QPushButton* Enter_Btn;
    QPushButton* Exit_Btn;

    void FormShow();
    void Enter_BtnClick();
    void MM_EKeyUp(int key);
    void Exit_BtnClick();

    db::Query* loginQuery() const { return LoginQuery.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<db::Query> LoginQuery;
    bool m_shown = false;
};

extern TEnter_Form* Enter_Form;

} // namespace tolvane
