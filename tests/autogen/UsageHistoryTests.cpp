#include "autogen/Drawing.h"
#include "papers/PaperSave.h"
#include "papers/UsageHistory.h"
#include "tests/autogen/BankFill.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

using namespace tolvane;
using namespace tolvane::autogen;
using namespace tolvane::papers;

namespace {

// Leaves the candidates in ascending order: each position swaps with itself.
struct InOrder : RandomSource {
    int calls = 0;
    void reseed() override { calls = 0; }
    int below(int n) override { return calls++ % n; }
};

struct Silent : DrawProgress {
    void start() override {}
    void setOperation(const QString&) override {}
    void setSteps(int) override {}
    void advance(int) override {}
    void finish() override {}
    void abort() override {}
};

const QString kA = "1.1  Sounds";
const QString kB = "1.2  Words";
const QString kC = "1.3  Phrases";
const QString kGenerated = "Test paper successfully generated!";

struct History {
    test::TestBank bank;
    test::MessageRecorder messages;
    InOrder random;
    Silent progress;
    GeneratedTestList test;
    GeneratedTestList testB;
    db::Query range{&bank.connection()};
    db::Query draw{&bank.connection()};

    // Easy multiple-choice questions numbered 1.. in the given sections.
    void addQuestions(const QStringList& sections) {
        for (const QString& s : sections)
            test::addQuestion(bank, "XuanZeTi", 1, 0, s, 12);
    }
    // A saved paper of multiple-choice questions.
    void savePaper(const QString& id, const QList<int>& numbers) {
        PaperRecord paper{id, "admin", "Easy", {}};
        for (int n : numbers)
            paper.questions.append({1, n, 10});
        ASSERT_TRUE(papers::savePaper(draw, paper, "failed"));
    }
    bool run(int easy, const QStringList& sections, const DrawOptions& options) {
        GenerationRequest r;
        r.rows[0].counts[Easy] = easy;
        r.rows[0].mark = 10;
        r.totalMark = 10 * easy;
        messages.clear();
        return generateTest(r, sections, range, draw, random, progress, test, options, testB);
    }
    static QList<int> numbers(const GeneratedTestList& list) {
        QList<int> n;
        for (const GeneratedEntry& e : list)
            n << e.BH;
        return n;
    }
};

DrawOptions recent(int papers) {
    DrawOptions o;
    o.recentPapers = papers;
    return o;
}

DrawOptions pair(int overlap, int papers = 0) {
    DrawOptions o;
    o.recentPapers = papers;
    o.paperB = true;
    o.overlapPercent = overlap;
    return o;
}

} // namespace

TEST(UsageHistory, PapersAreInTheOrderTheyWereSavedWhateverTheirIdentifiers) {
    History h;
    h.addQuestions({kA, kA, kA, kA});
    // In text order these would run the other way round.
    h.savePaper("9/30/26 10:00:00 AM", {1, 2});
    h.savePaper("12/1/26 9:00:00 AM", {2, 3});
    h.savePaper("10/15/26 8:00:00 AM", {4});
    db::Query q(&h.bank.connection());
    EXPECT_EQ(papersInSavedOrder(q),
              QStringList({"9/30/26 10:00:00 AM", "12/1/26 9:00:00 AM", "10/15/26 8:00:00 AM"}));

    // Recency: 1 for the oldest paper read, up to the count for the newest.
    const RecentUse two = RecentUse::ofLastPapers(q, 2);
    EXPECT_EQ(two.paperCount(), 2);
    EXPECT_EQ(two.size(), 3);
    EXPECT_EQ(two.recency(1, 1), 0);
    EXPECT_EQ(two.recency(1, 2), 1);
    EXPECT_EQ(two.recency(1, 3), 1);
    EXPECT_EQ(two.recency(1, 4), 2);
    EXPECT_EQ(two.recency(2, 4), 0) << "the same number of another type";
    // More papers asked for than saved: all of them.
    const RecentUse all = RecentUse::ofLastPapers(q, 50);
    EXPECT_EQ(all.paperCount(), 3);
    EXPECT_EQ(all.recency(1, 1), 1);
    EXPECT_EQ(all.recency(1, 2), 2) << "its latest use counts";
    EXPECT_TRUE(RecentUse::ofLastPapers(q, 0).isEmpty());

    // A deleted paper no longer counts; a new one is the newest even when
    // it takes the place of the last one.
    h.bank.exec("DELETE FROM SJ WHERE SJDH='10/15/26 8:00:00 AM'");
    h.bank.exec("DELETE FROM SJT WHERE SJDH='10/15/26 8:00:00 AM'");
    h.savePaper("1/1/26 7:00:00 AM", {1});
    EXPECT_EQ(papersInSavedOrder(q).last(), "1/1/26 7:00:00 AM");
    EXPECT_EQ(RecentUse::ofLastPapers(q, 1).recency(1, 1), 1);
    EXPECT_EQ(RecentUse::ofLastPapers(q, 1).size(), 1);

    // The last use of one question and how many papers hold it.
    EXPECT_EQ(questionUseText(questionUse(q, 1, 2)),
              "Last used: 12/1/26 9:00:00 AM (in 2 saved papers)");
    EXPECT_EQ(questionUseText(questionUse(q, 1, 1)), "Last used: 1/1/26 7:00:00 AM (in 2 saved "
                                                     "papers)");
    EXPECT_EQ(questionUseText(questionUse(q, 1, 3)), "Last used: 12/1/26 9:00:00 AM (in 1 saved "
                                                     "paper)");
    EXPECT_EQ(questionUseText(questionUse(q, 1, 4)), "Last used: never used");
}

TEST(UsageHistory, RecentQuestionsAreLeftOutWhileFreshOnesCanFillThePlaces) {
    struct Case {
        const char* name;
        int papers;         // N
        QList<int> drawn;   // in order
        const char* reused; // the message after the success, or none
    } cases[] = {
        // Papers: 1 and 2 in the oldest, 3 and 4 in the newest. Questions
        // 5 and 6 were never used.
        {"off: the draw knows no history", 0, {1, 2, 3}, nullptr},
        {"the last paper left out", 1, {1, 2, 6}, nullptr},
        // Only 5 and 6 are fresh: the least recently used (1) is taken
        // next, and the lecturer is told.
        {"both papers left out: one place reuses",
         2,
         {5, 6, 1},
         "1 place of the paper had to take a question used in the last 2 papers, as no other "
         "question could fill it: 1 easy Multiple-choice."},
        {"more papers than saved",
         9,
         {5, 6, 1},
         "1 place of the paper had to take a question used in the last 2 papers, as no other "
         "question could fill it: 1 easy Multiple-choice."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        History h;
        h.addQuestions({kA, kB, kC, kA, kB, kC});
        h.savePaper("P1", {1, 2});
        h.savePaper("P2", {3, 4});
        // Sections A, B and C: the covering takes one question of each.
        ASSERT_TRUE(h.run(3, {kA, kB, kC}, recent(c.papers)));
        EXPECT_EQ(History::numbers(h.test), c.drawn);
        QStringList expected{kGenerated};
        if (c.reused)
            expected << c.reused;
        EXPECT_EQ(h.messages.texts(), expected);
        EXPECT_TRUE(h.testB.isEmpty());
    }
}

TEST(UsageHistory, ReusedQuestionsComeLeastRecentlyUsedFirst) {
    History h;
    h.addQuestions({kA, kA, kA, kA, kA});
    h.savePaper("P1", {5});
    h.savePaper("P2", {1, 2});
    h.savePaper("P3", {3});
    // Only 4 is fresh; then 5 (oldest paper), then 1 and 2 in table order.
    ASSERT_TRUE(h.run(4, {}, recent(3)));
    EXPECT_EQ(History::numbers(h.test), QList<int>({4, 5, 1, 2}));
    ASSERT_EQ(h.messages.count(), 2);
    EXPECT_EQ(h.messages.last().text,
              "3 places of the paper had to take a question used in the last 3 papers, as no "
              "other question could fill them: 3 easy Multiple-choice.");
    EXPECT_EQ(h.messages.last().icon, MsgIcon::None);

    // A bank too small even with reuse: the shortfall is told as before.
    ASSERT_TRUE(h.run(6, {}, recent(3)));
    EXPECT_EQ(History::numbers(h.test), QList<int>({4, 5, 1, 2, 3, 0}));
    ASSERT_EQ(h.messages.count(), 3);
    EXPECT_TRUE(h.messages.messages()[1].text.startsWith("The question bank could not fill 1 "));
    EXPECT_TRUE(h.messages.last().text.startsWith("4 places of the paper"));
}

TEST(UsageHistory, PaperBKeepsWithinItsShareOfPaperA) {
    struct Case {
        const char* name;
        int questions; // easy multiple-choice questions in the bank
        int overlap;
        QList<int> b;
        const char* told;
    } cases[] = {
        {"overlap 0, room for both: disjoint",
         6,
         0,
         {4, 5, 6},
         "Paper B shares 0 of the 3 questions of paper A (at most 0 allowed)."},
        {"overlap 0, too few: B stays short and says so",
         4,
         0,
         {4, 0, 0},
         "Paper B shares 0 of the 3 questions of paper A (at most 0 allowed).\n\nPaper B: The "
         "question bank could not fill 2 of the places asked for, so the paper is shorter than "
         "requested. Missing: 2 easy Multiple-choice."},
        // 50 % of 3 is 1.5: one question may be shared.
        {"a limit that forces sharing",
         4,
         50,
         {4, 1, 0},
         "Paper B shares 1 of the 3 questions of paper A (at most 1 allowed).\n\nPaper B: The "
         "question bank could not fill 1 of the places asked for, so the paper is shorter than "
         "requested. Missing: 1 easy Multiple-choice."},
        {"everything allowed: A's questions only where needed",
         4,
         100,
         {4, 1, 2},
         "Paper B shares 2 of the 3 questions of paper A (at most 3 allowed)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        History h;
        for (int i = 0; i < c.questions; ++i)
            h.addQuestions({QStringLiteral("1.%1  Section").arg(i + 1)});
        QStringList sections;
        for (int i = 0; i < c.questions; ++i)
            sections << QStringLiteral("1.%1  Section").arg(i + 1);
        ASSERT_TRUE(h.run(3, sections, pair(c.overlap)));
        EXPECT_EQ(History::numbers(h.test), QList<int>({1, 2, 3}));
        EXPECT_EQ(History::numbers(h.testB), c.b);
        EXPECT_EQ(h.messages.texts(), QStringList({kGenerated, c.told}));
    }
}

TEST(UsageHistory, PaperBAlsoLeavesOutTheRecentPapersBeforeSharingWithA) {
    History h;
    h.addQuestions({kA, kA, kA, kA, kA});
    h.savePaper("P1", {3, 4});
    // A: 1 and 2 fresh. B: 5 fresh, then the recent 3, before any of A's.
    ASSERT_TRUE(h.run(2, {}, pair(100, 1)));
    EXPECT_EQ(History::numbers(h.test), QList<int>({1, 2}));
    ASSERT_TRUE(h.run(3, {}, pair(100, 1)));
    EXPECT_EQ(History::numbers(h.test), QList<int>({1, 2, 5}));
    EXPECT_EQ(History::numbers(h.testB), QList<int>({3, 4, 1}));
    EXPECT_EQ(h.messages.last().text,
              "Paper B shares 1 of the 3 questions of paper A (at most 3 allowed).\n\nPaper B: 2 "
              "places of the paper had to take a question used in the last 1 paper, as no other "
              "question could fill them: 2 easy Multiple-choice.");

    // Out-of-range options are refused before anything is drawn.
    EXPECT_FALSE(h.run(2, {}, pair(101)));
    EXPECT_TRUE(h.test.isEmpty());
    EXPECT_TRUE(h.testB.isEmpty());
    EXPECT_EQ(h.messages.texts(),
              QStringList{"The share of paper A's questions that paper B may hold must be from 0 "
                          "to 100 %."});
    EXPECT_FALSE(h.run(2, {}, recent(-1)));
    EXPECT_EQ(h.messages.last().caption, "Invalid request");
}

TEST(UsageHistory, APairIsSavedWholeOrNotAtAll) {
    History h;
    h.addQuestions({kA, kA, kA});
    const PaperRecord a{"P1", "admin", "Easy", {{1, 1, 10}, {1, 2, 10}}};
    const PaperRecord b{paperBIdentifier("P1"), "admin", "Easy", {{1, 3, 10}, {1, 99, 10}}};
    h.bank.exec("CREATE TRIGGER refuse BEFORE INSERT ON SJT WHEN NEW.BH = 99 "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    EXPECT_FALSE(savePapers(h.draw, {a, b}, "failed"));
    EXPECT_EQ(h.messages.texts(), QStringList{"failed"});
    EXPECT_EQ(h.bank.count("SELECT COUNT(*) FROM SJ"), 0);
    EXPECT_EQ(h.bank.count("SELECT COUNT(*) FROM SJT"), 0);
    EXPECT_FALSE(h.bank.connection().inTransaction());

    h.bank.exec("DROP TRIGGER refuse");
    EXPECT_TRUE(savePapers(h.draw, {a, b}, "failed"));
    EXPECT_EQ(h.bank.rows("SELECT SJDH FROM SJ ORDER BY rowid"), QStringList({"P1", "P1 (B)"}));
    EXPECT_TRUE(isPaperB("P1 (B)"));
    EXPECT_FALSE(isPaperB("P1"));

    // What the two share.
    db::Query q(&h.bank.connection());
    const PaperComparison c = comparePapers(q, "P1", "P1 (B)");
    EXPECT_EQ(c.firstCount, 2);
    EXPECT_EQ(c.secondCount, 2);
    EXPECT_TRUE(c.shared.isEmpty());
    EXPECT_EQ(comparisonText(c), "\"P1\" and \"P1 (B)\" share 0 questions: 0 % of the 2 questions "
                                 "of \"P1\" and 0 % of the 2 questions of \"P1 (B)\".");
}

TEST(UsageHistory, ComparisonCountsTheSharedQuestionsOfEachPaper) {
    History h;
    const PaperRecord a{"A", "admin", "Easy", {{1, 1, 10}, {1, 2, 10}, {5, 2, 10}, {4, 7, 10}}};
    // The same number under another type is another question.
    const PaperRecord b{"B", "admin", "Easy", {{4, 7, 20}, {1, 2, 20}, {4, 2, 20}}};
    ASSERT_TRUE(savePapers(h.draw, {a, b}, "failed"));
    db::Query q(&h.bank.connection());
    const PaperComparison c = comparePapers(q, "A", "B");
    EXPECT_EQ(c.firstCount, 4);
    EXPECT_EQ(c.secondCount, 3);
    ASSERT_EQ(c.shared.size(), 2);
    EXPECT_EQ(comparisonText(c),
              "\"A\" and \"B\" share 2 questions: 50 % of the 4 questions of \"A\" and 67 % of the "
              "3 questions of \"B\".\n\nShared questions (by question number):\n"
              "Multiple-choice: 2\nType 5: 7");
    EXPECT_EQ(percentOf(1, 3), 33);
    EXPECT_EQ(percentOf(0, 0), 0);
}
