#include "core/AppPaths.h"
#include "core/BrokenPipes.h"
#include "tools/backup/BackupWindow.h"
#include "tools/backup/CommandLine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

using namespace tolvane::backup;

namespace {

int runOnConsole(const JobOptions& base, const Request& request) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    JobOptions options = base;
    options.onProgress = [&out](const QString& text) { out << text << Qt::endl; };
    const JobResult result = runJob(options, request);
    if (result.ok) {
        out << result.message << Qt::endl;
        return 0;
    }
    err << result.message << Qt::endl;
    return 1;
}

// For the tests that kill the program at every step of a restore: with
// TOLVANE_BACKUP_KILL_AT_STEP=k the program kills itself just before its
// k-th file step, as a power cut would stop it.
void killAtStepForTests() {
    bool ok = false;
    const int k = qEnvironmentVariableIntValue("TOLVANE_BACKUP_KILL_AT_STEP", &ok);
    if (!ok || k < 1)
        return;
    setStepHook([k, count = 0](const QString& what) mutable {
        if (++count == k) {
            std::fprintf(stderr, "Killed before the step: %s\n", what.toUtf8().constData());
            std::fflush(nullptr);
            ::kill(::getpid(), SIGKILL);
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    tolvane::ignoreBrokenPipes();
    // Without a window the program needs no display at all.
    bool noWindow = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--no-window") == 0 || std::strcmp(argv[i], "--help") == 0 ||
            std::strcmp(argv[i], "-h") == 0)
            noWindow = true;
    std::unique_ptr<QCoreApplication> app;
    if (noWindow)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    const Arguments arguments = parseArguments(QCoreApplication::arguments().mid(1));
    if (arguments.help && arguments.error.isEmpty()) {
        QTextStream(stdout) << usageText();
        return 0;
    }
    if (!arguments.error.isEmpty()) {
        QTextStream err(stderr);
        err << arguments.error << "\n\n" << usageText();
        // Started from a desktop, the console is nowhere to be seen.
        if (!noWindow)
            QMessageBox::critical(nullptr, QStringLiteral("Tolvane Backup"),
                                  arguments.error + QStringLiteral("\n\n") + usageText());
        return 2;
    }
    killAtStepForTests();
    JobOptions options;
    // The bank, Doc/ and set.ini: beside the program in a portable copy, in
    // the user's data folder when installed, or in the folder --dir names.
    options.programDir =
        arguments.dir.isEmpty() ? tolvane::AppPaths::dataDir() : QDir(arguments.dir).absolutePath();
    options.waitSeconds = arguments.waitSeconds;
    if (noWindow)
        return runOnConsole(options, arguments.request);

    BackupWindow window(options, arguments.request);
    window.setTolvaneDir(QCoreApplication::applicationDirPath());
    window.show();
    window.start();
    QApplication::exec();
    return window.finished() && window.result().ok ? 0 : 1;
}
