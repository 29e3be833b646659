#pragma once

#include "widgets/CheckTreeView.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace tolvane::db {
class Query;
}

namespace tolvane::widgets {

// One row of table ZhangJie: the chapter code ZJ and the name ZJName.
struct ChapterRow {
    QString code;
    QString name;
};

// One node of a chapter tree, in tree order.
struct ChapterNode {
    QString text;         // the code in its shortest decimal form, two spaces, the name
    bool section = false; // a section goes under the most recent chapter
};

// The code read as a decimal number with the locale's decimal separator.
// Throws std::runtime_error naming the code when it is not one.
double chapterNumber(const QString& code, const QLocale& locale = QLocale());

// The number in its shortest decimal form, in plain digits with the locale's
// separator: 3 -> "3", 3.10 -> "3.1".
QString chapterNumberText(double number, const QLocale& locale = QLocale());

// The nodes the rows make: every code is converted first (a malformed one
// throws before anything else is done), the rows are put in order by a
// selection sort on the number, and each is written back in shortest form. A
// node whose number has a fraction is a section.
QList<ChapterNode> chapterNodes(const QList<ChapterRow>& rows, const QLocale& locale = QLocale());

// Replaces the nodes of every tree with the nodes of the rows: sections under
// the most recent chapter, at the top before the first chapter; nothing
// expanded, everything unchecked. A malformed code throws and leaves every
// tree as it was.
void buildChapterTrees(const QList<TCheckTree*>& trees, const QList<ChapterRow>& rows);
void buildChapterTree(TCheckTree* tree, const QList<ChapterRow>& rows);

// Opens table ZhangJie on the query and returns its rows in stored order (a
// null reads as empty text).
QList<ChapterRow> readChapterRows(db::Query& table);

// Opens ZhangJie on the query and builds the trees from it.
void buildChapterTrees(db::Query& table, const QList<TCheckTree*>& trees);

// The texts of the checked section nodes (level 1), top to bottom.
QStringList checkedSectionTexts(const TCheckTree* tree);

} // namespace tolvane::widgets
