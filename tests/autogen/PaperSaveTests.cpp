#include "autogen/Drawing.h"
#include "papers/PaperSave.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tolvane;
using namespace tolvane::papers;

TEST(PaperSave, DifficultyFollowsTheWeight) {
    const struct {
        qint64 weight;
        const char* text;
    } bounds[] = {{0, "Easy"},     {100, "Easy"}, {109, "Easy"}, {110, "Medium"},
                  {190, "Medium"}, {191, "Hard"}, {300, "Hard"}, {-5, "Easy"}};
    for (const auto& b : bounds)
        EXPECT_EQ(paperDifficultyText(b.weight), b.text) << b.weight;

    // The weight of a request: easy marks, twice medium, three times hard.
    struct Row {
        int row, easy, medium, hard, mark;
    };
    const struct {
        std::vector<Row> rows;
        qint64 weight;
        const char* text;
    } requests[] = {
        {{{0, 5, 0, 0, 20}}, 100, "Easy"},
        {{{0, 0, 5, 0, 11}}, 110, "Medium"},
        {{{0, 0, 5, 0, 10}, {1, 1, 0, 0, 9}}, 109, "Easy"},
        {{{0, 1, 7, 2, 10}}, 210, "Hard"},
        {{{0, 1, 8, 1, 10}}, 200, "Hard"},
        {{{0, 2, 8, 0, 10}}, 180, "Medium"},
        {{{0, 10, 0, 0, 20}}, 200, "Hard"},
        // Far beyond 64 bits: held at the limit, never wrapped round.
        {{{0, 0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()},
          {1, 0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()},
          {2, 0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()}},
         std::numeric_limits<qint64>::max(),
         "Hard"},
    };
    for (const auto& r : requests) {
        autogen::GenerationRequest request;
        for (const Row& row : r.rows) {
            request.rows[row.row].counts = {row.easy, row.medium, row.hard};
            request.rows[row.row].mark = row.mark;
        }
        EXPECT_EQ(request.difficultyWeight(), r.weight);
        EXPECT_EQ(paperDifficultyText(request.difficultyWeight()), r.text);
    }
}

TEST(PaperSave, IdentifierIsTheLocalDateAndTimeWithoutZone) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QDate day(2026, 12, 10);
    EXPECT_EQ(paperIdentifier(QDateTime(day, QTime(13, 5, 9, 700)), us), "12/10/26 1:05:09 PM");
    EXPECT_EQ(paperIdentifier(QDateTime(day, QTime(13, 5, 9)), de), "10.12.26 13:05:09");
    EXPECT_EQ(paperIdentifier(QDateTime(day, QTime(0, 0)), us), "12/10/26");
    EXPECT_EQ(paperIdentifier(QDateTime(day, QTime(0, 0, 1)), de), "10.12.26 00:00:01");
}

namespace {

struct SaveFixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    db::Query query{&bank.connection()};

    PaperRecord paper(const QString& id, QList<PaperQuestion> questions) {
        return PaperRecord{id, "admin", "Easy", questions};
    }
    QStringList rows(const QString& sql) { return bank.rows(sql); }
};

const QString kFailure = "Unknow error in saving test, database submission failed!";

} // namespace

TEST(PaperSave, WritesThePaperAndItsQuestionsInOrder) {
    SaveFixture f;
    ASSERT_TRUE(f.query.connection());
    EXPECT_TRUE(savePaper(f.query, f.paper("P1", {{1, 4, 10}, {5, 2, 30}, {4, 2, 50}}), kFailure));
    EXPECT_EQ(f.messages.count(), 0);
    EXPECT_EQ(f.rows("SELECT * FROM SJ"), QStringList{"P1|admin|Easy"});
    EXPECT_EQ(f.rows("SELECT * FROM SJT ORDER BY rowid"),
              QStringList({"P1|1|4|10", "P1|5|2|30", "P1|4|2|50"}));
    EXPECT_FALSE(f.bank.connection().inTransaction());
}

TEST(PaperSave, ARefusedQuestionRowLeavesNothingOfThePaper) {
    SaveFixture f;
    ASSERT_TRUE(savePaper(f.query, f.paper("P0", {{1, 1, 10}}), kFailure));
    f.bank.exec("CREATE TRIGGER refuse BEFORE INSERT ON SJT WHEN NEW.BH = 99 "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    EXPECT_FALSE(
        savePaper(f.query, f.paper("P1", {{1, 4, 10}, {1, 99, 10}, {1, 5, 10}}), kFailure));
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, kFailure);
    EXPECT_EQ(f.messages.last().caption, "Submission failure");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    EXPECT_EQ(f.rows("SELECT SJDH FROM SJ"), QStringList{"P0"});
    EXPECT_EQ(f.rows("SELECT SJDH, BH FROM SJT"), QStringList{"P0|1"});
    EXPECT_FALSE(f.bank.connection().inTransaction());
    // The query is usable again at once.
    f.bank.exec("DROP TRIGGER refuse");
    EXPECT_TRUE(savePaper(f.query, f.paper("P1", {{1, 4, 10}}), kFailure));
}

TEST(PaperSave, ARefusedPaperRowKeepsTheEarlierPaperWithTheSameIdentifier) {
    SaveFixture f;
    ASSERT_TRUE(savePaper(f.query, f.paper("P1", {{1, 1, 10}, {1, 2, 10}}), kFailure));
    EXPECT_FALSE(savePaper(f.query, f.paper("P1", {{2, 7, 20}}), kFailure));
    EXPECT_EQ(f.messages.texts(), QStringList{kFailure});
    EXPECT_EQ(f.rows("SELECT * FROM SJ"), QStringList{"P1|admin|Easy"});
    EXPECT_EQ(f.rows("SELECT * FROM SJT ORDER BY rowid"), QStringList({"P1|1|1|10", "P1|1|2|10"}));
}
