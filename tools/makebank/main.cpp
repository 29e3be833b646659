#include "core/AppPaths.h"
#include "core/BrokenPipes.h"
#include "tools/makebank/MakeBankCommand.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    tolvane::ignoreBrokenPipes();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Without --dir the bank goes to the data folder: beside this program in
    // a portable copy, the user's data folder when installed.
    return tolvane::tools::runMakeBank(QCoreApplication::arguments().mid(1),
                                       tolvane::AppPaths::dataDir(), out, err);
}
