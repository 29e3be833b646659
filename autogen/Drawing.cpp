#include "autogen/Drawing.h"

#include "core/Messages.h"
#include "papers/PaperSave.h"
#include "papers/UsageHistory.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>

namespace tolvane::autogen {

const std::array<SetupRow, 6> kSetupRows{{
    {"XuanZeTi", 1, "Multiple-choice"},
    {"TianKong", 2, "Fill-in-Blank"},
    {"JianDaTi", 3, "Type 3"},
    {"YuanLiLunShu", 5, "Type 4"},
    {"XiTongSheJi", 4, "Type 5"},
    {"XiTongCZ", 6, "Type 6"},
}};

int difficultyOfCode(qint64 code) {
    for (int d = 0; d < 3; ++d)
        if (kDifficultyCodes[d] == code)
            return d;
    return -1;
}

int setupRowOf(int typeId) {
    for (int r = 0; r < 6; ++r)
        if (kSetupRows[r].typeId == typeId)
            return r;
    return -1;
}

namespace {

constexpr std::array<const char*, 3> kDifficultyNames{"easy", "medium", "hard"};

// The difficulty of question `number` of setup row `r`, read from its table
// through `query`; -1 for a question gone from it or of no known difficulty.
int difficultyOf(db::Query& query, int r, int number) {
    query.setSql(QStringLiteral("SELECT NY FROM %1 WHERE BH=:BH")
                     .arg(QLatin1String(kSetupRows[size_t(r)].table)));
    query.bindInt(QStringLiteral("BH"), number);
    query.open();
    if (query.isEmpty() || query.isNull(QStringLiteral("NY")))
        return -1;
    return difficultyOfCode(query.fieldInt(QStringLiteral("NY")));
}

} // namespace

qint64 GenerationRequest::requestedCount() const {
    qint64 n = 0;
    for (const RowRequest& row : rows)
        n += row.requested();
    return n;
}

__int128 GenerationRequest::allocatedMarks() const {
    __int128 sum = 0;
    for (const RowRequest& row : rows)
        sum += __int128(row.requested()) * row.mark;
    return sum;
}

qint64 GenerationRequest::difficultyWeight() const {
    __int128 weight = 0;
    for (const RowRequest& row : rows)
        for (int d = 0; d < 3; ++d)
            weight += __int128(d + 1) * row.counts[d] * row.mark;
    return papers::clampTo64(weight);
}

qint64 drawnWeight(db::Query& query, const GeneratedTestList& test,
                   const GenerationRequest& request) {
    __int128 weight = 0;
    db::Transaction snapshot(*query.connection());
    for (const GeneratedEntry& slot : test) {
        const int r = setupRowOf(slot.TypeID);
        if (r < 0)
            continue;
        if (const int d = difficultyOf(query, r, slot.BH); d >= 0)
            weight += __int128(d + 1) * request.rows[size_t(r)].mark;
    }
    query.close();
    snapshot.commit();
    return papers::clampTo64(weight);
}

QString GenerationRequest::negativeValue() const {
    for (int r = 0; r < 6; ++r) {
        const QString type = QString::fromLatin1(kSetupRows[r].typeText);
        for (int d = 0; d < 3; ++d)
            if (rows[r].counts[d] < 0)
                return QStringLiteral("The number of %1 %2 questions cannot be negative.")
                    .arg(QLatin1String(kDifficultyNames[d]), type);
        if (rows[r].mark < 0)
            return QStringLiteral("The mark of a %1 question cannot be negative.").arg(type);
    }
    if (totalMark < 0)
        return QStringLiteral("The total mark cannot be negative.");
    return QString();
}

QString markHint(const GenerationRequest& request) {
    const qint64 left = papers::clampTo64(__int128(request.totalMark) - request.allocatedMarks());
    return QString::asprintf("Total %d Mark, %lld Mark left.", request.totalMark,
                             static_cast<long long>(left));
}

void ClockRandom::reseed() {
    std::random_device device;
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<unsigned>(device()), static_cast<unsigned>(device()),
                       static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    m_engine.seed(seed);
}

int ClockRandom::below(int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(m_engine);
}

void shuffleCandidates(std::vector<int>& candidates, RandomSource& random) {
    const int n = static_cast<int>(candidates.size());
    for (int i = 0; i < n; ++i)
        std::swap(candidates[i], candidates[random.below(n)]);
}

BankStatistics countQuestions(db::Query& query) {
    BankStatistics counts{};
    // The eighteen counts are of one state of the bank.
    db::Transaction snapshot(*query.connection());
    for (int r = 0; r < 6; ++r) {
        for (int d = 0; d < 3; ++d) {
            query.close();
            query.setSql(QStringLiteral("SELECT 1 FROM %1 WHERE NY=%2")
                             .arg(QLatin1String(kSetupRows[r].table))
                             .arg(kDifficultyCodes[d]));
            query.open();
            counts[r][d] = query.recordCount();
        }
    }
    snapshot.commit();
    return counts;
}

BankStatistics countRecentQuestions(db::Query& query, int papers) {
    BankStatistics counts{};
    if (papers <= 0)
        return counts;
    db::Transaction snapshot(*query.connection());
    const papers::RecentUse recent = papers::RecentUse::ofLastPapers(query, papers);
    for (auto it = recent.all().constBegin(); it != recent.all().constEnd(); ++it) {
        const int r = setupRowOf(int(it.key() >> 32));
        if (r < 0)
            continue;
        if (const int d = difficultyOf(query, r, qint32(quint32(it.key()))); d >= 0)
            ++counts[size_t(r)][size_t(d)];
    }
    query.close();
    snapshot.commit();
    return counts;
}

QString shortfallText(const Shortfall& missing) {
    QStringList parts;
    qint64 total = 0;
    for (int r = 0; r < 6; ++r)
        for (int d = 0; d < 3; ++d)
            if (missing[r][d] > 0) {
                parts << QStringLiteral("%1 %2 %3")
                             .arg(missing[r][d])
                             .arg(QLatin1String(kDifficultyNames[d]),
                                  QLatin1String(kSetupRows[r].typeText));
                total += missing[r][d];
            }
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("The question bank could not fill %1 of the places asked for, so the "
                          "paper is shorter than requested. Missing: %2.")
        .arg(total)
        .arg(parts.join(QStringLiteral(", ")));
}

QString DrawOptions::invalidValue() const {
    if (recentPapers < 0)
        return QStringLiteral("The number of recent papers whose questions are left out cannot "
                              "be negative.");
    if (paperB && (overlapPercent < 0 || overlapPercent > 100))
        return QStringLiteral("The share of paper A's questions that paper B may hold must be "
                              "from 0 to 100 %.");
    return QString();
}

qint64 overlapLimit(qint64 questionsOfA, int overlapPercent) {
    return questionsOfA * qBound(0, overlapPercent, 100) / 100;
}

QString reuseText(const ReusedPlaces& reused, int papers) {
    QStringList parts;
    qint64 total = 0;
    for (int r = 0; r < 6; ++r)
        for (int d = 0; d < 3; ++d)
            if (reused[r][d] > 0) {
                parts << QStringLiteral("%1 %2 %3")
                             .arg(reused[r][d])
                             .arg(QLatin1String(kDifficultyNames[d]),
                                  QLatin1String(kSetupRows[r].typeText));
                total += reused[r][d];
            }
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("%1 %2 of the paper had to take a question used in the last %3 %4, "
                          "as no other question could fill %5: %6.")
        .arg(total)
        .arg(total == 1 ? QStringLiteral("place") : QStringLiteral("places"))
        .arg(papers)
        .arg(papers == 1 ? QStringLiteral("paper") : QStringLiteral("papers"))
        .arg(total == 1 ? QStringLiteral("it") : QStringLiteral("them"))
        .arg(parts.join(QStringLiteral(", ")));
}

namespace {

// Questions a draw would rather leave out, each with a rank: the higher the
// rank, the later it is taken. Of the capped ones at most `cap` may be
// taken at all.
struct Avoidance {
    QHash<qint64, int> rank;
    QSet<qint64> capped;
    qint64 cap = 0;
};

// A generation that cannot go on: the lecturer is told why.
struct Refusal {
    QString text;
    QString caption;
};

class Generation {
public:
    Generation(const GenerationRequest& request, const QStringList& sections, db::Query& rangeQuery,
               db::Query& drawQuery, RandomSource& random, DrawProgress& progress,
               GeneratedTestList& test, const Avoidance& avoid)
        : m_request(request), m_range(rangeQuery), m_draw(drawQuery), m_random(random),
          m_progress(progress), m_test(test), m_avoid(avoid), m_used(sections.size(), false) {
        // Only the first record of a text is ever compared.
        for (int i = sections.size() - 1; i >= 0; --i)
            m_firstSection.insert(sections[i], i);
    }

    // Draws every requested type into the sized test.
    void drawAll() {
        for (int r = 0; r < 6; ++r)
            if (m_request.rows[r].requested() > 0)
                drawRow(r);
    }

    Shortfall shortfall() const {
        Shortfall missing{};
        for (int r = 0; r < 6; ++r)
            for (int d = 0; d < 3; ++d)
                missing[r][d] = m_request.rows[r].counts[d] - m_drawn[r][d];
        return missing;
    }

    const ReusedPlaces& reused() const { return m_reused; }
    // How many of the capped questions were taken.
    qint64 cappedTaken() const { return m_cappedTaken; }

private:
    bool avoids(int typeId, int number) const {
        return !m_avoid.rank.isEmpty() &&
               m_avoid.rank.contains(papers::questionKey(typeId, number));
    }

    void take(int typeId, int number) {
        m_test[m_next++] = GeneratedEntry{typeId, number};
        m_progress.advance(1);
    }

    void drawRow(int r) {
        const SetupRow& row = kSetupRows[r];
        const QLatin1String table(row.table);
        const QLatin1String type(row.typeText);
        const RowRequest& quota = m_request.rows[r];
        std::array<int, 3>& drawn = m_drawn[r];

        m_progress.setOperation(
            QStringLiteral("Drawing %1 questions covering unrepeated chapters...").arg(type));

        m_range.close();
        m_range.setSql(
            QStringLiteral("SELECT MIN(BH) AS MinBH,MAX(BH) AS MaxBH FROM %1").arg(table));
        m_range.open();
        if (m_range.isNull(QStringLiteral("MinBH")) || m_range.isNull(QStringLiteral("MaxBH")))
            throw Refusal{QStringLiteral("The question bank holds no %1 questions, so the test "
                                         "cannot be generated. Set the %1 counts to 0, or add "
                                         "%1 questions first.")
                              .arg(type),
                          QStringLiteral("No questions")};
        const qint64 minBH = m_range.fieldInt(QStringLiteral("MinBH"));
        const qint64 maxBH = m_range.fieldInt(QStringLiteral("MaxBH"));
        const qint64 range = maxBH - minBH + 1;
        if (range > kMaxCandidates)
            throw Refusal{QStringLiteral("The %1 questions are numbered from %2 to %3, too wide "
                                         "a range to draw from.")
                              .arg(type)
                              .arg(minBH)
                              .arg(maxBH),
                          QStringLiteral("Question numbers")};

        std::vector<int> candidates;
        if (range > 0) {
            candidates.resize(static_cast<size_t>(range));
            for (qint64 i = 0; i < range; ++i)
                candidates[i] = static_cast<int>(minBH + i);
            m_random.reseed();
            shuffleCandidates(candidates, m_random);
        }

        // Covering: each checked section gives at most one question to the
        // whole paper.
        qint64 covering = 0;
        QSet<int> taken;
        m_draw.close();
        m_draw.setSql(QStringLiteral("SELECT * FROM %1 WHERE BH=:BH").arg(table));
        m_draw.setMaxRows(1);
        for (const int number : candidates) {
            if (covering == quota.requested())
                break;
            // Left for the places nothing else can fill.
            if (avoids(row.typeId, number))
                continue;
            m_draw.bindInt(QStringLiteral("BH"), number);
            m_draw.open();
            if (m_draw.eof())
                continue;
            const int d = difficultyOfCode(m_draw.fieldInt(QStringLiteral("NY")));
            if (d < 0 || drawn[d] >= quota.counts[d])
                continue;
            const QVariant chapter = m_draw.field(QStringLiteral("CZ"));
            if (chapter.isNull())
                continue;
            const auto section = m_firstSection.constFind(chapter.toString());
            if (section == m_firstSection.constEnd() || m_used[section.value()])
                continue;
            ++drawn[d];
            take(row.typeId, number);
            taken.insert(number);
            m_used[section.value()] = true;
            ++covering;
        }
        m_draw.setMaxRows(0);
        if (covering >= quota.requested())
            return;

        // Redeeming: the rest of each difficulty from the whole table, in
        // table order, chapters regardless.
        m_progress.setOperation(
            QStringLiteral(
                "Not enough questions for unrepeated chapters, redeeming %1 questions...")
                .arg(type));
        for (int d = 0; d < 3; ++d) {
            if (drawn[d] >= quota.counts[d])
                continue;
            m_draw.close();
            m_draw.setSql(
                QStringLiteral("SELECT * FROM %1 WHERE NY=%2").arg(table).arg(kDifficultyCodes[d]));
            m_draw.open();
            // The questions left out, in table order.
            std::vector<std::pair<int, int>> avoided; // rank, number
            for (; !m_draw.eof(); m_draw.next()) {
                const int number = static_cast<int>(m_draw.fieldInt(QStringLiteral("BH")));
                if (taken.contains(number))
                    continue;
                if (avoids(row.typeId, number)) {
                    avoided.emplace_back(
                        m_avoid.rank.value(papers::questionKey(row.typeId, number)), number);
                    continue;
                }
                take(row.typeId, number);
                taken.insert(number);
                if (++drawn[d] == quota.counts[d])
                    break;
            }
            if (drawn[d] < quota.counts[d])
                reuse(r, d, avoided, taken);
        }
    }

    // Fills what is still short of difficulty d with the questions left
    // out, the least avoided first (for recent papers: the least recently
    // used), in table order among equals.
    void reuse(int r, int d, std::vector<std::pair<int, int>>& avoided, QSet<int>& taken) {
        const int typeId = kSetupRows[r].typeId;
        std::stable_sort(avoided.begin(), avoided.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::array<int, 3>& drawn = m_drawn[r];
        for (const auto& [rank, number] : avoided) {
            const bool capped = m_avoid.capped.contains(papers::questionKey(typeId, number));
            if (capped && m_cappedTaken >= m_avoid.cap)
                continue;
            take(typeId, number);
            taken.insert(number);
            if (capped)
                ++m_cappedTaken;
            else
                ++m_reused[r][d];
            if (++drawn[d] == m_request.rows[r].counts[d])
                break;
        }
    }

    const GenerationRequest& m_request;
    db::Query& m_range;
    db::Query& m_draw;
    RandomSource& m_random;
    DrawProgress& m_progress;
    GeneratedTestList& m_test;
    const Avoidance& m_avoid;
    QHash<QString, int> m_firstSection;
    std::vector<bool> m_used;
    std::array<std::array<int, 3>, 6> m_drawn{};
    ReusedPlaces m_reused{};
    qint64 m_cappedTaken = 0;
    int m_next = 0;
};

void refuse(const QString& text, const QString& caption) {
    showMessage(text, caption, MsgIcon::Error);
}

} // namespace

bool generateTest(const GenerationRequest& request, const QStringList& sections,
                  db::Query& rangeQuery, db::Query& drawQuery, RandomSource& random,
                  DrawProgress& progress, GeneratedTestList& test) {
    GeneratedTestList none;
    return generateTest(request, sections, rangeQuery, drawQuery, random, progress, test,
                        DrawOptions{}, none);
}

bool generateTest(const GenerationRequest& request, const QStringList& sections,
                  db::Query& rangeQuery, db::Query& drawQuery, RandomSource& random,
                  DrawProgress& progress, GeneratedTestList& test, const DrawOptions& options,
                  GeneratedTestList& testB) {
    test.clear();
    testB.clear();
    if (const QString negative = request.negativeValue(); !negative.isEmpty()) {
        refuse(negative, QStringLiteral("Invalid request"));
        return false;
    }
    if (const QString invalid = options.invalidValue(); !invalid.isEmpty()) {
        refuse(invalid, QStringLiteral("Invalid request"));
        return false;
    }
    const qint64 requested = request.requestedCount();
    const qint64 steps = options.paperB ? 2 * requested : requested;

    progress.start();
    progress.setOperation(QStringLiteral("Initializing parameters..."));
    progress.setSteps(static_cast<int>(qMin<qint64>(steps, std::numeric_limits<int>::max())));

    if (!request.marksAddUp()) {
        progress.abort();
        refuse(QStringLiteral("Sum of individual marks not equal to Total mark, Please re-enter "
                              "individual marks!"),
               QStringLiteral("Total mark inconsistency"));
        test.clear();
        return false;
    }
    if (requested > kMaxPaperQuestions) {
        progress.abort();
        refuse(QStringLiteral("A paper can hold at most %1 questions; %2 were asked for. Please "
                              "ask for fewer.")
                   .arg(kMaxPaperQuestions)
                   .arg(requested),
               QStringLiteral("Invalid request"));
        return false;
    }

    test.fill(GeneratedEntry{}, static_cast<int>(requested));
    // Paper A leaves out the questions of the last papers; paper B also
    // those of paper A, of which it takes only up to the limit, and last.
    Avoidance avoidA;
    Avoidance avoidB;
    int recentPapers = 0;
    std::optional<Generation> generation;
    std::optional<Generation> generationB;
    try {
        // One read transaction for the whole draw: the thousands of lookups
        // see one state of the bank and skip taking and checking its lock
        // one by one. It ends before events are processed again, so nothing
        // the lecturer writes meanwhile can fall into it.
        db::Transaction snapshot(*drawQuery.connection());
        const papers::RecentUse history =
            papers::RecentUse::ofLastPapers(drawQuery, options.recentPapers);
        recentPapers = history.paperCount();
        avoidA.rank = history.all();
        generation.emplace(request, sections, rangeQuery, drawQuery, random, progress, test,
                           avoidA);
        generation->drawAll();
        if (options.paperB) {
            testB.fill(GeneratedEntry{}, static_cast<int>(requested));
            avoidB.rank = avoidA.rank;
            for (const GeneratedEntry& entry : std::as_const(test)) {
                if (!entry.isFilled())
                    continue;
                const qint64 key = papers::questionKey(entry.TypeID, entry.BH);
                avoidB.rank.insert(key, recentPapers + 1);
                avoidB.capped.insert(key);
            }
            avoidB.cap = overlapLimit(avoidB.capped.size(), options.overlapPercent);
            generationB.emplace(request, sections, rangeQuery, drawQuery, random, progress, testB,
                                avoidB);
            generationB->drawAll();
        }
        snapshot.commit();
    } catch (const Refusal& refusal) {
        // A partly drawn paper must never pass for a generated one.
        test.clear();
        testB.clear();
        progress.abort();
        refuse(refusal.text, refusal.caption);
        return false;
    } catch (...) {
        test.clear();
        testB.clear();
        progress.abort();
        throw;
    }

    progress.finish();
    showMessage(QStringLiteral("Test paper successfully generated!"), QStringLiteral("Successful"),
                MsgIcon::Information);
    if (const QString shortText = shortfallText(generation->shortfall()); !shortText.isEmpty())
        plainMessage(shortText);
    if (const QString reused = reuseText(generation->reused(), recentPapers); !reused.isEmpty())
        plainMessage(reused);
    if (generationB) {
        QStringList parts;
        parts << QStringLiteral("Paper B shares %1 of the %2 %3 of paper A (at most %4 allowed).")
                     .arg(generationB->cappedTaken())
                     .arg(avoidB.capped.size())
                     .arg(avoidB.capped.size() == 1 ? QStringLiteral("question")
                                                    : QStringLiteral("questions"))
                     .arg(avoidB.cap);
        if (const QString shortText = shortfallText(generationB->shortfall()); !shortText.isEmpty())
            parts << QStringLiteral("Paper B: ") + shortText;
        if (const QString reused = reuseText(generationB->reused(), recentPapers);
            !reused.isEmpty())
            parts << QStringLiteral("Paper B: ") + reused;
        plainMessage(parts.join(QStringLiteral("\n\n")));
    }
    return true;
}

} // namespace tolvane::autogen
