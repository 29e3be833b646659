#include "core/BrokenPipes.h"
#include "tools/exchange/ExchangeTool.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    // Output piped into a reader that stops early (head) ends with an
    // error on the write, not a silent death.
    tolvane::ignoreBrokenPipes();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tolvane::tools::runExchange(QCoreApplication::arguments().mid(1), out, err);
}
