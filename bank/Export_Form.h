#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tolvane::widgets {
class TCheckTree;
}

namespace tolvane::bank {

// Exports the questions of the ticked chapters to a Moodle XML or GIFT file,
// with the quoted documents embedded or only named.
class TExport_Form : public QDialog {
    Q_OBJECT
public:
    explicit TExport_Form(QWidget* parent = nullptr);

    // Handlers.
    void Browse_BtnClick();
    void FormatChange();
    void Export_BtnClick();

    widgets::TCheckTree* ZJ_CT;
    QRadioButton* Moodle_RadioButton;
    QRadioButton* Gift_RadioButton;
    QCheckBox* Embed_CheckBox;
    QLineEdit* File_Edit;
    QPushButton* Browse_Btn;
    QPushButton* Export_Btn;
    QPushButton* Close_Btn;

private:
    // The CZ texts of the ticked nodes; empty when every node is ticked (then
    // questions outside the tree go too).
    QStringList chosenChapters(bool* none) const;
};

} // namespace tolvane::bank
