#include "autogen/Drawing.h"
#include "tests/autogen/BankFill.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <deque>

using namespace tolvane;
using namespace tolvane::autogen;

namespace tolvane {
void PrintTo(const GeneratedEntry& e, std::ostream* os) {
    *os << "(" << e.TypeID << "," << e.BH << ")";
}
} // namespace tolvane

namespace {

// Draws as scripted; once the script is used up, each position is swapped
// with itself, so the candidates stay in ascending order.
struct ScriptedRandom : RandomSource {
    std::deque<int> script;
    int reseeds = 0;
    int calls = 0;
    QList<int> sizes; // the n of every draw
    void reseed() override {
        ++reseeds;
        calls = 0;
    }
    int below(int n) override {
        sizes << n;
        const int i = calls++;
        if (script.empty())
            return i % n;
        const int j = script.front();
        script.pop_front();
        return j;
    }
};

struct RecordingProgress : DrawProgress {
    QStringList texts;  // operation texts in order
    QStringList events; // start, finish, abort
    int steps = -1;
    int advances = 0;
    void start() override { events << "start"; }
    void setOperation(const QString& text) override { texts << text; }
    void setSteps(int n) override { steps = n; }
    void advance(int n) override { advances += n; }
    void finish() override { events << "finish"; }
    void abort() override { events << "abort"; }
};

const QString kA = "1.1  Sounds";
const QString kB = "1.2  Words";
const QString kC = "1.3  Phrases";

struct Draw {
    test::TestBank bank;
    test::MessageRecorder messages;
    ScriptedRandom random;
    RecordingProgress progress;
    GeneratedTestList test{GeneratedEntry{9, 9}}; // a paper left from before
    db::Query range{&bank.connection()};
    db::Query draw{&bank.connection()};

    void add(const QString& table, int typeId, int number, const QString& chapter, int ny = 12) {
        test::addQuestion(bank, table, typeId, number, chapter, ny);
    }
    bool run(const GenerationRequest& request, const QStringList& sections) {
        return generateTest(request, sections, range, draw, random, progress, test);
    }
};

GenerationRequest ask(int totalMark) {
    GenerationRequest r;
    r.totalMark = totalMark;
    return r;
}

const QString kGenerated = "Test paper successfully generated!";
const QString kMarksText =
    "Sum of individual marks not equal to Total mark, Please re-enter individual marks!";

} // namespace

TEST(Drawing, MarkCheckComparesTheTotalWithCountTimesMark) {
    struct Case {
        const char* name;
        int easy, mark, total;
        bool passes;
    } cases[] = {
        {"five easy at 20 make 100", 5, 20, 100, true},
        {"five easy at 20 are not 99", 5, 20, 99, false},
        {"nothing asked with total 0", 0, 0, 0, true},
        // 65536 x 65536 wraps to 0 in 32 bits.
        {"a huge count does not wrap", 65536, 65536, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Draw d;
        for (int i = 0; i < 5; ++i)
            d.add("XuanZeTi", 1, 0, kA);
        GenerationRequest r = ask(c.total);
        r.rows[0].counts[Easy] = c.easy;
        r.rows[0].mark = c.mark;
        EXPECT_EQ(d.run(r, {kA}), c.passes);
        if (c.passes) {
            EXPECT_EQ(d.test.size(), c.easy);
            EXPECT_EQ(d.messages.texts(), QStringList{kGenerated});
            EXPECT_EQ(d.messages.last().caption, "Successful");
            EXPECT_EQ(d.messages.last().icon, MsgIcon::Information);
            EXPECT_EQ(d.progress.events, QStringList({"start", "finish"}));
        } else {
            EXPECT_TRUE(d.test.isEmpty());
            ASSERT_EQ(d.messages.count(), 1);
            EXPECT_EQ(d.messages.last().text, kMarksText);
            EXPECT_EQ(d.messages.last().caption, "Total mark inconsistency");
            EXPECT_EQ(d.messages.last().icon, MsgIcon::Error);
            EXPECT_EQ(d.progress.events, QStringList({"start", "abort"}));
            EXPECT_EQ(d.progress.texts, QStringList{"Initializing parameters..."});
        }
    }
}

TEST(Drawing, BadRequestsAreRefusedBeforeAnythingIsDrawn) {
    struct Case {
        const char* name;
        int row, column, value; // column 3 is the mark; row -1 the total
        const char* text;
    } cases[] = {
        {"negative count", 3, Medium, -2,
         "The number of medium Type 4 questions cannot be negative."},
        {"negative mark", 1, 3, -5, "The mark of a Fill-in-Blank question cannot be negative."},
        {"negative total", -1, 0, -1, "The total mark cannot be negative."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Draw d;
        GenerationRequest r = ask(0);
        if (c.row < 0)
            r.totalMark = c.value;
        else if (c.column == 3)
            r.rows[c.row].mark = c.value;
        else
            r.rows[c.row].counts[c.column] = c.value;
        EXPECT_FALSE(d.run(r, {}));
        EXPECT_TRUE(d.test.isEmpty());
        EXPECT_EQ(d.messages.texts(), QStringList{c.text});
        EXPECT_TRUE(d.progress.events.isEmpty());
    }
    // A paper of more questions than any paper holds would only exhaust
    // memory.
    Draw d;
    GenerationRequest r = ask(0);
    r.rows[0].counts[Easy] = 2000000000;
    EXPECT_FALSE(d.run(r, {}));
    EXPECT_TRUE(d.test.isEmpty());
    ASSERT_EQ(d.messages.count(), 1);
    EXPECT_TRUE(d.messages.last().text.startsWith("A paper can hold at most 10000 questions"));
    EXPECT_EQ(d.progress.events, QStringList({"start", "abort"}));
}

TEST(Drawing, EachSectionGivesOneQuestionToThePaperAcrossTypes) {
    Draw d;
    for (const QString& s : {kA, kA, kB, kB, kC, kC}) {
        d.add("XuanZeTi", 1, 0, s);
        d.add("TianKong", 2, 0, s);
    }
    GenerationRequest r = ask(100);
    r.rows[0].counts[Easy] = 2;
    r.rows[0].mark = 25;
    r.rows[1].counts[Easy] = 2;
    r.rows[1].mark = 25;
    ASSERT_TRUE(d.run(r, {kA, kB, kC}));
    // Two multiple-choice questions from A and B, one fill-in-blank from C,
    // the last the first easy fill-in-blank question of the table.
    EXPECT_EQ(d.test, GeneratedTestList({{1, 1}, {1, 3}, {2, 5}, {2, 1}}));
    EXPECT_EQ(d.progress.texts,
              QStringList({"Initializing parameters...",
                           "Drawing Multiple-choice questions covering unrepeated chapters...",
                           "Drawing Fill-in-Blank questions covering unrepeated chapters...",
                           "Not enough questions for unrepeated chapters, redeeming Fill-in-Blank "
                           "questions..."}));
    EXPECT_EQ(d.progress.steps, 4);
    EXPECT_EQ(d.progress.advances, 4);
    EXPECT_EQ(d.random.reseeds, 2);
    EXPECT_EQ(d.messages.texts(), QStringList{kGenerated});

    // A second generation has every section to draw from again.
    ASSERT_TRUE(d.run(r, {kA, kB, kC}));
    EXPECT_EQ(d.test, GeneratedTestList({{1, 1}, {1, 3}, {2, 5}, {2, 1}}));
}

TEST(Drawing, ShuffleSwapsEveryPositionWithAnyPositionOfTheList) {
    ScriptedRandom random;
    random.script = {3, 3, 0, 1};
    std::vector<int> list{10, 11, 12, 13};
    shuffleCandidates(list, random);
    // [13,11,12,10] -> [13,10,12,11] -> [12,10,13,11] -> [12,11,13,10]
    EXPECT_EQ(list, std::vector<int>({12, 11, 13, 10}));
    EXPECT_EQ(random.sizes, QList<int>({4, 4, 4, 4}));
}

TEST(Drawing, CandidatesAreEveryNumberOfTheRangeInShuffledOrder) {
    Draw d;
    // Numbers 3, 4, 6, 7 and 8 were deleted.
    d.add("XuanZeTi", 1, 1, kA);
    d.add("XuanZeTi", 1, 2, kB);
    d.add("XuanZeTi", 1, 5, kC);
    d.add("XuanZeTi", 1, 9, "1.4  Idioms");
    // Reverses the nine numbers: the first four swaps mirror, the rest stay.
    d.random.script = {8, 7, 6, 5, 4, 5, 6, 7, 8};
    GenerationRequest r = ask(100);
    r.rows[0].counts[Easy] = 4;
    r.rows[0].mark = 25;
    ASSERT_TRUE(d.run(r, {kA, kB, kC, "1.4  Idioms"}));
    EXPECT_EQ(d.random.sizes, QList<int>(9, 9));
    EXPECT_EQ(d.test, GeneratedTestList({{1, 9}, {1, 5}, {1, 2}, {1, 1}}));
}

TEST(Drawing, WithoutSectionsEveryTypeIsRedeemedInTableOrderEasyFirst) {
    Draw d;
    d.add("XuanZeTi", 1, 1, kA, 14);
    d.add("XuanZeTi", 1, 2, kA, 12);
    d.add("XuanZeTi", 1, 3, kA, 13);
    d.add("XuanZeTi", 1, 4, kA, 12);
    const struct {
        const char* table;
        int typeId;
    } others[] = {
        {"TianKong", 2}, {"JianDaTi", 3}, {"YuanLiLunShu", 5}, {"XiTongSheJi", 4}, {"XiTongCZ", 6}};
    for (const auto& o : others)
        d.add(o.table, o.typeId, 7, kA);
    GenerationRequest r = ask(100);
    r.rows[0].counts = {1, 1, 1};
    r.rows[0].mark = 10;
    for (int row = 1; row < 6; ++row) {
        r.rows[row].counts[Easy] = 1;
        r.rows[row].mark = 14;
    }
    ASSERT_TRUE(d.run(r, {}));
    EXPECT_EQ(d.test,
              GeneratedTestList({{1, 2}, {1, 3}, {1, 1}, {2, 7}, {3, 7}, {5, 7}, {4, 7}, {6, 7}}));
    QStringList texts{"Initializing parameters..."};
    for (const char* type :
         {"Multiple-choice", "Fill-in-Blank", "Type 3", "Type 4", "Type 5", "Type 6"})
        texts << QString("Drawing %1 questions covering unrepeated chapters...").arg(type)
              << QString("Not enough questions for unrepeated chapters, redeeming %1 questions...")
                     .arg(type);
    EXPECT_EQ(d.progress.texts, texts);
}

TEST(Drawing, SectionsMatchTheChapterTextExactly) {
    Draw d;
    d.add("XuanZeTi", 1, 1, "1.10  Sounds");
    d.add("XuanZeTi", 1, 2, "1.1  sounds");
    d.add("XuanZeTi", 1, 3, kA);
    d.add("XuanZeTi", 1, 4, QString(), 12); // no chapter at all
    d.add("XuanZeTi", 1, 5, kB, 15);        // no difficulty of the three
    GenerationRequest r = ask(20);
    r.rows[0].counts[Easy] = 2;
    r.rows[0].mark = 10;
    ASSERT_TRUE(d.run(r, {kA, kB}));
    // Only 3 covers its section; the rest is redeemed in table order.
    EXPECT_EQ(d.test, GeneratedTestList({{1, 3}, {1, 1}}));
}

TEST(Drawing, AQuestionIsNeverTakenTwice) {
    Draw d;
    d.add("XuanZeTi", 1, 1, kA);
    d.add("XuanZeTi", 1, 2, kA);
    d.add("XuanZeTi", 1, 3, kB);
    GenerationRequest r = ask(30);
    r.rows[0].counts[Easy] = 3;
    r.rows[0].mark = 10;
    ASSERT_TRUE(d.run(r, {kA}));
    EXPECT_EQ(d.test, GeneratedTestList({{1, 1}, {1, 2}, {1, 3}}));
}

TEST(Drawing, AShortBankLeavesEmptyPlacesAtTheEndAndSaysSo) {
    Draw d;
    for (int i = 0; i < 3; ++i)
        d.add("XuanZeTi", 1, 0, kA);
    d.add("TianKong", 2, 0, kB);
    d.add("TianKong", 2, 0, kB, 13);
    GenerationRequest r = ask(70);
    r.rows[0].counts[Easy] = 5;
    r.rows[0].mark = 10;
    r.rows[1].counts = {1, 0, 1};
    r.rows[1].mark = 10;
    ASSERT_TRUE(d.run(r, {kA, kB}));
    EXPECT_EQ(d.test, GeneratedTestList({{1, 1}, {1, 2}, {1, 3}, {2, 1}, {}, {}, {}}));
    EXPECT_EQ(d.progress.steps, 7);
    EXPECT_EQ(d.progress.advances, 4);
    ASSERT_EQ(d.messages.count(), 2);
    EXPECT_EQ(d.messages.messages()[0].text, kGenerated);
    EXPECT_EQ(d.messages.last().text,
              "The question bank could not fill 3 of the places asked for, so the paper is "
              "shorter than requested. Missing: 2 easy Multiple-choice, 1 hard Fill-in-Blank.");
    EXPECT_EQ(d.messages.last().icon, MsgIcon::None);
}

TEST(Drawing, AnEmptyTableEndsTheGenerationWithAMessageNamingTheType) {
    Draw d;
    d.add("XuanZeTi", 1, 0, kA);
    GenerationRequest r = ask(100);
    r.rows[0].counts[Easy] = 1;
    r.rows[0].mark = 50;
    r.rows[3].counts[Hard] = 1; // Type 4, which has no question
    r.rows[3].mark = 50;
    EXPECT_FALSE(d.run(r, {kA}));
    EXPECT_TRUE(d.test.isEmpty());
    ASSERT_EQ(d.messages.count(), 1);
    EXPECT_TRUE(d.messages.last().text.startsWith("The question bank holds no Type 4 questions"));
    EXPECT_EQ(d.messages.last().icon, MsgIcon::Error);
    EXPECT_EQ(d.progress.events, QStringList({"start", "abort"}));
}

TEST(Drawing, StatisticsCountEachTypeAndDifficulty) {
    Draw d;
    d.add("XuanZeTi", 1, 0, kA, 12);
    d.add("XuanZeTi", 1, 0, kA, 12);
    d.add("XuanZeTi", 1, 0, kA, 14);
    d.add("XuanZeTi", 1, 0, kA, 15);
    d.add("YuanLiLunShu", 5, 0, kA, 13);
    const BankStatistics counts = countQuestions(d.range);
    EXPECT_EQ(counts[0], (std::array<int, 3>{2, 0, 1}));
    EXPECT_EQ(counts[3], (std::array<int, 3>{0, 1, 0}));
    EXPECT_EQ(counts[4], (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(d.range.sql(), "SELECT 1 FROM XiTongCZ WHERE NY=14");
}

TEST(Drawing, TwoGenerationsInTheSameSecondDrawIndependently) {
    ClockRandom first, second;
    first.reseed();
    second.reseed();
    QList<int> a, b;
    for (int i = 0; i < 8; ++i) {
        a << first.below(1000000000);
        b << second.below(1000000000);
    }
    EXPECT_NE(a, b);
}
