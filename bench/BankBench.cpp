// How the question bank behaves with a course of realistic size: a few
// thousand questions of long text in one table.
#include "db/Query.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tolvane::db;

namespace {

struct Bank {
    QTemporaryDir dir;
    Connection connection;
    explicit Bank(int questions) {
        connection.create(dir.path() + "/TiKu.mdb");
        createSchema(connection);
        insertRequiredRows(connection);
        connection.execScript("BEGIN");
        Query insert(&connection);
        insert.setSql("INSERT INTO XuanZeTi(TypeID,TM,A,B,C,D,DA,CZ,NY) "
                      "VALUES(1,:TM,'a','b','c','d','A',:ZJ,:NY)");
        for (int i = 0; i < questions; ++i) {
            insert.bindText("TM", QString("Question %1: ").arg(i) + QString(400, 'x'));
            insert.bindText("ZJ", QString("%1.%2  Section").arg(i % 12 + 1).arg(i % 4 + 1));
            insert.bindInt("NY", 12 + i % 3);
            insert.execSql();
        }
        connection.execScript("COMMIT");
    }
};

// Question entry's duplicate scan reads every question text of a table.
void DuplicateScan(benchmark::State& state) {
    Bank bank(static_cast<int>(state.range(0)));
    const QString candidate = "Question -1: " + QString(400, 'x');
    for (auto _ : state) {
        Query q(&bank.connection);
        q.setSql("SELECT TM FROM XuanZeTi");
        q.open();
        bool found = false;
        for (; !q.eof(); q.next())
            found = found || q.fieldText("TM") == candidate;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DuplicateScan)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// The chapter filter of the question browser: a match on the first characters.
void ChapterFilter(benchmark::State& state) {
    Bank bank(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Query q(&bank.connection);
        q.setSql("SELECT BH, TM FROM XuanZeTi WHERE LEFT(CZ, 3) = :ZJ AND NY = :NY");
        q.bindText("ZJ", "3.2");
        q.bindInt("NY", 13);
        q.open();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(ChapterFilter)->Arg(5000)->Unit(benchmark::kMillisecond);

// Adding one question, as the entry window does.
void InsertQuestion(benchmark::State& state) {
    Bank bank(0);
    Query insert(&bank.connection);
    insert.setSql("INSERT INTO JianDaTi(TypeID,TM,DA,NY,CZ) VALUES(3,:TM,:DA,13,'1  Basics')");
    int i = 0;
    for (auto _ : state) {
        insert.bindText("TM", QString("Question %1").arg(++i));
        insert.bindText("DA", "Answer");
        insert.execSql();
    }
}
BENCHMARK(InsertQuestion)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
