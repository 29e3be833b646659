#include "core/BrokenPipes.h"
#include "tools/backup/BackupJob.h"
#include "tools/backup/BackupWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTextStream>

#include <cstring>
#include <memory>

using namespace tolvane::backup;

namespace {

int runOnConsole(const JobOptions& base) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    JobOptions options = base;
    options.onProgress = [&out](const QString& text) { out << text << Qt::endl; };
    const JobResult result = runJob(options);
    if (result.ok) {
        out << result.message << Qt::endl;
        return 0;
    }
    err << result.message << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    tolvane::ignoreBrokenPipes();
    // Without a window the program needs no display at all.
    bool noWindow = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--no-window") == 0)
            noWindow = true;
    std::unique_ptr<QCoreApplication> app;
    if (noWindow)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    const Arguments arguments = parseArguments(QCoreApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        QTextStream err(stderr);
        err << arguments.error << "\n\n" << usageText();
        // Started from a desktop, the console is nowhere to be seen.
        if (!noWindow)
            QMessageBox::critical(nullptr, QStringLiteral("Tolvane Backup"),
                                  arguments.error + QStringLiteral("\n\n") + usageText());
        return 2;
    }
    JobOptions options;
    options.programDir = QCoreApplication::applicationDirPath();
    options.waitSeconds = arguments.waitSeconds;
    if (arguments.noWindow)
        return runOnConsole(options);

    BackupWindow window(options);
    window.show();
    window.start();
    QApplication::exec();
    return window.finished() && window.result().ok ? 0 : 1;
}
