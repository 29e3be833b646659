#pragma once

// What the saved papers tell about the questions they hold: which questions
// the most recent papers used, when a question was last used and how often,
// and what two papers share. A question's uses are the saved papers that
// hold it; nothing else is recorded.

#include "db/Query.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tolvane::papers {

// A question as the whole system names it: its type code and its number.
inline qint64 questionKey(int typeId, int number) {
    return (qint64(typeId) << 32) | quint32(number);
}

// The saved papers, oldest first, in the order they were saved. The order
// is the order the paper rows were written in, not that of their
// identifiers, whose text sorts by date only in some locales.
QStringList papersInSavedOrder(db::Query& query);

// The questions of the most recently saved papers, each with how recently
// it was used.
class RecentUse {
public:
    // The questions of the `papers` papers saved last (of every paper when
    // the bank holds fewer; none for 0 or less).
    static RecentUse ofLastPapers(db::Query& query, int papers);

    // How many papers were read.
    int paperCount() const { return m_papers; }
    bool isEmpty() const { return m_recency.isEmpty(); }
    int size() const { return int(m_recency.size()); }
    // How recently a question was last used among those papers: 0 when
    // none of them holds it, 1 for the oldest of them, up to paperCount()
    // for the newest.
    int recency(int typeId, int number) const {
        return m_recency.value(questionKey(typeId, number));
    }
    // Every question with its recency, keyed by questionKey().
    const QHash<qint64, int>& all() const { return m_recency; }

private:
    int m_papers = 0;
    QHash<qint64, int> m_recency;
};

// How often a question has been used, and the identifier of the last saved
// paper that holds it (which is the date and time it was saved).
struct QuestionUse {
    int papers = 0;
    QString lastPaper; // empty when no saved paper holds it
};
QuestionUse questionUse(db::Query& query, int typeId, int number);
// "Last used: <paper> (in 3 saved papers)", or "Last used: never used".
QString questionUseText(const QuestionUse& use);

// One question two papers share.
struct SharedQuestion {
    int typeId = 0;
    int number = 0;
};

// What two saved papers have in common.
struct PaperComparison {
    QString first, second; // the identifiers
    int firstCount = 0;    // questions in each
    int secondCount = 0;
    QList<SharedQuestion> shared; // in the first paper's order
};
PaperComparison comparePapers(db::Query& query, const QString& first, const QString& second);
// The comparison told to the lecturer: the shared count, its share of each
// paper, and the shared questions by type.
QString comparisonText(const PaperComparison& comparison);

// A whole percentage of `part` in `whole`, rounded; 0 for an empty whole.
int percentOf(qint64 part, qint64 whole);

// The identifier of paper B of the pair whose paper A is `paperA`, and
// whether an identifier names a paper B.
QString paperBIdentifier(const QString& paperA);
bool isPaperB(const QString& identifier);
// What the documents of a paper B add to their caption and title.
QString paperBLabel();

} // namespace tolvane::papers
