#pragma once

#include "bank/QuestionEntry.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tolvane::db {
class Query;
}

namespace tolvane::bank {

// The question entry window: adds new questions of the six types, one at a
// time. It only inserts; nothing in it outlives its closing but the rows it
// wrote.
class TTIMuLuRu : public QDialog {
    Q_OBJECT
public:
    explicit TTIMuLuRu(QWidget* parent = nullptr);
    ~TTIMuLuRu() override;

    // Handlers.
    void FormShow();
    void LR_Button1Click();
    void LR_Button2Click();
    void LR_Button3Click();
    void LR_Button4Click();
    void LR_Button5Click();
    void LR_Button6Click();
    void Button1Click();

    QLabel* Label1;
    QTabWidget* PageControl1;
    QPushButton* Button1;

    // Controls every page has: the question number box (written, never read),
    // the difficulty and chapter boxes and "Add".
    QLineEdit *TH_Edit1, *TH_Edit2, *TH_Edit3, *TH_Edit4, *TH_Edit5, *TH_Edit6;
    QComboBox *NY_ComboBox1, *NY_ComboBox2, *NY_ComboBox3, *NY_ComboBox4, *NY_ComboBox5,
        *NY_ComboBox6;
    QComboBox *ZJ_ComboBox1, *ZJ_ComboBox2, *ZJ_ComboBox3, *ZJ_ComboBox4, *ZJ_ComboBox5,
        *ZJ_ComboBox6;
    QPushButton *LR_Button1, *LR_Button2, *LR_Button3, *LR_Button4, *LR_Button5, *LR_Button6;

    // "Multi-Choice"
    QPlainTextEdit* TM_memo5;
    QLineEdit *DAA_Edit, *DAB_Edit, *DAC_Edit, *DAD_Edit;
    QComboBox* DA_ComboBox1;

    // "Fill-in-Blank"
    QLineEdit* TM_Edit2;
    QComboBox* Kong_ComboBox;
    QLineEdit *Kong_Edit1, *Kong_Edit2, *Kong_Edit3, *Kong_Edit4, *Kong_Edit5;

    // "Type 3", "Type 4", "Type 5"
    QPlainTextEdit *TM_Memo1, *TM_Memo2, *TM_Memo3;
    QPlainTextEdit *DA_Memo1, *DA_Memo2, *DA_Memo3;
    QLineEdit *TMYY_Edit1, *DAYY_Edit1;

    // "Type 6"
    QPlainTextEdit* TM_Memo4;
    QComboBox* WTS_ComboBox;
    QLineEdit *DA1_Edit, *DA2_Edit, *DA3_Edit, *DA4_Edit, *DA5_Edit;
    QLineEdit *DAYY1_Edit, *DAYY2_Edit, *DAYY3_Edit, *DAYY4_Edit, *DAYY5_Edit;
    QLineEdit* TMYY_Edit2;

    // Type lookup, insert and count; duplicate scan and difficulty lookup.
    db::Query* ADOQuery1;
    db::Query* ADOQuery2;

    // A memo's text as typed: line breaks as "\n", every other character kept
    // (the widget's own plain text would turn non-breaking spaces into spaces).
    static QString memoText(const QPlainTextEdit* memo);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct EntryPage;
    // The statements of a page, as they are issued.
    struct Statements {
        const char* scan;
        const char* type;
        const char* typeName;
        const char* insert;
        const char* count;
    };
    void buildPages();
    // The one "Add": tests a page's input as its table says and inserts one
    // question. Every LR_ButtonNClick hands it the table of its page.
    void addQuestion(const EntryPage& page);
    // The table of a page with a question and an answer memo ("Type 3" to
    // "Type 5").
    static EntryPage answerPage(QPlainTextEdit* question, QPlainTextEdit* answer,
                                QComboBox* difficulty, QComboBox* chapter, QLineEdit* numberBox,
                                const Statements& statements);
    // Shows the message of every quoted document that is missing; true when
    // any was.
    bool reportMissingDocuments(const QList<QuotedDocument>& documents);
    bool isDuplicate(const char* scanSql, const QString& question);
    qint64 lookupType(const char* sql, const char* typeName);
    qint64 lookupDifficulty(const char* sql, const QString& difficulty);
    void showCount(const char* sql, QLineEdit* numberBox);

    bool m_listsFilled = false;
};

} // namespace tolvane::bank
