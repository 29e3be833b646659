#pragma once

#include "db/Query.h"
#include "widgets/DataGrid.h"
#include "widgets/FlatButton.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <memory>

namespace tolvane::papers {

// The saved-papers page of the main window: the papers stored in SJ, the
// questions of the selected one from SJT, and the deletion of a paper. The
// selected paper is the main window's CurrentTestID, handed in here; its
// preview and answers buttons are the main window's to handle.
class TAvailablePapersPage : public QWidget {
    Q_OBJECT
public:
    explicit TAvailablePapersPage(QString& currentTestId, QWidget* parent = nullptr);
    ~TAvailablePapersPage() override;

    widgets::TDBGrid* SJ_DBG;  // the papers
    QLabel* SJT_L;             // "Questions in Test"
    widgets::TDBGrid* SJT_DBG; // the questions of the selected paper
    widgets::TFlatButton* YLSJ_FBtn;
    widgets::TFlatButton* SCSJ_FBtn;
    widgets::TFlatButton* BCDA_FBtn;
    widgets::TFlatButton* Compare_FBtn; // "Compare": what two selected papers share

    // The result sets of the two grids (created with the first listing).
    db::Query* SJ_ADOQ() const { return m_papers.get(); }
    db::Query* SJT_ADOQ() const { return m_questions.get(); }

    // What opening the page does beyond the navigation: lists the papers,
    // selects the first one and lists its questions.
    void listPapers();
    void SJ_DBGMouseUp();
    void SCSJ_FBtnClick();
    void Compare_FBtnClick();

    // Whether the question list has been opened (a paper has been selected
    // once), and its number of rows.
    bool hasQuestionList() const { return m_questions && m_questions->isOpen(); }
    int listedQuestionCount() const;

signals:
    // A paper was deleted: the main window opens the page again.
    void paperDeleted();

private:
    void ensureQueries();
    void listQuestions();

    QString& m_currentTestId;
    std::unique_ptr<db::Query> m_papers;    // SJ_ADOQ
    std::unique_ptr<db::Query> m_questions; // SJT_ADOQ
};

} // namespace tolvane::papers
