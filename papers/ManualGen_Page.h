#pragma once

#include "db/Query.h"
#include "widgets/CheckTreeView.h"
#include "widgets/DataGrid.h"
#include "widgets/FlatButton.h"
#include "widgets/FlatSpinEdit.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QMouseEvent;

namespace tolvane::papers {

// The manual-generation page of the main window: the lecturer browses the
// questions of a ticked chapter or section and of one type, adds them one
// by one to a paper, sets a mark per type and the total, and saves. The
// paper being assembled lives in the main window's three lists, handed in.
class TManualGenPage : public QWidget {
    Q_OBJECT
public:
    TManualGenPage(QStringList& chosenTypes, QStringList& chosenNumbers,
                   QStringList& chosenDifficulties, QWidget* parent = nullptr);
    ~TManualGenPage() override;

    QLabel* JS_L;
    widgets::TCheckTree* SDZJ_CT;
    QGroupBox* QuestionType_GB; // "Question Type:"
    // XZT_FRBtn, TKT_FRBtn, JDT_FRBtn, YLLST_FRBtn, XTSJT_FRBtn, XTCZT_FRBtn
    std::array<QRadioButton*, 6> TypeButtons;
    widgets::TDBGrid* ST_DBG;
    // When the selected question was last used, and in how many saved papers.
    QLabel* LastUsed_L;
    QGroupBox* TestSetup_GB; // "Test Setup:"
    // Per row, in the order of the type buttons: XZTSL_FSE ... (read-only)
    // and XZTFZ_FSE ...
    std::array<widgets::TFlatSpinEditInteger*, 6> CountEdits;
    std::array<widgets::TFlatSpinEditInteger*, 6> MarkEdits;
    widgets::TFlatSpinEditInteger* ZF_FSE;
    widgets::TFlatButton* JRSJ_FBtn;
    QFrame* BCSJ_P;
    widgets::TFlatButton* BCSJ_FBtn;

    // Run after a paper was saved: the main window opens the page anew.
    std::function<void()> onSaved;

    // What opening the page does beyond the navigation.
    void openPage();
    void XZT_FRBtnClick();
    void SDZJ_CTStateChange(QTreeWidgetItem* node, widgets::TCheckCheckState state);
    void SDZJ_CTMouseUp();
    void BrowseSelectedChapter();
    void JRSJ_FBtnClick();
    void BCSJ_FBtnClick();
    bool CheckManualMarks();

    // The type code a button carries (0 when the bank names no such type).
    int typeCodeOf(int button) const { return m_typeCodes[button]; }
    // The Test Setup row of a type code, or -1.
    int rowOfType(int typeId) const;

private:
    db::Query& query(std::unique_ptr<db::Query>& slot);
    void resetGrid();
    void sizeColumns();
    // Lists the selected node's questions if the node is ticked.
    void browseIfChecked();
    void BrowseSection(const QString& table, const QString& text);
    void BrowseChapter(const QString& table, const QString& text);
    int selectedButton() const;
    void showLastUse();

    QStringList& m_chosenTypes;
    QStringList& m_chosenNumbers;
    QStringList& m_chosenDifficulties;
    std::array<int, 6> m_typeCodes{};
    std::unique_ptr<db::Query> ST_ADOQ;
    std::unique_ptr<db::Query> BCSJ_ADOQ;
    std::unique_ptr<db::Query> m_useQuery;
};

} // namespace tolvane::papers
