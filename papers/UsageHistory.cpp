#include "papers/UsageHistory.h"

#include <QSet>

#include <array>

namespace tolvane::papers {

namespace {

// The types in the order the windows and the documents list them, with the
// names they show them under.
struct TypeLabel {
    int typeId;
    const char* label;
};
constexpr std::array<TypeLabel, 6> kTypeLabels{{{1, "Multiple-choice"},
                                                {2, "Fill-in-Blank"},
                                                {3, "Type 3"},
                                                {5, "Type 4"},
                                                {4, "Type 5"},
                                                {6, "Type 6"}}};

// The questions of one paper, each once, in the paper's order.
QList<SharedQuestion> questionsOf(db::Query& query, const QString& paper) {
    query.close();
    query.setSql(QStringLiteral("SELECT TypeID,BH FROM SJT WHERE SJDH=:SJDH"));
    query.bindText(QStringLiteral("SJDH"), paper);
    query.open();
    QList<SharedQuestion> questions;
    QSet<qint64> seen;
    for (; !query.eof(); query.next()) {
        const SharedQuestion q{int(query.fieldInt(QStringLiteral("TypeID"))),
                               int(query.fieldInt(QStringLiteral("BH")))};
        if (q.typeId == 0 || seen.contains(questionKey(q.typeId, q.number)))
            continue;
        seen.insert(questionKey(q.typeId, q.number));
        questions << q;
    }
    query.close();
    return questions;
}

} // namespace

QStringList papersInSavedOrder(db::Query& query) {
    query.close();
    query.setSql(QStringLiteral("SELECT SJDH FROM SJ ORDER BY rowid"));
    query.open();
    QStringList papers;
    for (; !query.eof(); query.next())
        papers << query.fieldText(QStringLiteral("SJDH"));
    query.close();
    return papers;
}

RecentUse RecentUse::ofLastPapers(db::Query& query, int papers) {
    RecentUse recent;
    if (papers <= 0)
        return recent;
    // The rows of the papers saved last, newest first.
    query.close();
    query.setSql(QStringLiteral("SELECT rowid AS Saved FROM SJ ORDER BY rowid DESC LIMIT :N"));
    query.bindInt(QStringLiteral("N"), papers);
    query.open();
    QHash<qint64, int> recencyOfRow;
    recent.m_papers = query.recordCount();
    for (int i = 0; !query.eof(); query.next(), ++i)
        recencyOfRow.insert(query.fieldInt(QStringLiteral("Saved")), recent.m_papers - i);
    if (recent.m_papers == 0) {
        query.close();
        return recent;
    }
    const qint64 oldest = query.value(recent.m_papers - 1, 0).toLongLong();

    query.close();
    query.setSql(QStringLiteral("SELECT SJ.rowid AS Saved,SJT.TypeID AS TypeID,SJT.BH AS BH "
                                "FROM SJ,SJT WHERE SJ.rowid>=:Oldest AND SJT.SJDH=SJ.SJDH"));
    query.bindInt(QStringLiteral("Oldest"), oldest);
    query.open();
    for (; !query.eof(); query.next()) {
        const int recency = recencyOfRow.value(query.fieldInt(QStringLiteral("Saved")));
        const int typeId = int(query.fieldInt(QStringLiteral("TypeID")));
        if (recency == 0 || typeId == 0)
            continue;
        int& known =
            recent.m_recency[questionKey(typeId, int(query.fieldInt(QStringLiteral("BH"))))];
        known = qMax(known, recency);
    }
    query.close();
    return recent;
}

QuestionUse questionUse(db::Query& query, int typeId, int number) {
    query.close();
    query.setSql(QStringLiteral("SELECT DISTINCT SJ.rowid AS Saved,SJ.SJDH AS SJDH FROM SJ,SJT "
                                "WHERE SJT.TypeID=:T AND SJT.BH=:BH AND SJT.SJDH=SJ.SJDH "
                                "ORDER BY SJ.rowid DESC"));
    query.bindInt(QStringLiteral("T"), typeId);
    query.bindInt(QStringLiteral("BH"), number);
    query.open();
    QuestionUse use;
    use.papers = query.recordCount();
    if (use.papers > 0)
        use.lastPaper = query.fieldText(QStringLiteral("SJDH"));
    query.close();
    return use;
}

QString questionUseText(const QuestionUse& use) {
    if (use.papers == 0)
        return QStringLiteral("Last used: never used");
    return QStringLiteral("Last used: %1 (in %2 saved %3)")
        .arg(use.lastPaper)
        .arg(use.papers)
        .arg(use.papers == 1 ? QStringLiteral("paper") : QStringLiteral("papers"));
}

PaperComparison comparePapers(db::Query& query, const QString& first, const QString& second) {
    PaperComparison comparison;
    comparison.first = first;
    comparison.second = second;
    const QList<SharedQuestion> a = questionsOf(query, first);
    const QList<SharedQuestion> b = questionsOf(query, second);
    comparison.firstCount = int(a.size());
    comparison.secondCount = int(b.size());
    QSet<qint64> inSecond;
    for (const SharedQuestion& q : b)
        inSecond.insert(questionKey(q.typeId, q.number));
    for (const SharedQuestion& q : a)
        if (inSecond.contains(questionKey(q.typeId, q.number)))
            comparison.shared << q;
    return comparison;
}

int percentOf(qint64 part, qint64 whole) {
    if (whole <= 0)
        return 0;
    return int((part * 200 + whole) / (2 * whole));
}

QString comparisonText(const PaperComparison& c) {
    const int shared = int(c.shared.size());
    const auto questions = [](qint64 n) {
        return n == 1 ? QStringLiteral("question") : QStringLiteral("questions");
    };
    QString text = QStringLiteral("\"%1\" and \"%2\" share %3 %4: %5 % of the %6 %7 of \"%1\" "
                                  "and %8 % of the %9 %10 of \"%2\".")
                       .arg(c.first, c.second)
                       .arg(shared)
                       .arg(questions(shared))
                       .arg(percentOf(shared, c.firstCount))
                       .arg(c.firstCount)
                       .arg(questions(c.firstCount))
                       .arg(percentOf(shared, c.secondCount))
                       .arg(c.secondCount)
                       .arg(questions(c.secondCount));
    if (shared == 0)
        return text;
    text += QStringLiteral("\n\nShared questions (by question number):");
    for (const TypeLabel& type : kTypeLabels) {
        QStringList numbers;
        for (const SharedQuestion& q : c.shared)
            if (q.typeId == type.typeId)
                numbers << QString::number(q.number);
        if (!numbers.isEmpty())
            text += QStringLiteral("\n%1: %2")
                        .arg(QLatin1String(type.label), numbers.join(QStringLiteral(", ")));
    }
    return text;
}

namespace {
// What paper B's identifier adds to that of its paper A.
const QString kPaperBMark = QStringLiteral(" (B)");
} // namespace

QString paperBIdentifier(const QString& paperA) {
    return paperA + kPaperBMark;
}

bool isPaperB(const QString& identifier) {
    return identifier.endsWith(kPaperBMark);
}

QString paperBLabel() {
    return QStringLiteral(" (Paper B)");
}

} // namespace tolvane::papers
