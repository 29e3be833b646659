// How fast a paper is drawn from a bank of a size a department may reach
// after years: 100,000 questions over 500 sections, texts of 400
// characters, and 1,000 saved papers of 100 questions each.
#include "autogen/Drawing.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "papers/UsageHistory.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tolvane;
using namespace tolvane::autogen;

namespace {

constexpr int kQuestions = 100000;
constexpr int kChapters = 50;
constexpr int kSectionsPerChapter = 10;
constexpr int kSavedPapers = 1000;

QString sectionText(int i) {
    return QString("%1.%2  Section %3")
        .arg(i / kSectionsPerChapter + 1)
        .arg(i % kSectionsPerChapter + 1)
        .arg(i);
}

struct BigBank {
    QTemporaryDir dir;
    db::Connection connection;
    QStringList sections;
    BigBank() {
        connection.create(dir.path() + "/TiKu.mdb");
        db::createSchema(connection);
        db::insertRequiredRows(connection);
        connection.execScript("BEGIN");
        db::Query q(&connection);
        q.setSql("INSERT INTO ZhangJie (ZJ, ZJName) VALUES (:ZJ, :Name)");
        for (int c = 0; c < kChapters; ++c) {
            q.bindText("ZJ", QString::number(c + 1));
            q.bindText("Name", QString("Chapter %1").arg(c + 1));
            q.execSql();
        }
        const int sectionCount = kChapters * kSectionsPerChapter;
        for (int s = 0; s < sectionCount; ++s)
            sections << sectionText(s);
        for (const SetupRow& row : kSetupRows) {
            q.setSql(QString("INSERT INTO %1 (TypeID, TM, CZ, NY) VALUES (%2, :TM, :CZ, :NY)")
                         .arg(row.table)
                         .arg(row.typeId));
            for (int i = 0; i < kQuestions / 6; ++i) {
                q.bindText("TM", QString("Question %1: ").arg(i) + QString(400, 'x'));
                q.bindText("CZ", sections[(i * 7919) % sectionCount]);
                q.bindInt("NY", 12 + i % 3);
                q.execSql();
            }
        }
        // Saved papers of the mix DrawPaper asks for: 20 questions of each
        // of the first two types, 15 of each other, spread over the tables.
        q.setSql("INSERT INTO SJ (SJDH, CJLS, ND) VALUES (:SJDH, 'admin', 'Medium')");
        db::Query t(&connection);
        t.setSql("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES (:SJDH, :T, :BH, 1)");
        unsigned next = 12345;
        for (int p = 0; p < kSavedPapers; ++p) {
            const QString id = paperId(p);
            q.bindText("SJDH", id);
            q.execSql();
            t.bindText("SJDH", id);
            for (int r = 0; r < 6; ++r) {
                t.bindInt("T", kSetupRows[r].typeId);
                for (int i = 0; i < (r < 2 ? 20 : 15); ++i) {
                    next = next * 1103515245u + 12345u;
                    t.bindInt("BH", 1 + (next >> 8) % (kQuestions / 6));
                    t.execSql();
                }
            }
        }
        connection.execScript("COMMIT");
    }
    static QString paperId(int p) { return QString("12/%1/26 9:00:00 AM").arg(p); }
};

BigBank& bank() {
    static BigBank b;
    return b;
}

void draw(benchmark::State& state, const GenerationRequest& request, const QStringList& sections,
          const DrawOptions& options = DrawOptions{}) {
    BigBank& b = bank();
    db::Query range(&b.connection);
    db::Query questions(&b.connection);
    ClockRandom random;
    NullProgress progress;
    GeneratedTestList test;
    GeneratedTestList testB;
    for (auto _ : state) {
        if (!generateTest(request, sections, range, questions, random, progress, test, options,
                          testB))
            state.SkipWithError("the generation was refused");
        benchmark::DoNotOptimize(test.data());
    }
    state.counters["questions"] = test.size();
    state.counters["paperB"] = testB.size();
}

// A paper of 100 questions of all six types and difficulties.
GenerationRequest hundredQuestions() {
    GenerationRequest request;
    request.totalMark = 100;
    for (int r = 0; r < 6; ++r) {
        request.rows[r].counts = r < 2 ? std::array<int, 3>{8, 8, 4} : std::array<int, 3>{5, 5, 5};
        request.rows[r].mark = 1;
    }
    return request;
}

// From 450 of the 500 sections.
void DrawPaper(benchmark::State& state) {
    draw(state, hundredQuestions(), bank().sections.mid(0, 450));
}
BENCHMARK(DrawPaper)->Unit(benchmark::kMillisecond);

// The same, leaving out the questions of the last 20 saved papers.
void DrawLeavingOutRecent(benchmark::State& state) {
    DrawOptions options;
    options.recentPapers = int(state.range(0));
    draw(state, hundredQuestions(), bank().sections.mid(0, 450), options);
}
BENCHMARK(DrawLeavingOutRecent)->Arg(20)->Unit(benchmark::kMillisecond);

// Papers A and B, B sharing at most 30 % of A's questions; the second
// also leaves out the last 20 papers.
void DrawPair(benchmark::State& state) {
    DrawOptions options;
    options.recentPapers = int(state.range(0));
    options.paperB = true;
    options.overlapPercent = 30;
    draw(state, hundredQuestions(), bank().sections.mid(0, 450), options);
}
BENCHMARK(DrawPair)->Arg(0)->Arg(20)->Unit(benchmark::kMillisecond);

// The last use of one question, as the maintenance window and the manual
// page show it for each selected question.
void QuestionLastUse(benchmark::State& state) {
    db::Query query(&bank().connection);
    int bh = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(papers::questionUse(query, 1, bh));
        bh = bh % 1000 + 1;
    }
}
BENCHMARK(QuestionLastUse)->Unit(benchmark::kMillisecond);

// "Compare" on two saved papers.
void ComparePapers(benchmark::State& state) {
    db::Query query(&bank().connection);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            papers::comparePapers(query, BigBank::paperId(10), BigBank::paperId(990)));
}
BENCHMARK(ComparePapers)->Unit(benchmark::kMillisecond);

// A request the bank cannot fill: three sections for fifteen questions a
// type, so every covering pass walks every number of its table, and more
// easy multiple-choice questions than the bank holds.
void DrawUnfillable(benchmark::State& state) {
    GenerationRequest request;
    request.totalMark = 0;
    for (int r = 0; r < 6; ++r)
        request.rows[r].counts = {5, 5, 5};
    request.rows[0].counts[Easy] = 6000;
    draw(state, request, bank().sections.mid(0, 3));
}
BENCHMARK(DrawUnfillable)->Unit(benchmark::kMillisecond);

// Opening the page: the eighteen counts of the bank statistics.
void BankStatisticsCounts(benchmark::State& state) {
    db::Query query(&bank().connection);
    for (auto _ : state)
        benchmark::DoNotOptimize(countQuestions(query));
}
BENCHMARK(BankStatisticsCounts)->Unit(benchmark::kMillisecond);

// The same on a bank just opened, as on the first visit of the page.
void BankStatisticsFirstVisit(benchmark::State& state) {
    const QString path = bank().connection.path();
    for (auto _ : state) {
        state.PauseTiming();
        db::Connection fresh;
        fresh.open(path);
        db::Query query(&fresh);
        state.ResumeTiming();
        benchmark::DoNotOptimize(countQuestions(query));
    }
}
BENCHMARK(BankStatisticsFirstVisit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The draws end with messages for the lecturer; nobody reads them here.
    setMessageHandler([](const MessageRequest&) { return QMessageBox::Ok; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
