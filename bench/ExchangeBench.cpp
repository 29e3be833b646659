// Question exchange with a course of realistic size: 10,000 questions of all
// six types (question and answer texts of 400 characters) over 50 sections.
#include "db/Query.h"
#include "db/Schema.h"
#include "exchange/BankExchange.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

using namespace tolvane;

namespace {

constexpr int kQuestions = 10000;

struct Bank {
    QTemporaryDir dir;
    db::Connection c;
    Bank() {
        QDir(dir.path()).mkpath("Doc");
        c.create(dir.path() + "/TiKu.mdb");
        db::createSchema(c);
        db::insertRequiredRows(c);
    }
    QString docDir() const { return dir.path() + "/Doc/"; }

    void fill(int questions) {
        c.execScript("BEGIN");
        db::Query chapter(&c);
        chapter.setSql("INSERT INTO ZhangJie (ZJ, ZJName) VALUES (:ZJ, :N)");
        for (int ch = 1; ch <= 10; ++ch) {
            chapter.bindText("ZJ", QString::number(ch));
            chapter.bindText("N", QString("Chapter %1").arg(ch));
            chapter.execSql();
            for (int s = 1; s <= 5; ++s) {
                chapter.bindText("ZJ", QString("%1.%2").arg(ch).arg(s));
                chapter.bindText("N", QString("Section %1").arg(s));
                chapter.execSql();
            }
        }
        const QString long400(380, 'x');
        db::Query q(&c);
        for (int i = 0; i < questions; ++i) {
            const int type = i % 6 + 1;
            const QString tm = QString("Question %1 ____ ").arg(i) + long400;
            const QString da = QString("Answer %1 ").arg(i) + long400;
            const QString cz = QString("%1.%2  Section %2").arg(i % 10 + 1).arg(i % 5 + 1);
            switch (type) {
            case 1:
                q.setSql("INSERT INTO XuanZeTi(TypeID,TM,A,B,C,D,DA,CZ,NY) "
                         "VALUES(1,:TM,'alpha','beta','gamma','delta','C',:CZ,:NY)");
                break;
            case 2:
                q.setSql("INSERT INTO TianKong(TypeID,TM,K1,K2,K3,K4,K5,YTS,NY,CZ) "
                         "VALUES(2,:TM,'one','two',NULL,NULL,NULL,:YTS,:NY,:CZ)");
                q.bindInt("YTS", i % 12 == 1 ? 1 : 2);
                break;
            case 4:
                q.setSql("INSERT INTO XiTongSheJi(TypeID,TM,DA,NY,CZ,DABG,TMBG) "
                         "VALUES(4,:TM,:DA,:NY,:CZ,'','')");
                break;
            case 6:
                q.setSql("INSERT INTO XiTongCZ(TypeID,TM,NY,CZ,W1DA,W2DA,W3DA,WTS,TMBG) "
                         "VALUES(6,:TM,:NY,:CZ,:DA,'second','third',3,'')");
                break;
            default:
                q.setSql(QString("INSERT INTO %1(TypeID,TM,DA,NY,CZ) VALUES(%2,:TM,:DA,:NY,:CZ)")
                             .arg(exchange::tableOf(type))
                             .arg(type));
            }
            q.bindText("TM", tm);
            q.bindText("DA", da);
            q.bindText("CZ", cz);
            q.bindInt("NY", 12 + i % 3);
            q.execSql();
        }
        c.execScript("COMMIT");
    }
};

void Export(benchmark::State& state) {
    Bank bank;
    bank.fill(kQuestions);
    exchange::ExportOptions options;
    options.format = state.range(0) ? exchange::Format::Gift : exchange::Format::MoodleXml;
    qint64 bytes = 0;
    for (auto _ : state) {
        const exchange::ExportReport r = exchange::exportBank(bank.c, bank.docDir(), options);
        bytes = r.data.size();
        benchmark::DoNotOptimize(r.data.data());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(Export)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reading the file and writing every question into an empty bank.
void Import(benchmark::State& state) {
    Bank source;
    source.fill(kQuestions);
    exchange::ExportOptions options;
    options.format = state.range(0) ? exchange::Format::Gift : exchange::Format::MoodleXml;
    const QByteArray data = exchange::exportBank(source.c, source.docDir(), options).data;
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<Bank>();
        state.ResumeTiming();
        const exchange::ImportReport r =
            exchange::importFile(target->c, target->docDir(), data, exchange::ImportOptions{});
        benchmark::DoNotOptimize(r.total());
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// A second import of the same file: every question is found already there.
void ImportAgain(benchmark::State& state) {
    Bank bank;
    bank.fill(kQuestions);
    const QByteArray data = exchange::exportBank(bank.c, bank.docDir(), {}).data;
    for (auto _ : state) {
        const exchange::ImportReport r =
            exchange::importFile(bank.c, bank.docDir(), data, exchange::ImportOptions{});
        benchmark::DoNotOptimize(r.leftOut.size());
    }
}
BENCHMARK(ImportAgain)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
