#pragma once

#include "autogen/Drawing.h"
#include "autogen/GeneratedTest.h"
#include "db/Query.h"
#include "widgets/CheckTreeView.h"
#include "widgets/FlatButton.h"
#include "widgets/FlatSpinEdit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <array>
#include <memory>

namespace tolvane::autogen {

// The auto-generation page of the main window: the bank statistics, the
// request (counts per type and difficulty, marks, total mark, the sections
// ticked in the tree), and the buttons that draw and save a paper. The
// drawn paper lives in the main window's GeneratedTest, handed in here.
class TAutoGenPage : public QWidget {
    Q_OBJECT
public:
    // The columns of a setup row and of a statistics row.
    enum SetupColumn { EasyCount = 0, MediumCount = 1, HardCount = 2, Mark = 3 };
    enum InfoColumn { EasyTotal = 0, MediumTotal = 1, HardTotal = 2, AllTotal = 3 };

    // `generatedTestB` receives paper B when the lecturer asks for a pair.
    TAutoGenPage(GeneratedTestList& generatedTest, GeneratedTestList& generatedTestB,
                 QWidget* parent = nullptr);
    ~TAutoGenPage() override;

    widgets::TCheckTree* ZDZJ_CT;
    QGroupBox* Info_GB;  // "Question Bank Info:"
    QGroupBox* Setup_GB; // "Test Paper Setup:"
    // Per setup row (in the order of kSetupRows): the easy, medium, hard
    // and total statistics labels (XZTRY_L ... XZTG_L), and the easy,
    // medium and hard counts and the mark (XZTRY_FSE ... XZTZDFZ_FSE).
    std::array<std::array<QLabel*, 4>, 6> InfoLabels;
    std::array<std::array<widgets::TFlatSpinEditInteger*, 4>, 6> SetupEdits;
    widgets::TFlatSpinEditInteger* ZDZF_FSE;
    // Papers that do not repeat themselves: leave out the questions of the
    // last N papers saved, and draw a paper B beside paper A.
    widgets::TFlatSpinEditInteger* RecentPapers_FSE;
    QCheckBox* PaperB_CheckBox;
    widgets::TFlatSpinEditInteger* Overlap_FSE;
    widgets::TFlatButton* ZDSC_FBtn;
    widgets::TFlatButton* ZDYLSJ_FBtn;
    widgets::TFlatButton* ZDYLSJB_FBtn; // "Preview Paper B"
    widgets::TFlatButton* YLDA_FBtn;
    widgets::TFlatButton* ZDBCSJ_FBtn;

    // What opening the page does beyond the navigation: every node of the
    // tree ticked, the bank statistics counted, the drawn paper discarded.
    void openPage();
    void ZDSC_FBtnClick();
    void ZDBCSJ_FBtnClick();
    void XZTZDFZ_FSEMouseMove(QObject* sender);
    // Shows the bank statistics; with recent papers to leave out, each
    // count tells how many of its questions are fresh.
    void showStatistics();

    // The request as the spin edits hold it now, and what is asked beyond it.
    GenerationRequest request() const;
    DrawOptions drawOptions() const;
    // The texts of the ticked section nodes, top to bottom.
    QStringList checkedSections() const;

    // Where the draws come from; tests give a scripted source.
    void setRandomSource(std::unique_ptr<RandomSource> random);

    // The name parts of the setup rows' controls.
    static const std::array<const char*, 6> kRowNames;

private:
    db::Query& query(std::unique_ptr<db::Query>& slot);

    GeneratedTestList& m_generatedTest;
    GeneratedTestList& m_generatedTestB;
    BankStatistics m_counts{};
    std::unique_ptr<RandomSource> m_random;
    std::unique_ptr<db::Query> SJTXX_ADOQ; // statistics and ranges
    std::unique_ptr<db::Query> XT_ADOQ;    // the questions of a draw
    std::unique_ptr<db::Query> BCSJ_ADOQ;  // saving
};

} // namespace tolvane::autogen
