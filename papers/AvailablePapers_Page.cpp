#include "papers/AvailablePapers_Page.h"

#include "core/Handler.h"
#include "core/Messages.h"
#include "db/DataModule.h"
#include "papers/UsageHistory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace tolvane::papers {

using widgets::TFlatButton;

namespace {

TFlatButton* pageButton(const char* name, const char* caption, QWidget* parent) {
    auto* b = new TFlatButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumHeight(32);
    b->setMinimumWidth(110);
    return b;
}

widgets::TDBGrid* grid(const char* name, QWidget* parent) {
    auto* g = new widgets::TDBGrid(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

} // namespace

TAvailablePapersPage::TAvailablePapersPage(QString& currentTestId, QWidget* parent)
    : QWidget(parent), m_currentTestId(currentTestId) {
    setObjectName(QStringLiteral("XYSJ_TS"));

    SJ_DBG = grid("SJ_DBG", this);
    // A second paper joins the selection with Ctrl, for "Compare"; the
    // paper last clicked is still the one selected for the other buttons.
    SJ_DBG->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SJT_L = new QLabel(QStringLiteral("Questions in Test"), this);
    SJT_L->setObjectName(QStringLiteral("SJT_L"));
    QFont bold = SJT_L->font();
    bold.setBold(true);
    SJT_L->setFont(bold);
    SJT_DBG = grid("SJT_DBG", this);

    YLSJ_FBtn = pageButton("YLSJ_FBtn", "Preview Test", this);
    SCSJ_FBtn = pageButton("SCSJ_FBtn", "Delete Test", this);
    BCDA_FBtn = pageButton("BCDA_FBtn", "Save Answers", this);
    Compare_FBtn = pageButton("Compare_FBtn", "Compare", this);
    Compare_FBtn->setToolTip(QStringLiteral("Select two papers (click one, then Ctrl+click the "
                                            "other) to see the questions they share."));
    auto* buttons = new QHBoxLayout;
    for (TFlatButton* b : {YLSJ_FBtn, SCSJ_FBtn, BCDA_FBtn, Compare_FBtn})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SJ_DBG, 3);
    layout->addSpacing(4);
    layout->addWidget(SJT_L);
    layout->addWidget(SJT_DBG, 4);
    layout->addLayout(buttons);

    connectHandler(SJ_DBG, &widgets::TDBGrid::mouseUp, this, [this] { SJ_DBGMouseUp(); });
    connectHandler(SCSJ_FBtn, &TFlatButton::clicked, this, [this] { SCSJ_FBtnClick(); });
    connectHandler(Compare_FBtn, &TFlatButton::clicked, this, [this] { Compare_FBtnClick(); });
}

TAvailablePapersPage::~TAvailablePapersPage() {
    // The grids go with the page's children, after the queries: unbind first.
    SJ_DBG->setQuery(nullptr);
    SJT_DBG->setQuery(nullptr);
}

void TAvailablePapersPage::ensureQueries() {
    if (!m_papers) {
        m_papers = std::make_unique<db::Query>(&db::bank());
        SJ_DBG->setQuery(m_papers.get());
    }
    if (!m_questions) {
        m_questions = std::make_unique<db::Query>(&db::bank());
        SJT_DBG->setQuery(m_questions.get());
    }
}

int TAvailablePapersPage::listedQuestionCount() const {
    return hasQuestionList() ? m_questions->recordCount() : 0;
}

void TAvailablePapersPage::listPapers() {
    ensureQueries();
    m_papers->close();
    m_papers->setSql(
        QStringLiteral("SELECT SJDH AS Test_ID,CJLS AS Test_Creator,ND AS Difficulty FROM SJ"));
    m_papers->open();
    SJ_DBG->resizeColumnsToContents();
    // With no rows the identifier reads as null and the last one stays.
    if (!SJ_DBG->selectedIsNull(0))
        m_currentTestId = SJ_DBG->selectedText(0);
    if (!m_currentTestId.isEmpty())
        listQuestions();
}

void TAvailablePapersPage::listQuestions() {
    ensureQueries();
    m_questions->close();
    m_questions->setSql(
        QStringList{QStringLiteral("SELECT SJDH AS Test_ID,Type.TypeName AS Question_Type,"),
                    QStringLiteral("BH AS Question_ID,FZ AS Question_Mark FROM SJT,Type "),
                    QStringLiteral("WHERE SJDH=:SJDH AND SJT.TypeID=Type.TypeID")});
    m_questions->bindText(QStringLiteral("SJDH"), m_currentTestId);
    m_questions->open();
    SJT_DBG->resizeColumnsToContents();
}

void TAvailablePapersPage::SJ_DBGMouseUp() {
    const QString before = m_currentTestId;
    if (!SJ_DBG->selectedIsNull(0))
        m_currentTestId = SJ_DBG->selectedText(0);
    // Clicking the paper already shown reloads nothing.
    if (!m_currentTestId.isEmpty() && m_currentTestId != before)
        listQuestions();
}

void TAvailablePapersPage::SCSJ_FBtnClick() {
    if (showMessage(QStringLiteral("Warning: Deletion is non-restorable, confirm deletion?"),
                    QStringLiteral("Confirm deletion"), MsgIcon::Warning,
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // The selected row, which keyboard moves may have changed since the
    // last click.
    if (!SJ_DBG->selectedIsNull(0))
        m_currentTestId = SJ_DBG->selectedText(0);
    if (m_currentTestId.isEmpty())
        return;

    {
        db::Query query(&db::bank());
        // The paper and its questions go together or not at all: a failure
        // of either statement leaves both as they were.
        db::Transaction transaction(*query.connection());
        const auto remove = [&](const QString& sql, const QString& failure) {
            query.close();
            query.setSql(sql);
            query.bindText(QStringLiteral("DH"), m_currentTestId);
            try {
                query.execSql();
            } catch (const db::DbError&) {
                transaction.rollback();
                showMessage(failure, QStringLiteral("Deletion failed"), MsgIcon::Error);
                return false;
            }
            return true;
        };
        if (!remove(QStringLiteral("DELETE FROM SJ WHERE SJDH=:DH"),
                    QStringLiteral("Unknow error in deleting test!")))
            return;
        if (!remove(QStringLiteral("DELETE FROM SJT WHERE SJDH=:DH"),
                    QStringLiteral("Unknow error in deleting question!")))
            return;
        try {
            transaction.commit();
        } catch (const db::DbError&) {
            transaction.rollback();
            showMessage(QStringLiteral("Unknow error in deleting test!"),
                        QStringLiteral("Deletion failed"), MsgIcon::Error);
            return;
        }
    }
    showMessage(QStringLiteral("Test deleted successfully!"), QStringLiteral("Deletion successful"),
                MsgIcon::Information);
    emit paperDeleted();
}

void TAvailablePapersPage::Compare_FBtnClick() {
    QList<int> rows;
    if (m_papers && m_papers->isOpen())
        for (const QModelIndex& index : SJ_DBG->selectionModel()->selectedRows())
            rows << index.row();
    if (rows.size() != 2) {
        showMessage(QStringLiteral("Please select two papers to compare: click one, then hold "
                                   "Ctrl and click the other."),
                    QStringLiteral("Compare papers"), MsgIcon::Information);
        return;
    }
    std::sort(rows.begin(), rows.end());
    const QString first = db::Query::displayText(m_papers->value(rows[0], 0));
    const QString second = db::Query::displayText(m_papers->value(rows[1], 0));
    db::Query query(&db::bank());
    showMessage(comparisonText(comparePapers(query, first, second)),
                QStringLiteral("Compare papers"), MsgIcon::Information);
}

} // namespace tolvane::papers
