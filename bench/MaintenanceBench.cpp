// The question bank maintenance window over a bank that has grown for years:
// a table of 100,000 questions of 400 characters each.
#include "bank/TiMuWH_Unit.h"
#include "core/Messages.h"
#include "db/DataModule.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "widgets/DataGrid.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

using namespace tolvane;

namespace {

// Resident memory of this process, in MB.
double residentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// A bank beside a stand-in executable directory, with `questions` rows in
// JianDaTi, and the data module open on it.
struct Bank {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    std::unique_ptr<db::TZenlo_DM> dm;
    explicit Bank(int questions) {
        QDir(dir.path()).mkpath("DB");
        QDir(dir.path()).mkpath("Doc");
        {
            db::Connection c;
            c.create(dir.path() + "/DB/TiKu.mdb");
            db::createSchema(c);
            db::insertRequiredRows(c);
            c.execScript("BEGIN");
            db::Query insert(&c);
            insert.setSql("INSERT INTO JianDaTi(TypeID,TM,DA,NY,CZ) VALUES(3,:TM,:DA,:NY,:CZ)");
            for (int i = 0; i < questions; ++i) {
                const QString head = QString("Question %1: ").arg(i);
                insert.bindText("TM", head + QString(400 - head.size(), 'x'));
                insert.bindText("DA", QString(400, 'y'));
                insert.bindInt("NY", 12 + i % 3);
                insert.bindText("CZ", QString("%1.%2  Section").arg(i % 12 + 1).arg(i % 4 + 1));
                insert.execSql();
            }
            c.execScript("COMMIT");
        }
        QDir::setCurrent(dir.path());
        dm = std::make_unique<db::TZenlo_DM>();
        db::Zenlo_DM = dm.get();
    }
    ~Bank() {
        dm.reset();
        db::Zenlo_DM = nullptr;
        QDir::setCurrent(oldCwd);
    }
};

// From the click on "Question Bank" to the window painted with the grid of
// the page it opens on ("Type 3") and its first question loaded.
void MaintenanceWindowOpen(benchmark::State& state) {
    Bank bank(static_cast<int>(state.range(0)));
    double peak = 0;
    for (auto _ : state) {
        auto window = std::make_unique<bank::TForm1>();
        window->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window->JD_DBGrid->model()->rowCount());
        peak = std::max(peak, residentMb());
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["resident_MB"] = peak;
}
BENCHMARK(MaintenanceWindowOpen)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// Entering a page again: its table read whole into the grid.
void MaintenancePageEnter(benchmark::State& state) {
    Bank bank(static_cast<int>(state.range(0)));
    auto window = std::make_unique<bank::TForm1>();
    window->show();
    QApplication::processEvents();
    for (auto _ : state) {
        window->PageControl1Change();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window->JD_DBGrid->model()->rowCount());
    }
    state.counters["resident_MB"] = residentMb();
}
BENCHMARK(MaintenancePageEnter)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// The first Update after opening: the rest of the table is read before the
// row is written, so that the write is committed at once.
void MaintenanceFirstUpdate(benchmark::State& state) {
    Bank bank(static_cast<int>(state.range(0)));
    setMessageHandler([](const MessageRequest&) { return QMessageBox::Ok; });
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<bank::TForm1>();
        window->show();
        QApplication::processEvents();
        state.ResumeTiming();
        window->JDgx_BitBtnClick();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window->JD_DBGrid->model()->rowCount());
        peak = std::max(peak, residentMb());
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    setMessageHandler({});
    state.counters["resident_MB"] = peak;
}
BENCHMARK(MaintenanceFirstUpdate)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
