#include "papers/ManualPaper.h"

#include "papers/PaperSave.h"

namespace tolvane::papers {

const std::array<ManualType, 6> kManualTypes{{
    {"Multi-choice", "XuanZeTi", "XZT", "Multiple-Choice", "Multi-Choice"},
    {"Fill-in-Blank", "TianKong", "TKT", "Fill-in-Blank", "Fill-in-Blank"},
    {"Type 3", "JianDaTi", "JDT", "Type 3", "Type 3"},
    {"Type 5", "YuanLiLunShu", "YLLST", "Type 4", "Type 4"},
    {"Type 4", "XiTongSheJi", "XTSJT", "Type 5", "Type 5"},
    {"Type 6", "XiTongCZ", "XTCZT", "Type 6", "Type 6"},
}};

namespace {
const char kSelectColumns[] = "SELECT A.BH AS ID,TypeID as Type,TM as Question,CZ AS From_Chapter,";

QString fromTable(const QString& table) {
    return QStringLiteral("B.NYD AS Difficulty FROM ") + table + QStringLiteral(" AS A,NYD AS B");
}
} // namespace

QString emptyBrowseStatement() {
    return QStringLiteral("SELECT BH AS ID,TypeID as Type,TM as Question,CZ AS From_Chapter,\n"
                          "NY AS Difficulty FROM XuanZeTi WHERE CZ='1'");
}

QStringList browseSectionStatement(const QString& table) {
    return {QString::fromLatin1(kSelectColumns), fromTable(table),
            QStringLiteral("WHERE TRIM(CZ)=:char COLLATE NOCASE AND A.NY=B.BH")};
}

QStringList browseChapterStatement(const QString& table) {
    return {QString::fromLatin1(kSelectColumns), fromTable(table),
            QStringLiteral("WHERE (TRIM(CZ)=:char OR LEFT(TRIM(CZ),:num) IN (:char || ' ', "
                           ":char || '.', :char || ',')) AND A.NY=B.BH")};
}

QString sectionFilter(const QString& nodeText) {
    return nodeText.trimmed();
}

QString chapterFilter(const QString& nodeText) {
    // A chapter's text is its code, two blanks and its name; a code has no
    // blank in it.
    return nodeText.trimmed().section(QLatin1Char(' '), 0, 0);
}

MarkProblem checkManualMarks(const ManualMarks& m) {
    for (int r = 0; r < 6; ++r)
        if (m.counts[r] != 0 && m.marks[r] == 0) {
            const QString type = r == 0 ? QStringLiteral("Multiple choice")
                                        : QString::fromLatin1(kManualTypes[r].rowLabel);
            return {QStringLiteral("Please set mark for %1 question!").arg(type),
                    QStringLiteral("Mark not entered")};
        }
    __int128 sum = 0;
    for (int r = 0; r < 6; ++r)
        sum += __int128(m.counts[r]) * m.marks[r];
    if (sum != m.total)
        return {QStringLiteral("Total Mark incorrect, please re-enter!"),
                QStringLiteral("Total mark error")};
    for (int r = 0; r < 6; ++r)
        if (m.counts[r] != 0 && m.marks[r] < 0)
            return {QStringLiteral("The mark of a %1 question cannot be negative.")
                        .arg(QLatin1String(kManualTypes[r].rowLabel)),
                    QStringLiteral("Total mark error")};
    return {};
}

qint64 manualWeight(const QStringList& difficulties, const QList<int>& marks) {
    __int128 weight = 0;
    for (int i = 0; i < difficulties.size() && i < marks.size(); ++i) {
        const QString& d = difficulties[i];
        const int factor = d == QLatin1String("Easy")     ? 1
                           : d == QLatin1String("Medium") ? 2
                           : d == QLatin1String("Hard")   ? 3
                                                          : 0;
        weight += __int128(factor) * marks[i];
    }
    return clampTo64(weight);
}

} // namespace tolvane::papers
