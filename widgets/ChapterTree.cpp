#include "widgets/ChapterTree.h"

#include "db/Query.h"
#include "db/Schema.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace tolvane::widgets {

double chapterNumber(const QString& code, const QLocale& locale) {
    QLocale strict(locale);
    // A group separator would let "1,234" pass as a chapter code.
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = strict.toDouble(code, &ok);
    if (!ok || !std::isfinite(number)) {
        const QString example = QStringLiteral("3") + locale.decimalPoint() + QStringLiteral("1");
        throw std::runtime_error(
            QStringLiteral("'%1' is not a valid chapter code: a chapter code is a decimal number "
                           "such as 3 or %2.")
                .arg(code, example)
                .toStdString());
    }
    return number == 0.0 ? 0.0 : number; // no "-0"
}

QString chapterNumberText(double number, const QLocale& locale) {
    // The digits are the plain ones the codes are stored with (a locale's own
    // digits would make a node text that no question's CZ equals); only the
    // decimal separator is the locale's.
    QLocale plain = QLocale::c();
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    QString text =
        plain.toString(number == 0.0 ? 0.0 : number, 'f', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QList<ChapterNode> chapterNodes(const QList<ChapterRow>& rows, const QLocale& locale) {
    QList<std::pair<double, QString>> pairs;
    pairs.reserve(rows.size());
    for (const ChapterRow& row : rows)
        pairs.append({chapterNumber(row.code, locale), row.name});

    // Selection sort: on equal numbers the first one found stays the smallest,
    // so rows with equal numbers may change their relative order.
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        qsizetype smallest = i;
        for (qsizetype j = i + 1; j < pairs.size(); ++j) {
            if (pairs[j].first < pairs[smallest].first)
                smallest = j;
        }
        if (smallest != i)
            pairs.swapItemsAt(i, smallest);
    }

    // The section test looks for the separator the number is written with, so
    // that sections stay sections where the separator is a comma.
    const QString separator = locale.decimalPoint();
    QList<ChapterNode> nodes;
    nodes.reserve(pairs.size());
    for (const auto& [number, name] : pairs) {
        const QString numberText = chapterNumberText(number, locale);
        nodes.append({db::chapterItemText(numberText, name), numberText.contains(separator)});
    }
    return nodes;
}

void buildChapterTree(TCheckTree* tree, const QList<ChapterRow>& rows) {
    buildChapterTrees(QList<TCheckTree*>{tree}, rows);
}

void buildChapterTrees(const QList<TCheckTree*>& trees, const QList<ChapterRow>& rows) {
    // Everything is converted before any tree is touched.
    const QList<ChapterNode> nodes = chapterNodes(rows);
    for (TCheckTree* tree : trees) {
        if (!tree)
            continue;
        tree->clear();
        QList<QTreeWidgetItem*> top;
        QTreeWidgetItem* chapter = nullptr;
        for (const ChapterNode& node : nodes) {
            auto* item = new QTreeWidgetItem(QStringList{node.text});
            if (node.section && chapter) {
                chapter->addChild(item);
            } else {
                top.append(item);
                if (!node.section)
                    chapter = item;
            }
        }
        tree->addTopLevelItems(top);
    }
}

QList<ChapterRow> readChapterRows(db::Query& table) {
    table.openTable(QStringLiteral("ZhangJie"));
    QList<ChapterRow> rows;
    rows.reserve(table.recordCount());
    for (table.first(); !table.eof(); table.next())
        rows.append(
            {table.fieldText(QStringLiteral("ZJ")), table.fieldText(QStringLiteral("ZJName"))});
    return rows;
}

void buildChapterTrees(db::Query& table, const QList<TCheckTree*>& trees) {
    buildChapterTrees(trees, readChapterRows(table));
}

QStringList checkedSectionTexts(const TCheckTree* tree) {
    QStringList texts;
    if (!tree)
        return texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* chapter = tree->topLevelItem(i);
        for (int j = 0; j < chapter->childCount(); ++j) {
            QTreeWidgetItem* section = chapter->child(j);
            if (tree->GetNodeState(section) == csChecked)
                texts.append(section->text(0));
        }
    }
    return texts;
}

} // namespace tolvane::widgets
