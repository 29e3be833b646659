#include "autogen/AutoGen_Page.h"

#include "core/Handler.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "core/Session.h"
#include "db/DataModule.h"
#include "papers/PaperSave.h"
#include "papers/UsageHistory.h"
#include "widgets/PageParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace tolvane::autogen {

using widgets::boldLabel;
using widgets::pageButton;
using widgets::pageSpinEdit;
using widgets::TFlatButton;
using widgets::TFlatSpinEditInteger;

const std::array<const char*, 6> TAutoGenPage::kRowNames{"XZT",   "TKT",   "JDT",
                                                         "YLLST", "XTSJT", "XTCZT"};

namespace {

// The row captions of the two groups, in setup-row order.
const std::array<const char*, 6> kSetupCaptions{
    "Multi-choice:", "Fill-in-Blank:", "Type 3:", "Type 4:", "Type 5:", "Type 6:"};
const std::array<const char*, 6> kInfoCaptions{
    "Multiple-choice:", "Fill-in-Blank:", "Type 3:", "Type 4:", "Type 5:", "Type 6:"};
// The name endings of a row's spin edits and statistics labels.
const std::array<const char*, 4> kSetupSuffixes{"RY_FSE", "ZD_FSE", "N_FSE", "ZDFZ_FSE"};
const std::array<const char*, 4> kInfoSuffixes{"RY_L", "ZD_L", "N_L", "G_L"};
const std::array<const char*, 4> kInfoColumnCaptions{"Easy:", "Medium:", "Hard:", "Total:"};

} // namespace

TAutoGenPage::TAutoGenPage(GeneratedTestList& generatedTest, GeneratedTestList& generatedTestB,
                           QWidget* parent)
    : QWidget(parent), m_generatedTest(generatedTest), m_generatedTestB(generatedTestB),
      m_random(std::make_unique<ClockRandom>()) {
    setObjectName(QStringLiteral("ZDSJ_TS"));

    ZDZJ_CT = new widgets::TCheckTree(this);
    ZDZJ_CT->setObjectName(QStringLiteral("ZDZJ_CT"));
    ZDZJ_CT->setMinimumWidth(220);

    // The bank statistics.
    Info_GB = new QGroupBox(QStringLiteral("Question Bank Info:"), this);
    Info_GB->setObjectName(QStringLiteral("Info_GB"));
    auto* info = new QGridLayout(Info_GB);
    info->setHorizontalSpacing(10);
    info->addWidget(boldLabel(QStringLiteral("Type"), Info_GB), 0, 0);
    info->addWidget(boldLabel(QStringLiteral("Number of question in database"), Info_GB), 0, 1, 1,
                    8);
    for (int r = 0; r < 6; ++r) {
        info->addWidget(new QLabel(QString::fromLatin1(kInfoCaptions[r]), Info_GB), r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            auto* caption = new QLabel(QString::fromLatin1(kInfoColumnCaptions[c]), Info_GB);
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            auto* value = new QLabel(QStringLiteral("0"), Info_GB);
            value->setObjectName(QString::fromLatin1(kRowNames[r]) +
                                 QString::fromLatin1(kInfoSuffixes[c]));
            value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
            InfoLabels[r][c] = value;
            info->addWidget(caption, r + 1, 1 + 2 * c);
            info->addWidget(value, r + 1, 2 + 2 * c);
        }
    }
    info->setColumnStretch(9, 1);

    // The total mark.
    ZDZF_FSE = pageSpinEdit(QStringLiteral("ZDZF_FSE"), 100, this);
    auto* totalRow = new QHBoxLayout;
    totalRow->addWidget(boldLabel(QStringLiteral("Total mark:"), this));
    totalRow->addWidget(ZDZF_FSE);
    totalRow->addStretch();

    // The request.
    Setup_GB = new QGroupBox(QStringLiteral("Test Paper Setup:"), this);
    Setup_GB->setObjectName(QStringLiteral("Setup_GB"));
    auto* setup = new QGridLayout(Setup_GB);
    setup->setHorizontalSpacing(10);
    const std::array<const char*, 4> heads{"Easy", "Medium", "Hard", "Mark"};
    for (int c = 0; c < 4; ++c) {
        auto* head = boldLabel(QString::fromLatin1(heads[c]), Setup_GB);
        head->setAlignment(Qt::AlignCenter);
        setup->addWidget(head, 0, c + 1);
    }
    for (int r = 0; r < 6; ++r) {
        setup->addWidget(new QLabel(QString::fromLatin1(kSetupCaptions[r]), Setup_GB), r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            SetupEdits[r][c] = pageSpinEdit(QString::fromLatin1(kRowNames[r]) +
                                                QString::fromLatin1(kSetupSuffixes[c]),
                                            0, Setup_GB);
            setup->addWidget(SetupEdits[r][c], r + 1, c + 1);
        }
    }
    setup->setColumnStretch(5, 1);

    // Papers that do not repeat themselves.
    RecentPapers_FSE = pageSpinEdit(QStringLiteral("RecentPapers_FSE"), 0, this);
    PaperB_CheckBox = new QCheckBox(QStringLiteral("Also draw paper B"), this);
    PaperB_CheckBox->setObjectName(QStringLiteral("PaperB_CheckBox"));
    Overlap_FSE = pageSpinEdit(QStringLiteral("Overlap_FSE"), 30, this);
    Overlap_FSE->setEnabled(false);
    connect(PaperB_CheckBox, &QCheckBox::toggled, Overlap_FSE, &QWidget::setEnabled);
    auto* history = new QGridLayout;
    history->setHorizontalSpacing(10);
    history->addWidget(
        new QLabel(QStringLiteral("Leave out questions used in the last N papers:"), this), 0, 0);
    history->addWidget(RecentPapers_FSE, 0, 1);
    history->addWidget(PaperB_CheckBox, 1, 0);
    history->addWidget(
        new QLabel(QStringLiteral("Paper B shares at most N % of paper A's questions"), this), 2,
        0);
    history->addWidget(Overlap_FSE, 2, 1);
    history->setColumnStretch(2, 1);

    ZDSC_FBtn = pageButton("ZDSC_FBtn", "Generate Test", this);
    ZDYLSJ_FBtn = pageButton("ZDYLSJ_FBtn", "Preview Test", this);
    ZDYLSJB_FBtn = pageButton("ZDYLSJB_FBtn", "Preview Paper B", this);
    YLDA_FBtn = pageButton("YLDA_FBtn", "Answers", this);
    ZDBCSJ_FBtn = pageButton("ZDBCSJ_FBtn", "Save Test", this);
    auto* buttons = new QHBoxLayout;
    for (TFlatButton* b : {ZDSC_FBtn, ZDYLSJ_FBtn, ZDYLSJB_FBtn, YLDA_FBtn, ZDBCSJ_FBtn})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(Info_GB);
    right->addLayout(totalRow);
    right->addWidget(Setup_GB);
    right->addLayout(history);
    right->addStretch();
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ZDZJ_CT, 2);
    layout->addLayout(right, 3);

    connectHandler(ZDSC_FBtn, &TFlatButton::clicked, this, [this] { ZDSC_FBtnClick(); });
    connectHandler(ZDBCSJ_FBtn, &TFlatButton::clicked, this, [this] { ZDBCSJ_FBtnClick(); });
    connectHandler(RecentPapers_FSE, &TFlatSpinEditInteger::changed, this,
                   [this] { showStatistics(); });
    for (int r = 0; r < 6; ++r) {
        TFlatSpinEditInteger* mark = SetupEdits[r][Mark];
        connectHandler(mark, &TFlatSpinEditInteger::mouseMoved, this,
                       [this, mark] { XZTZDFZ_FSEMouseMove(mark); });
    }
}

TAutoGenPage::~TAutoGenPage() = default;

db::Query& TAutoGenPage::query(std::unique_ptr<db::Query>& slot) {
    if (!slot)
        slot = std::make_unique<db::Query>(&db::bank());
    return *slot;
}

void TAutoGenPage::setRandomSource(std::unique_ptr<RandomSource> random) {
    m_random = std::move(random);
}

GenerationRequest TAutoGenPage::request() const {
    GenerationRequest request;
    for (int r = 0; r < 6; ++r) {
        for (int d = 0; d < 3; ++d)
            request.rows[r].counts[d] = SetupEdits[r][d]->value();
        request.rows[r].mark = SetupEdits[r][Mark]->value();
    }
    request.totalMark = ZDZF_FSE->value();
    return request;
}

DrawOptions TAutoGenPage::drawOptions() const {
    DrawOptions options;
    options.recentPapers = RecentPapers_FSE->value();
    options.paperB = PaperB_CheckBox->isChecked();
    options.overlapPercent = Overlap_FSE->value();
    return options;
}

QStringList TAutoGenPage::checkedSections() const {
    QStringList sections;
    for (int c = 0; c < ZDZJ_CT->topLevelItemCount(); ++c) {
        QTreeWidgetItem* chapter = ZDZJ_CT->topLevelItem(c);
        for (int s = 0; s < chapter->childCount(); ++s) {
            QTreeWidgetItem* section = chapter->child(s);
            if (ZDZJ_CT->GetNodeState(section) == widgets::csChecked)
                sections << section->text(0);
        }
    }
    return sections;
}

void TAutoGenPage::openPage() {
    ZDZJ_CT->SetAllStates(widgets::csChecked);
    m_counts = countQuestions(query(SJTXX_ADOQ));
    showStatistics();
    m_generatedTest.clear();
    m_generatedTestB.clear();
}

void TAutoGenPage::ZDSC_FBtnClick() {
    WindowProgress progress;
    generateTest(request(), checkedSections(), query(SJTXX_ADOQ), query(XT_ADOQ), *m_random,
                 progress, m_generatedTest, drawOptions(), m_generatedTestB);
}

void TAutoGenPage::ZDBCSJ_FBtnClick() {
    if (m_generatedTest.isEmpty()) {
        showMessage(QStringLiteral("Test not generated yet, please generate test first!"),
                    QStringLiteral("No test generated"), MsgIcon::Error);
        return;
    }
    // The marks are read now: they may have changed since the drawing.
    const GenerationRequest request = this->request();
    if (const QString negative = request.negativeValue(); !negative.isEmpty()) {
        showMessage(negative, QStringLiteral("Invalid request"), MsgIcon::Error);
        return;
    }
    // The difficulty is that of the questions saved, not of the request the
    // bank may have fallen short of.
    papers::PaperRecord paper =
        papers::newPaper(CurrentUserName, drawnWeight(query(BCSJ_ADOQ), m_generatedTest, request));
    // Places the bank could not fill are no questions: the paper holds only
    // the real ones.
    const auto addQuestions = [&request](papers::PaperRecord& record,
                                         const GeneratedTestList& test) {
        for (const GeneratedEntry& slot : test)
            if (slot.isFilled())
                record.questions.append(
                    {slot.TypeID, slot.BH, request.rows[setupRowOf(slot.TypeID)].mark});
    };
    addQuestions(paper, m_generatedTest);
    if (paper.questions.isEmpty()) {
        showMessage(QStringLiteral("The generated test holds no question, so there is nothing "
                                   "to save."),
                    QStringLiteral("No test generated"), MsgIcon::Error);
        return;
    }
    QList<papers::PaperRecord> pair{paper};
    if (!m_generatedTestB.isEmpty()) {
        // Paper B goes with paper A or not at all, under A's identifier
        // marked as its paper B.
        papers::PaperRecord paperB = paper;
        paperB.identifier = papers::paperBIdentifier(paper.identifier);
        paperB.difficulty =
            papers::paperDifficultyText(drawnWeight(query(BCSJ_ADOQ), m_generatedTestB, request));
        paperB.questions.clear();
        addQuestions(paperB, m_generatedTestB);
        if (paperB.questions.isEmpty()) {
            showMessage(QStringLiteral("Paper B holds no question, so the pair cannot be saved. "
                                       "Untick \"Also draw paper B\" and generate again to save "
                                       "paper A alone."),
                        QStringLiteral("No test generated"), MsgIcon::Error);
            return;
        }
        pair << paperB;
    }
    if (!papers::savePapers(query(BCSJ_ADOQ), pair,
                            QStringLiteral("Unknow error in saving test, database submission "
                                           "failed!")))
        return;
    showMessage(QStringLiteral("Test successfully saved!"), QStringLiteral("Save"),
                MsgIcon::Information);
}

void TAutoGenPage::showStatistics() {
    const int papers = RecentPapers_FSE->value();
    const BankStatistics recent = countRecentQuestions(query(SJTXX_ADOQ), papers);
    const auto text = [papers](int count, int used) {
        if (papers <= 0)
            return QString::number(count);
        return QStringLiteral("%1 (%2 fresh)").arg(count).arg(count - used);
    };
    for (int r = 0; r < 6; ++r) {
        int total = 0;
        int used = 0;
        for (int d = 0; d < 3; ++d) {
            InfoLabels[r][d]->setText(text(m_counts[r][d], recent[r][d]));
            total += m_counts[r][d];
            used += recent[r][d];
        }
        InfoLabels[r][AllTotal]->setText(text(total, used));
    }
}

void TAutoGenPage::XZTZDFZ_FSEMouseMove(QObject* sender) {
    if (auto* edit = qobject_cast<TFlatSpinEditInteger*>(sender))
        edit->setToolTip(markHint(request()));
}

} // namespace tolvane::autogen
