// How long the lecturer waits for a paper and for its answers: a saved
// paper of 100 questions of all six types, five of them quoting Word
// documents, written into a headless LibreOffice. The office is started
// before timing and the closing pause is left out: what is measured is the
// bank reads and the round trips to the office.
#include "core/BrokenPipes.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "docs/LibreOffice.h"
#include "docs/PaperDocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <iostream>

using namespace tolvane;
using namespace tolvane::docs;

namespace {

QString text(const char* kind, int i) {
    return QString("%1 %2: ").arg(QLatin1String(kind)).arg(i) +
           QString("Read the passage and answer in full sentences. ").repeated(3);
}

// The bank, the quoted documents and a running office, made once.
struct Setup {
    QTemporaryDir dir;
    QString docDir;
    db::Connection connection;
    OfficeOptions options;
    std::shared_ptr<OfficeProcess> started;
    int questions = 0;

    Setup() {
        docDir = dir.path() + "/Doc/";
        QDir().mkpath(docDir);
        makeDocuments();
        connection.create(dir.path() + "/TiKu.mdb");
        db::createSchema(connection);
        db::insertRequiredRows(connection);
        fill();

        options.pipeName = QString("tolvane_bench_%1").arg(QCoreApplication::applicationPid());
        options.headless = true;
        options.profileDir = dir.path() + "/profile";
        // The office's first start is not the renderers' time.
        LibreOfficeApplication office(options);
        office.connect();
        started = office.startedOffice();
        office.disconnect();
    }
    ~Setup() {
        LibreOfficeApplication::terminateOffice(options);
        if (started)
            started->waitForExit(20000);
    }

    void makeDocuments() {
        QStringList sources;
        for (int i = 1; i <= 5; ++i) {
            const QString txt = dir.path() + QString("/d%1.txt").arg(i);
            QFile f(txt);
            f.open(QIODevice::WriteOnly);
            f.write(QString("Quoted document %1\nA second paragraph of it.\n").arg(i).toUtf8());
            sources << txt;
        }
        QProcess convert;
        convert.start("soffice",
                      QStringList{"--headless", "--norestore",
                                  "-env:UserInstallation=file://" + dir.path() + "/convert",
                                  "--convert-to", "doc", "--outdir", docDir} +
                          sources);
        convert.waitForFinished(180000);
    }

    void exec(const QString& sql, const QMap<QString, QVariant>& values) {
        db::Query q(&connection);
        q.setSql(sql);
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.value().typeId() == QMetaType::Int)
                q.bindInt(it.key(), it.value().toInt());
            else
                q.bindText(it.key(), it.value().toString());
        }
        q.execSql();
    }

    void paperRow(int type, int bh, int mark) {
        exec("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('P', :T, :BH, :FZ)",
             {{"T", type}, {"BH", bh}, {"FZ", mark}});
        ++questions;
    }

    // 30 multiple choice, 20 fill-in-blank, 15 each of types 3 and 4, 10
    // each of types 5 and 6; documents d1 to d5 quoted by three type 5 and
    // two type 6 questions, and again by answers.
    void fill() {
        connection.execScript("BEGIN");
        exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P', 'admin', 'Medium')", {});
        for (int i = 1; i <= 30; ++i) {
            exec("INSERT INTO XuanZeTi (BH, TypeID, TM, A, B, C, D, DA, CZ, NY) VALUES (:BH, 1, "
                 ":TM, 'first choice', 'second choice', 'third choice', 'fourth choice', 'B', "
                 "'1', 12)",
                 {{"BH", i}, {"TM", text("Choice", i)}});
            paperRow(1, i, 1);
        }
        for (int i = 1; i <= 20; ++i) {
            exec("INSERT INTO TianKong (BH, TypeID, TM, K1, K2, K3, YTS, NY, CZ) VALUES (:BH, 2, "
                 ":TM, 'one', 'two', 'three', 3, 12, '1')",
                 {{"BH", i}, {"TM", text("Blank", i)}});
            paperRow(2, i, 1);
        }
        for (const auto& [table, type] : {std::pair{"JianDaTi", 3}, std::pair{"YuanLiLunShu", 5}})
            for (int i = 1; i <= 15; ++i) {
                exec(QString("INSERT INTO %1 (BH, TypeID, TM, DA, NY, CZ) VALUES (:BH, :T, :TM, "
                             ":DA, 12, '1')")
                         .arg(QLatin1String(table)),
                     {{"BH", i}, {"T", type}, {"TM", text("Question", i)}, {"DA", text("Ans", i)}});
                paperRow(type, i, 2);
            }
        for (int i = 1; i <= 10; ++i) {
            exec("INSERT INTO XiTongSheJi (BH, TypeID, TM, DA, NY, CZ, DABG, TMBG) VALUES (:BH, 4, "
                 ":TM, :DA, 12, '1', :DABG, :TMBG)",
                 {{"BH", i},
                  {"TM", text("Design", i)},
                  {"DA", text("Plan", i)},
                  {"DABG", i <= 2 ? QString("d%1.doc").arg(i) : QString()},
                  {"TMBG", i <= 3 ? QString("d%1.doc").arg(i) : QString()}});
            paperRow(4, i, 3);
        }
        for (int i = 1; i <= 10; ++i) {
            exec("INSERT INTO XiTongCZ (BH, TypeID, TM, NY, CZ, W1DA, W1DABG, W2DA, W2DABG, WTS, "
                 "TMBG) VALUES (:BH, 6, :TM, 12, '1', 'Start it', :W1, 'Stop it', '', 2, :TMBG)",
                 {{"BH", i},
                  {"TM", text("Operate", i)},
                  {"W1", i <= 3 ? QString("d%1.doc").arg(i + 2) : QString()},
                  {"TMBG", i <= 2 ? QString("d%1.doc").arg(i + 3) : QString()}});
            paperRow(6, i, 4);
        }
        connection.execScript("COMMIT");
    }
};

Setup* g_setup = nullptr;

Setup& setup() {
    if (!g_setup)
        g_setup = new Setup;
    return *g_setup;
}

void SavedPaper(benchmark::State& state) {
    Setup& s = setup();
    NullProgress progress;
    db::Query paperQuery(&s.connection);
    db::Query questionQuery(&s.connection);
    AnswerLines answers;
    for (auto _ : state) {
        LibreOfficeApplication office(s.options);
        renderSavedPaper(office, progress, paperQuery, questionQuery, "P", s.questions, s.docDir,
                         answers);
    }
    state.counters["answer lines"] = double(answers.size());
}

void Answers(benchmark::State& state) {
    Setup& s = setup();
    NullProgress progress;
    db::Query paperQuery(&s.connection);
    db::Query questionQuery(&s.connection);
    AnswerLines answers;
    {
        LibreOfficeApplication office(s.options);
        renderSavedPaper(office, progress, paperQuery, questionQuery, "P", s.questions, s.docDir,
                         answers);
    }
    for (auto _ : state) {
        LibreOfficeApplication office(s.options);
        renderAnswers(office, progress, &answers, s.docDir);
    }
}

// Every rendering leaves a document open in the office: a few iterations
// are enough and keep the office small.
BENCHMARK(SavedPaper)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Answers)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    tolvane::ignoreBrokenPipes();
    QCoreApplication app(argc, argv);
    // A failure would ask the lecturer; nobody is here to answer.
    setMessageHandler([](const MessageRequest& m) {
        std::cerr << m.text.toStdString() << '\n';
        return QMessageBox::Ok;
    });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // Ends the office while the application still exists.
    delete g_setup;
    return 0;
}
