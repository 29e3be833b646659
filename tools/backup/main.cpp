#include "core/AppPaths.h"
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
    // Without a window (or for its help) the program needs no display at all.
    bool noWindow = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-window") == 0)
            noWindow = true;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            QTextStream(stdout) << usageText()
                                << "  --dir DIR        the data folder (default: beside this "
                                   "program when its\n"
                                   "                   folder holds DB/, else "
                                   "~/.local/share/Tolvane)\n"
                                   "  -h, --help       show this text\n";
            return 0;
        }
    }
    std::unique_ptr<QCoreApplication> app;
    if (noWindow)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    // The bank, Doc/ and set.ini: beside the program in a portable copy, in
    // the user's data folder when installed, or in the folder --dir names.
    QStringList given = QCoreApplication::arguments().mid(1);
    QString dataDir = tolvane::AppPaths::dataDir();
    if (const int at = given.indexOf(QStringLiteral("--dir")); at >= 0) {
        if (at + 1 >= given.size() || given.at(at + 1).isEmpty()) {
            QTextStream(stderr) << "--dir needs a folder.\n\n" << usageText();
            return 2;
        }
        dataDir = given.takeAt(at + 1);
        given.removeAt(at);
    }
    const Arguments arguments = parseArguments(given);
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
    options.programDir = dataDir;
    options.waitSeconds = arguments.waitSeconds;
    if (arguments.noWindow)
        return runOnConsole(options);

    BackupWindow window(options);
    window.show();
    window.start();
    QApplication::exec();
    return window.finished() && window.result().ok ? 0 : 1;
}
