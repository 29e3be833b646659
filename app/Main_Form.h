#pragma once

#include "autogen/AutoGen_Page.h"
#include "autogen/GeneratedTest.h"
#include "db/Query.h"
#include "docs/PaperDocuments.h"
#include "docs/WordApi.h"
#include "papers/AvailablePapers_Page.h"
#include "papers/ManualGen_Page.h"
#include "widgets/CheckTreeView.h"
#include "widgets/FlatButton.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QList>
#include <QStringList>
#include <QTabWidget>

#include <functional>
#include <memory>

namespace tolvane {

// The window the lecturer works in after logging in: navigation on the left,
// three pages on the right.
class TMain_F : public QDialog {
    Q_OBJECT
public:
    explicit TMain_F(QWidget* parent = nullptr);
    ~TMain_F() override;

    // Navigation.
    widgets::TFlatButton* XYSJ_FBtn;
    widgets::TFlatButton* ZDSJ_FBtn;
    widgets::TFlatButton* SDSJ_FBtn;
    widgets::TFlatButton* TKLR_FBtn;
    widgets::TFlatButton* TKWH_FBtn;
    QFrame* XXSZ_P;
    widgets::TFlatButton* XXSZ_FBtn;
    widgets::TFlatButton* Help_FBtn;
    widgets::TFlatButton* About_FBtn;
    widgets::TFlatButton* FlatButton2;
    QLabel* Label1;

    // Pages.
    QTabWidget* SJ_PC;
    QWidget* XYSJ_TS;
    papers::TAvailablePapersPage* AvailablePage; // the page XYSJ_TS
    QWidget* ZDSJ_TS;
    autogen::TAutoGenPage* AutoGenPage; // the page ZDSJ_TS
    QWidget* SDSJ_TS;
    papers::TManualGenPage* ManualGenPage; // the page SDSJ_TS
    QLabel* JS_L;
    widgets::TCheckTree* SDZJ_CT;
    widgets::TCheckTree* ZDZJ_CT;

    // Values the pages share while the window lives. The paper assembled by
    // hand: per question its type code, its number and its difficulty name.
    std::unique_ptr<QStringList> ChosenTypes = std::make_unique<QStringList>();
    std::unique_ptr<QStringList> ChosenNumbers = std::make_unique<QStringList>();
    std::unique_ptr<QStringList> ChosenDifficulties = std::make_unique<QStringList>();
    std::unique_ptr<docs::AnswerLines> AnswerList;
    GeneratedTestList GeneratedTest;
    // Paper B of the last generation, when the lecturer asked for a pair.
    GeneratedTestList GeneratedTestB;
    // The SJDH of the paper selected on the saved-papers page; empty until
    // one has been selected.
    QString CurrentTestID;

    // The chapter table the trees are built from.
    std::unique_ptr<db::Query> ZJ_ADOT;
    // The rows of a saved paper and one question row, read by the previews.
    std::unique_ptr<db::Query> SJTXX_ADOQ;
    std::unique_ptr<db::Query> XT_ADOQ;

    // Where each rendering gets the word processor it writes into:
    // LibreOffice, unless a test hands in another. Every rendering has an
    // application object of its own, so one started by a click during
    // another's closing pause cannot take that one's document from it.
    using WordFactory = std::function<std::unique_ptr<docs::WordApplication>()>;
    void setWordApplicationFactory(WordFactory factory);

    // The six navigation buttons, in their column order.
    QList<widgets::TFlatButton*> navigationButtons() const;

    void FormShow();
    void FormDestroy();
    void XYSJ_FBtnClick();
    void ZDSJ_FBtnClick();
    void SDSJ_FBtnClick();
    void TKLR_FBtnClick();
    void TKWH_FBtnClick();
    void XXSZ_FBtnClick();
    void Help_FBtnClick();
    void About_FBtnClick();
    void FlatButton2Click();
    // "Preview Test" of the saved-papers page and of the auto-generation
    // page, and "Save Answers" and "Answers", which share one handler.
    void YLSJ_FBtnClick();
    void ZDYLSJ_FBtnClick();
    // "Preview Paper B" of the auto-generation page.
    void ZDYLSJB_FBtnClick();
    void BCDA_FBtnClick();
    void XYSJ_FBtnMouseEnter(QObject* sender);
    void XYSJ_FBtnMouseLeave(QObject* sender);

    // The colours of the navigation.
    static QColor moneyGreen();
    static QColor maroon();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Frames every navigation button: `used` blue, the others raised.
    void setNavigationFrames(widgets::TFlatButton* used);
    void buildChapterTrees();
    widgets::TFlatButton* makeNavButton(const QString& name, const QString& caption);
    db::Query& query(std::unique_ptr<db::Query>& slot);
    // Previews a test with `render(word, progress, answers, paperLabel)`,
    // whose answers then stand for the answer document.
    template <typename Render> void previewTest(bool paperB, Render render);
    WordFactory m_newWord;
    // Whether AnswerList holds the answers of a paper B, whose answer
    // document is captioned as such.
    bool m_answersOfPaperB = false;
    bool m_shown = false;
};

} // namespace tolvane
