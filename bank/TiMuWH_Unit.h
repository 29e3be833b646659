#pragma once

#include "bank/Maintenance.h"

#include <QDialog>
#include <QMap>
#include <QString>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace tolvane::db {
class Query;
}
namespace tolvane::widgets {
class TDBGrid;
}

namespace tolvane::bank {

// Question bank maintenance: browse the questions of each type, load one
// into the editors, change, search and delete them; keep the chapters; open
// the documents that questions quote. New questions are entered elsewhere.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Handlers.
    void FormShow();
    void PageControl1Change();

    void XZ_DBGridMouseUp();
    void TK_DBGridMouseUp();
    void JD_DBGridMouseUp();
    void YLLS_DBGridMouseUp();
    void XTSJ_DBGridMouseUp();
    void XTCZ_DBGridMouseUp();
    void ZJ_DBGridMouseUp();

    void XZgx_BitBtnClick();
    void TKgx_BitBtnClick();
    void JDgx_BitBtnClick();
    void YLLSgx_BitBtnClick();
    void XTSJgx_BitBtnClick();
    void XTCZgx_BitBtnClick();

    void XZcxun_BitBtnClick();
    void TKcxun_BitBtnClick();
    void JDcxun_BitBtnClick();
    void YLLScxun_BitBtnClick();
    void XYSJcxun_BitBtnClick();
    void XTCZcxun_BitBtnClick();

    void XZsc_BitBtnClick();
    void TKsc_BitBtnClick();
    void JDsc_BitBtnClick();
    void YLLSsc_BitBtnClick();
    void XTSJsc_BitBtnClick();
    void XTCZsc_BitBtnClick();

    void XZgb_BitBtnClick();
    void TKgb_BitBtnClick();
    void JDgb_BitBtnClick();
    void YLLSgb_BitBtnClick();
    void XTSJgb_BitBtnClick();
    void XTCZgb_BitBtnClick();

    void ZJTJ_BitBtnClick();
    void ZJSC_BitBtnClick();
    void ZJXG_BitBtnClick();
    void ZJCX_BitBtnClick();
    void BitBtn2Click();

    void DKTM_BitBtn1Click();
    void DKDA_BitBtn1Click();
    void BitBtn7Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn8Click();
    void BitBtn9Click();
    void BitBtn10Click();

    // Question exchange: each opens its dialog; an import refreshes the page
    // in view and the chapter lists.
    void Import_BitBtnClick();
    void Export_BitBtnClick();

    QLabel* Label1;
    QPushButton *Import_BitBtn, *Export_BitBtn;
    // When the question in the editors was last used, and how often.
    QLabel* LastUsed_L;
    QTabWidget* PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4, *TabSheet5, *TabSheet6, *TabSheet7;
    widgets::TDBGrid *XZ_DBGrid, *TK_DBGrid, *JD_DBGrid, *YLLS_DBGrid, *XTSJ_DBGrid, *XTCZ_DBGrid,
        *ZJ_DBGrid;

    // Every page's buttons and update mode pair.
    QPushButton *XZgx_BitBtn, *XZtj_BitBtn, *XZcx_BitBtn, *XZcxun_BitBtn, *XZsc_BitBtn,
        *XZgb_BitBtn;
    QPushButton *TKgx_BitBtn, *TKtj_BitBtn, *TKcx_BitBtn, *TKcxun_BitBtn, *TKsc_BitBtn,
        *TKgb_BitBtn;
    QPushButton *JDgx_BitBtn, *JDtj_BitBtn, *JDcx_BitBtn, *JDcxun_BitBtn, *JDsc_BitBtn,
        *JDgb_BitBtn;
    QPushButton *YLLSgx_BitBtn, *YLLStj_BitBtn, *YLLScx_BitBtn, *YLLScxun_BitBtn, *YLLSsc_BitBtn,
        *YLLSgb_BitBtn;
    QPushButton *XTSJgx_BitBtn, *XTSJtj_BitBtn, *XTSJcx_BitBtn, *XYSJcxun_BitBtn, *XTSJsc_BitBtn,
        *XTSJgb_BitBtn;
    QPushButton *XTCZgx_BitBtn, *XTCZtj_BitBtn, *XTCZcx_BitBtn, *XTCZcxun_BitBtn, *XTCZsc_BitBtn,
        *XTCZgb_BitBtn;
    QRadioButton *XZ_RadioButton1, *XZ_RadioButton2, *TK_RadioButton1, *TK_RadioButton2,
        *JD_RadioButton1, *JD_RadioButton2, *YLLS_RadioButton1, *YLLS_RadioButton2,
        *XTSJ_RadioButton1, *XTSJ_RadioButton2, *XTCZ_RadioButton1, *XTCZ_RadioButton2;

    // Editors every question page has.
    QLineEdit *TH_Edit1, *TH_Edit2, *TH_Edit3, *TH_Edit4, *TH_Edit5, *TH_Edit6;
    QComboBox *TX_ComboBox1, *TX_ComboBox2, *TX_ComboBox3, *TX_ComboBox4, *TX_ComboBox5,
        *TX_ComboBox6;
    QComboBox *NY_ComboBox1, *NY_ComboBox2, *NY_ComboBox3, *NY_ComboBox4, *NY_ComboBox5,
        *NY_ComboBox6;
    QComboBox *ZJ_ComboBox1, *ZJ_ComboBox2, *ZJ_ComboBox3, *ZJ_ComboBox4, *ZJ_ComboBox5,
        *ZJ_ComboBox6;

    // "Multi-Choice"
    QPlainTextEdit* TM_memo5;
    QComboBox* DA_ComboBox;
    QLineEdit *XXA_Edit, *XXB_Edit, *XXC_Edit, *XXD_Edit;
    // "Fill-in-Blank"
    QLineEdit* TM_Edit2;
    QComboBox* K_ComboBox;
    QLineEdit *K_Edit1, *K_Edit2, *K_Edit3, *K_Edit4, *K_Edit5;
    // "Type 3", "Type 4", "Type 5"
    QPlainTextEdit *TM_Memo1, *TM_Memo2, *TM_Memo3;
    QPlainTextEdit *DA_Memo1, *DA_Memo2, *DA_Memo3;
    QLineEdit *TMWJ_Edit, *DAWJ_Edit;
    QPushButton *DKTM_BitBtn1, *DKDA_BitBtn1;
    // "Type 6"
    QPlainTextEdit* TM_Memo4;
    QComboBox* WTS_ComboBox;
    QLineEdit* TMWJ1_Edit;
    QLineEdit *W1DA_Edit, *W2DA_Edit, *W3DA_Edit, *W4DA_Edit, *W5DA_Edit;
    QLineEdit *DAWJ1_Edit, *DAWJ2_Edit, *DAWJ3_Edit, *DAWJ4_Edit, *DAWJ5_Edit;
    QPushButton *BitBtn7, *BitBtn5, *BitBtn6, *BitBtn8, *BitBtn9, *BitBtn10;

    // "Chapter Maintenance"
    QLineEdit *XH_Edit, *ZJXH_Edit, *ZJM_Edit;
    QPushButton *ZJTJ_BitBtn, *ZJSC_BitBtn, *ZJXG_BitBtn, *ZJCX_BitBtn, *BitBtn2;

    // The rows of the page in view, which every grid shows; and lookups.
    db::Query* ADOQuery1;
    db::Query* ADOQuery2;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The controls of one question page that the handlers work through.
    struct QuestionPageControls {
        widgets::TDBGrid* grid = nullptr;
        QComboBox* chapter = nullptr;
        QMap<QString, QWidget*> editors; // column -> editor
    };

    void buildQuestionPages();
    void buildChapterPage();
    void connectHandlers();
    int pageIndex() const;
    widgets::TDBGrid* gridOf(int page) const;
    // Sets the titles and widths of the page in view; a reopened result
    // would otherwise show its column names.
    void applyColumns();
    // Loads the current row into the page's editors, so that they always
    // show the row an Update or Modify will write.
    void loadCurrentRow();
    void updateClick(int page);
    void searchClick(int page);
    void deleteClick();
    void openDocument(const QLineEdit* nameEdit);

    std::array<QuestionPageControls, kQuestionPages> m_pages;
    bool m_shown = false;
};

} // namespace tolvane::bank
