#include "papers/ManualGen_Page.h"

#include "core/Handler.h"
#include "core/Messages.h"
#include "core/Session.h"
#include "db/DataModule.h"
#include "papers/ManualPaper.h"
#include "papers/PaperSave.h"
#include "papers/UsageHistory.h"
#include "widgets/PageParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace tolvane::papers {

using widgets::boldLabel;
using widgets::pageButton;
using widgets::pageSpinEdit;
using widgets::TFlatButton;
using widgets::TFlatSpinEditInteger;

TManualGenPage::TManualGenPage(QStringList& chosenTypes, QStringList& chosenNumbers,
                               QStringList& chosenDifficulties, QWidget* parent)
    : QWidget(parent), m_chosenTypes(chosenTypes), m_chosenNumbers(chosenNumbers),
      m_chosenDifficulties(chosenDifficulties) {
    setObjectName(QStringLiteral("SDSJ_TS"));

    JS_L = new QLabel(this);
    JS_L->setObjectName(QStringLiteral("JS_L"));
    SDZJ_CT = new widgets::TCheckTree(this);
    SDZJ_CT->setObjectName(QStringLiteral("SDZJ_CT"));
    SDZJ_CT->setMinimumWidth(200);

    QuestionType_GB = new QGroupBox(QStringLiteral("Question Type:"), this);
    QuestionType_GB->setObjectName(QStringLiteral("QuestionType_GB"));
    auto* typeRow = new QHBoxLayout(QuestionType_GB);
    for (int i = 0; i < 6; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(kManualTypes[i].caption), QuestionType_GB);
        b->setObjectName(QString::fromLatin1(kManualTypes[i].namePart) + QStringLiteral("_FRBtn"));
        TypeButtons[i] = b;
        typeRow->addWidget(b);
    }
    typeRow->addStretch();
    TypeButtons[0]->setChecked(true);

    ST_DBG = new widgets::TDBGrid(this);
    ST_DBG->setObjectName(QStringLiteral("ST_DBG"));
    LastUsed_L = new QLabel(this);
    LastUsed_L->setObjectName(QStringLiteral("LastUsed_L"));

    TestSetup_GB = new QGroupBox(QStringLiteral("Test Setup:"), this);
    TestSetup_GB->setObjectName(QStringLiteral("TestSetup_GB"));
    auto* setup = new QGridLayout(TestSetup_GB);
    setup->setHorizontalSpacing(10);
    setup->setVerticalSpacing(4);
    // Two blocks of three rows side by side keep the page short.
    for (int block = 0; block < 2; ++block) {
        const int col = block * 4;
        setup->addWidget(boldLabel(QStringLiteral("Number"), TestSetup_GB), 0, col + 1);
        setup->addWidget(boldLabel(QStringLiteral("Mark"), TestSetup_GB), 0, col + 2);
    }
    for (int r = 0; r < 6; ++r) {
        const QString part = QString::fromLatin1(kManualTypes[r].namePart);
        CountEdits[r] = pageSpinEdit(part + QStringLiteral("SL_FSE"), 0, TestSetup_GB);
        CountEdits[r]->setReadOnly(true);
        MarkEdits[r] = pageSpinEdit(part + QStringLiteral("FZ_FSE"), 0, TestSetup_GB);
        const int row = r % 3 + 1;
        const int col = (r / 3) * 4;
        setup->addWidget(new QLabel(QString::fromLatin1(kManualTypes[r].rowLabel), TestSetup_GB),
                         row, col);
        setup->addWidget(CountEdits[r], row, col + 1);
        setup->addWidget(MarkEdits[r], row, col + 2);
    }
    setup->setColumnMinimumWidth(3, 16);
    ZF_FSE = pageSpinEdit(QStringLiteral("ZF_FSE"), 100, TestSetup_GB);
    setup->addWidget(boldLabel(QStringLiteral("Total:"), TestSetup_GB), 4, 0);
    setup->addWidget(ZF_FSE, 4, 1);
    setup->setColumnStretch(7, 1);

    JRSJ_FBtn = pageButton("JRSJ_FBtn", "Add to Test", this);
    BCSJ_P = new QFrame(this);
    BCSJ_P->setObjectName(QStringLiteral("BCSJ_P"));
    auto* saveLayout = new QHBoxLayout(BCSJ_P);
    saveLayout->setContentsMargins(0, 0, 0, 0);
    BCSJ_FBtn = pageButton("BCSJ_FBtn", "Save Test", BCSJ_P);
    saveLayout->addWidget(BCSJ_FBtn);
    BCSJ_P->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(JRSJ_FBtn);
    buttons->addWidget(BCSJ_P);
    buttons->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(QuestionType_GB);
    right->addWidget(ST_DBG, 1);
    right->addWidget(LastUsed_L);
    right->addWidget(TestSetup_GB);
    right->addLayout(buttons);
    auto* body = new QHBoxLayout;
    body->addWidget(SDZJ_CT, 1);
    body->addLayout(right, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(JS_L);
    layout->addLayout(body, 1);

    for (QRadioButton* b : TypeButtons)
        connectHandler(b, &QRadioButton::clicked, this, [this] { XZT_FRBtnClick(); });
    connectHandler(SDZJ_CT, &widgets::TCheckTree::OnStateChange, this,
                   [this](widgets::TCheckTree*, QTreeWidgetItem* node,
                          widgets::TCheckCheckState state) { SDZJ_CTStateChange(node, state); });
    connectHandler(SDZJ_CT, &widgets::TCheckTree::OnMouseUp, this, [this] { SDZJ_CTMouseUp(); });
    connectHandler(JRSJ_FBtn, &TFlatButton::clicked, this, [this] { JRSJ_FBtnClick(); });
    connectHandler(BCSJ_FBtn, &TFlatButton::clicked, this, [this] { BCSJ_FBtnClick(); });
}

TManualGenPage::~TManualGenPage() = default;

db::Query& TManualGenPage::query(std::unique_ptr<db::Query>& slot) {
    if (!slot)
        slot = std::make_unique<db::Query>(&db::bank());
    return *slot;
}

int TManualGenPage::selectedButton() const {
    for (int i = 0; i < 6; ++i)
        if (TypeButtons[i]->isChecked())
            return i;
    return 0;
}

int TManualGenPage::rowOfType(int typeId) const {
    for (int r = 0; r < 6; ++r)
        if (m_typeCodes[r] != 0 && m_typeCodes[r] == typeId)
            return r;
    return -1;
}

void TManualGenPage::openPage() {
    m_chosenTypes.clear();
    SDZJ_CT->SetAllStates(widgets::csUnchecked);
    m_chosenNumbers.clear();
    m_chosenDifficulties.clear();
    for (TFlatSpinEditInteger* e : CountEdits)
        e->setValue(0);
    for (TFlatSpinEditInteger* e : MarkEdits)
        e->setValue(0);
    ZF_FSE->setValue(100);
    BCSJ_P->setEnabled(false);

    db::Query& q = query(ST_ADOQ);
    if (ST_DBG->query() != &q) {
        ST_DBG->setQuery(&q);
        connectHandler(&q, &db::Query::currentRowChanged, this, [this] { showLastUse(); });
        connectHandler(&q, &db::Query::resetDone, this, [this] { showLastUse(); });
    }
    q.close();
    q.setSql(QStringLiteral("SELECT * FROM Type"));
    q.open();
    m_typeCodes.fill(0);
    for (; !q.eof(); q.next()) {
        const QString name = q.fieldText(QStringLiteral("TypeName"));
        for (int i = 0; i < 6; ++i)
            if (name == QLatin1String(kManualTypes[i].typeName))
                m_typeCodes[i] = static_cast<int>(q.fieldInt(QStringLiteral("TypeID")));
    }
    q.close();
    resetGrid();
}

void TManualGenPage::showLastUse() {
    if (ST_DBG->selectedIsNull(0) || ST_DBG->selectedIsNull(1)) {
        LastUsed_L->clear();
        return;
    }
    LastUsed_L->setText(papers::questionUseText(questionUse(
        query(m_useQuery), ST_DBG->selectedField(1).toInt(), ST_DBG->selectedField(0).toInt())));
}

void TManualGenPage::sizeColumns() {
    // The question takes the room the others leave; its whole text shows as
    // the cell's tooltip.
    ST_DBG->setColumnWidthChars(0, 5);
    ST_DBG->setColumnWidthChars(1, 5);
    ST_DBG->setColumnWidthChars(3, 22);
    ST_DBG->setColumnWidthChars(4, 9);
    ST_DBG->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
}

void TManualGenPage::resetGrid() {
    db::Query& q = query(ST_ADOQ);
    q.close();
    q.setSql(emptyBrowseStatement());
    q.open();
    sizeColumns();
}

void TManualGenPage::BrowseSection(const QString& table, const QString& text) {
    db::Query& q = query(ST_ADOQ);
    q.close();
    q.setSql(browseSectionStatement(table));
    q.bindText(QStringLiteral("char"), text);
    q.open();
    sizeColumns();
}

void TManualGenPage::BrowseChapter(const QString& table, const QString& text) {
    db::Query& q = query(ST_ADOQ);
    q.close();
    q.setSql(browseChapterStatement(table));
    q.bindInt(QStringLiteral("num"), text.size() + 1);
    q.bindText(QStringLiteral("char"), text);
    q.open();
    sizeColumns();
}

void TManualGenPage::BrowseSelectedChapter() {
    QTreeWidgetItem* node = SDZJ_CT->Selected();
    if (!node)
        return;
    const QString table = QString::fromLatin1(kManualTypes[selectedButton()].table);
    if (node->parent())
        BrowseSection(table, sectionFilter(node->text(0)));
    else
        BrowseChapter(table, chapterFilter(node->text(0)));
}

void TManualGenPage::SDZJ_CTStateChange(QTreeWidgetItem* node, widgets::TCheckCheckState state) {
    // The cascade reports every descendant and ancestor too; only the node
    // the lecturer toggled counts.
    if (node != SDZJ_CT->Selected())
        return;
    if (state == widgets::csChecked)
        BrowseSelectedChapter();
    else if (state == widgets::csUnchecked)
        resetGrid();
}

void TManualGenPage::browseIfChecked() {
    QTreeWidgetItem* node = SDZJ_CT->Selected();
    if (node && SDZJ_CT->GetNodeState(node) == widgets::csChecked)
        BrowseSelectedChapter();
}

void TManualGenPage::SDZJ_CTMouseUp() {
    browseIfChecked();
}

void TManualGenPage::XZT_FRBtnClick() {
    browseIfChecked();
}

void TManualGenPage::JRSJ_FBtnClick() {
    // Columns of the grid: ID, Type, Question, From_Chapter, Difficulty.
    if (ST_DBG->selectedIsNull(0)) {
        showMessage(QStringLiteral("No question, Cannot add!"), QStringLiteral("Error"),
                    MsgIcon::Error);
        return;
    }
    const int typeId = ST_DBG->selectedField(1).toInt();
    const int number = ST_DBG->selectedField(0).toInt();
    for (int i = 0; i < m_chosenTypes.size(); ++i)
        if (m_chosenTypes[i].toInt() == typeId && m_chosenNumbers[i].toInt() == number) {
            showMessage(QStringLiteral("Question already existed!"), QStringLiteral("Error"),
                        MsgIcon::Error);
            return;
        }
    // The question is counted in the row of its own type: the grid may still
    // show another type's questions than the button now selected.
    const int row = rowOfType(typeId);
    if (row < 0) {
        showMessage(QStringLiteral("The question bank has no question type %1, so this question "
                                   "cannot be given a mark.")
                        .arg(typeId),
                    QStringLiteral("Error"), MsgIcon::Error);
        return;
    }
    m_chosenTypes << QString::number(typeId);
    m_chosenNumbers << QString::number(number);
    m_chosenDifficulties << ST_DBG->selectedText(4);
    CountEdits[row]->setValue(CountEdits[row]->value() + 1);
    showMessage(QStringLiteral("Question added successfully!"),
                QStringLiteral("Addition successful"), MsgIcon::Information);
    const int current = ST_DBG->selectedRow();
    const int rows = ST_DBG->query() ? ST_DBG->query()->recordCount() : 0;
    if (current + 1 < rows)
        ST_DBG->setSelectedRow(current + 1);
    BCSJ_P->setEnabled(true);
}

bool TManualGenPage::CheckManualMarks() {
    ManualMarks marks;
    for (int r = 0; r < 6; ++r) {
        marks.counts[r] = CountEdits[r]->value();
        marks.marks[r] = MarkEdits[r]->value();
    }
    marks.total = ZF_FSE->value();
    const MarkProblem problem = checkManualMarks(marks);
    if (problem.isEmpty())
        return false;
    showMessage(problem.text, problem.caption, MsgIcon::Error);
    return true;
}

void TManualGenPage::BCSJ_FBtnClick() {
    if (CheckManualMarks())
        return;
    // Each question takes the mark of its type's row as it stands now.
    QList<int> marks;
    for (const QString& type : m_chosenTypes) {
        const int row = rowOfType(type.toInt());
        marks << (row < 0 ? 0 : MarkEdits[row]->value());
    }
    PaperRecord paper = newPaper(CurrentUserName, manualWeight(m_chosenDifficulties, marks));
    for (int i = 0; i < m_chosenTypes.size(); ++i)
        paper.questions.append({m_chosenTypes[i].toInt(), m_chosenNumbers[i].toInt(), marks[i]});
    if (!savePaper(query(BCSJ_ADOQ), paper,
                   QStringLiteral("Unknown error in saving Test, database submission failed!")))
        return;
    showMessage(QStringLiteral("Test saved successfully!"), QStringLiteral("Save"),
                MsgIcon::Information);
    if (onSaved)
        onSaved();
    SDZJ_CT->SetAllStates(widgets::csUnchecked);
}

} // namespace tolvane::papers
