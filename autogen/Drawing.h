#pragma once

#include "autogen/GeneratedTest.h"
#include "core/Progress.h"
#include "db/Query.h"

#include <QString>
#include <QStringList>

#include <array>
#include <random>
#include <vector>

namespace tolvane::autogen {

// The difficulties in the order every request and every pass takes them,
// and their codes (NY) in the bank.
enum Difficulty { Easy = 0, Medium = 1, Hard = 2 };
constexpr std::array<int, 3> kDifficultyCodes{12, 13, 14};
// The difficulty of a code, or -1 for a code that is none of the three.
int difficultyOfCode(qint64 code);

// One setup row: a question type in the order the page shows the types and
// a paper lists them (type codes 1, 2, 3, 5, 4, 6).
struct SetupRow {
    const char* table;
    int typeId;
    const char* typeText; // the type as the progress texts name it
};
extern const std::array<SetupRow, 6> kSetupRows;
// The setup row of a type code, or -1 for none.
int setupRowOf(int typeId);

// What the lecturer asks of one type: how many easy, medium and hard
// questions, and the mark of one question.
struct RowRequest {
    std::array<int, 3> counts{};
    int mark = 0;
    qint64 requested() const { return qint64(counts[0]) + counts[1] + counts[2]; }
};

// The whole request of a generation, as the page's spin edits hold it.
struct GenerationRequest {
    std::array<RowRequest, 6> rows{};
    int totalMark = 100;

    qint64 requestedCount() const;
    // The sum over the rows of count times mark. Wide enough that no pair
    // of 32-bit values can wrap it: a huge count must never make the marks
    // appear to add up.
    __int128 allocatedMarks() const;
    bool marksAddUp() const { return allocatedMarks() == totalMark; }
    // Easy marks, twice the medium marks and three times the hard marks,
    // held at the limits of 64 bits.
    qint64 difficultyWeight() const;
    // A sentence naming the first negative count or mark, or an empty
    // string when there is none.
    QString negativeValue() const;
};

// The hint on the mark edits: the total mark and the marks not yet given
// out (negative when more are given out than the total).
QString markHint(const GenerationRequest& request);

// The most questions one paper may ask for.
constexpr qint64 kMaxPaperQuestions = 10000;
// The widest range of question numbers a type may span to be drawn from.
constexpr qint64 kMaxCandidates = 20000000;

// The random draws of a generation.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Called before each candidate list is shuffled.
    virtual void reseed() = 0;
    // A whole number drawn uniformly from 0 to n - 1 (n > 0).
    virtual int below(int n) = 0;
};

// Reseeded from the system's entropy and a high-resolution clock each time,
// so that two generations within the same second draw independently.
class ClockRandom : public RandomSource {
public:
    void reseed() override;
    int below(int n) override;

private:
    std::mt19937_64 m_engine;
};

// Shuffles a candidate list: every position, first to last, is swapped with
// a position drawn uniformly from the whole list.
void shuffleCandidates(std::vector<int>& candidates, RandomSource& random);

// What a generation shows while it works.
using DrawProgress = Progress;

// The bank statistics: questions per setup row and difficulty.
using BankStatistics = std::array<std::array<int, 3>, 6>;
// Counts them with one statement per row and difficulty on `query`.
BankStatistics countQuestions(db::Query& query);
// Of those, the ones the last `papers` saved papers hold (none for 0).
BankStatistics countRecentQuestions(db::Query& query, int papers);

// The difficulty weight of the questions a drawn paper holds, as it is
// saved: each filled place adds its mark in `request` once for an easy
// question, twice for a medium one and three times for a hard one, by the
// question's own difficulty, read from its table through `query`. Places the
// bank could not fill are not saved and add nothing, nor does a question gone
// from its table. For a paper the bank filled this is the request's weight.
qint64 drawnWeight(db::Query& query, const GeneratedTestList& test,
                   const GenerationRequest& request);

// Questions the bank could not supply, per setup row and difficulty.
using Shortfall = std::array<std::array<qint64, 3>, 6>;
// The message for a paper that stayed short, or an empty string.
QString shortfallText(const Shortfall& missing);

// What a generation asks beyond the request. With the defaults it draws
// one paper and knows nothing of the saved ones.
struct DrawOptions {
    // Questions of the papers saved last are taken only where no other
    // question can fill a place, the least recently used first; 0 is off.
    int recentPapers = 0;
    // Also draw paper B to the same request, preferring questions not in
    // paper A and sharing at most this share of A's questions.
    bool paperB = false;
    int overlapPercent = 30;

    // A sentence naming a value out of its range, or an empty string.
    QString invalidValue() const;
};

// Places per setup row and difficulty that had to take a question the draw
// would rather have left out.
using ReusedPlaces = std::array<std::array<qint64, 3>, 6>;
// The message for places that reused a question of the last `papers`
// papers, or an empty string.
QString reuseText(const ReusedPlaces& reused, int papers);

// The most of paper A's `questionsOfA` questions paper B may share.
qint64 overlapLimit(qint64 questionsOfA, int overlapPercent);

// One generation: checks the request, draws each requested type from the
// bank into `test` (covering the checked sections first, then redeeming the
// shortfall in table order), shows its progress and tells the lecturer the
// outcome. `sections` are the texts of the checked sections in the tree's
// order. Range statements run on `rangeQuery`, every other one on
// `drawQuery`. Returns whether a test was generated; when not, `test` is
// empty and the progress has been closed.
bool generateTest(const GenerationRequest& request, const QStringList& sections,
                  db::Query& rangeQuery, db::Query& drawQuery, RandomSource& random,
                  DrawProgress& progress, GeneratedTestList& test);
// The same with `options`; paper B, when asked for, goes to `testB`, which
// is emptied otherwise. A paper A short of questions leaves B to the same
// rules: B's shortfall and what it shares with A are told after A's.
bool generateTest(const GenerationRequest& request, const QStringList& sections,
                  db::Query& rangeQuery, db::Query& drawQuery, RandomSource& random,
                  DrawProgress& progress, GeneratedTestList& test, const DrawOptions& options,
                  GeneratedTestList& testB);

} // namespace tolvane::autogen
