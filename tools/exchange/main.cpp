#include "tools/exchange/ExchangeTool.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tolvane::tools::runExchange(QCoreApplication::arguments().mid(1), out, err);
}
