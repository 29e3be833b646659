#include "core/BrokenPipes.h"
#include "tools/makebank/MakeBank.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    tolvane::ignoreBrokenPipes();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tolvane::tools::runMakeBank(QCoreApplication::arguments().mid(1),
                                       QCoreApplication::applicationDirPath(), out, err);
}
