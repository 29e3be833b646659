#include "tests/support/TestBank.h"
#include "widgets/ChapterTree.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tolvane;
using namespace tolvane::widgets;

namespace {

// The tree as lines: a section is written "- " and its text under its chapter.
// Every node must be collapsed and unchecked.
QStringList dump(TCheckTree& tree) {
    QStringList lines;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree.topLevelItem(i);
        EXPECT_FALSE(top->isExpanded()) << top->text(0).toStdString();
        EXPECT_EQ(tree.GetNodeState(top), csUnchecked);
        lines << top->text(0);
        for (int j = 0; j < top->childCount(); ++j) {
            QTreeWidgetItem* child = top->child(j);
            EXPECT_EQ(child->childCount(), 0);
            EXPECT_EQ(tree.GetNodeState(child), csUnchecked);
            lines << QStringLiteral("- ") + child->text(0);
        }
    }
    return lines;
}

struct BuildCase {
    const char* name;
    QLocale locale;
    QList<ChapterRow> rows; // in stored order
    QStringList nodes;      // expected, or empty with an error
    const char* error = nullptr;
};

class ChapterTreeBuild : public ::testing::Test {
protected:
    test::TestBank bank;
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void store(const QList<ChapterRow>& rows) {
        bank.exec(QStringLiteral("DELETE FROM ZhangJie"));
        db::Query insert(&bank.connection());
        insert.setSql(QStringLiteral("INSERT INTO ZhangJie (ZJ, ZJName) VALUES (:zj, :name)"));
        for (const ChapterRow& row : rows) {
            insert.bindText(QStringLiteral("zj"), row.code);
            insert.bindText(QStringLiteral("name"), row.name);
            insert.execSql();
        }
    }
};

const QLocale kC = QLocale::c();
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kMarathi(QLocale::Marathi, QLocale::India);

} // namespace

TEST_F(ChapterTreeBuild, BuildsBothTreesFromTheTable) {
    const QList<BuildCase> cases = {
        {"stored out of order",
         kC,
         {{"2", "Two"}, {"1.2", "Sec 12"}, {"1", "One"}, {"1.1", "Sec 11"}},
         {"1  One", "- 1.1  Sec 11", "- 1.2  Sec 12", "2  Two"}},
        {"section before any chapter stays at the top",
         kC,
         {{"1", "One"}, {"0.5", "Intro"}, {"1.1", "Sec 11"}},
         {"0.5  Intro", "1  One", "- 1.1  Sec 11"}},
        {"1.1 and 1.10 are one number",
         kC,
         {{"1", "One"}, {"1.10", "Ten"}, {"1.1", "Eleven"}},
         {"1  One", "- 1.1  Ten", "- 1.1  Eleven"}},
        {"shortest decimal form",
         kC,
         {{"03.20", "Sec 32"}, {"3.0", "Three"}, {" 4 ", "Four"}},
         {"3  Three", "- 3.2  Sec 32", "4  Four"}},
        // The swap of the selection sort carries an equal number past its twin.
        {"equal numbers may change order",
         kC,
         {{"1.1", "a"}, {"1.1", "b"}, {"1", "c"}},
         {"1  c", "- 1.1  b", "- 1.1  a"}},
        {"empty table", kC, {}, {}},
        {"comma locale",
         kGerman,
         {{"2", "Zwei"}, {"1,5", "Abschnitt"}, {"1", "Eins"}},
         {"1  Eins", "- 1,5  Abschnitt", "2  Zwei"}},
        // A locale with digits of its own still writes the codes as stored.
        {"plain digits where the locale has its own",
         kMarathi,
         {{"2", "Two"}, {"1.10", "Sec"}, {"1", "One"}},
         {"1  One", "- 1.1  Sec", "2  Two"}},
        {"malformed code", kC, {{"1", "One"}, {"1.x", "Bad"}}, {}, "'1.x'"},
        {"two separators", kC, {{"1.2.3", "Bad"}}, {}, "'1.2.3'"},
        {"empty code", kC, {{"1", "One"}, {"", "Blank"}}, {}, "''"},
        {"group separator is no decimal", kC, {{"1,234", "Bad"}}, {}, "'1,234'"},
        {"point in a comma locale", kGerman, {{"1", "Eins"}, {"1.5", "Bad"}}, {}, "'1.5'"},
        {"not finite", kC, {{"inf", "Bad"}}, {}, "'inf'"},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(c.name);
        QLocale::setDefault(c.locale);
        store(c.rows);
        TCheckTree first;
        TCheckTree second;
        db::Query table(&bank.connection());
        if (c.error) {
            try {
                buildChapterTrees(table, {&first, &second});
                ADD_FAILURE() << "no error";
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
            }
        } else {
            buildChapterTrees(table, {&first, &second});
        }
        EXPECT_EQ(dump(first), c.nodes);
        EXPECT_EQ(dump(second), c.nodes);
    }
}

TEST_F(ChapterTreeBuild, RebuildingReplacesTheNodesAndAnErrorKeepsThem) {
    TCheckTree tree;
    buildChapterTree(&tree, {{"1", "One"}, {"1.1", "Sec"}});
    buildChapterTree(&tree, {{"2", "Two"}});
    EXPECT_EQ(dump(tree), QStringList({"2  Two"}));
    EXPECT_THROW(buildChapterTree(&tree, {{"x", "Bad"}}), std::runtime_error);
    EXPECT_EQ(dump(tree), QStringList({"2  Two"}));
}

TEST(ChapterTreeRead, CheckedSectionsInTreeOrder) {
    TCheckTree tree;
    buildChapterTree(&tree, {{"1", "One"}, {"1.1", "A"}, {"1.2", "B"}, {"2", "Two"}, {"2.1", "C"}});
    tree.ToggleNode(tree.topLevelItem(1));           // chapter 2: ticks 2.1 by cascade
    tree.ToggleNode(tree.topLevelItem(0)->child(1)); // 1.2
    EXPECT_EQ(checkedSectionTexts(&tree), QStringList({"1.2  B", "2.1  C"}));
}
