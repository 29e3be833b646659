#include "core/AppPaths.h"
#include "tools/makebank/MakeBankCommand.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char** argv) {
    // The demo documents are written by the office through pipes.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Without --dir the bank goes to the data folder: beside this program in
    // a portable copy, the user's data folder when installed.
    return tolvane::tools::runMakeBank(QCoreApplication::arguments().mid(1),
                                       tolvane::AppPaths::dataDir(), out, err);
}
