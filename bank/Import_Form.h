#pragma once

#include "exchange/BankExchange.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tolvane::bank {

// Imports a Moodle XML or GIFT file into the bank: the file is read once
// chosen, and what would be imported is shown per chapter and type with
// every question that would be left out and why, before anything is written.
class TImport_Form : public QDialog {
    Q_OBJECT
public:
    explicit TImport_Form(QWidget* parent = nullptr);

    // Handlers.
    void Browse_BtnClick();
    void OptionsChange();
    void Import_BtnClick();

    // Reads the file and shows what an import would do; a file that cannot
    // be read is reported and nothing is shown.
    void loadFile(const QString& path);

    QLineEdit* File_Edit;
    QPushButton* Browse_Btn;
    QComboBox* NY_ComboBox;    // difficulty of questions without one
    QComboBox* ZJ_ComboBox;    // chapter of questions without one
    QComboBox* Essay_ComboBox; // where essays without documents go
    QTreeWidget* Preview_Tree;
    QTreeWidget* LeftOut_Tree;
    QLabel* Summary_Label;
    QPushButton* Import_Btn;
    QPushButton* Close_Btn;

    // What the last import wrote (empty until one ran).
    const exchange::ImportReport& report() const { return m_report; }
    bool importDone() const { return m_done; }

private:
    exchange::ImportOptions options() const;
    void showPreview(const exchange::ImportReport& preview);
    void clearPreview();

    QList<exchange::ExchangedQuestion> m_questions;
    exchange::Format m_format = exchange::Format::MoodleXml;
    bool m_loaded = false;
    bool m_done = false;
    exchange::ImportReport m_report;
};

} // namespace tolvane::bank
