#include "app/Startup.h"
#include "docs/LibreOffice.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <csignal>

int main(int argc, char** argv) {
    // The office is reached through a pipe; an office that goes away must end
    // a call with an error, not the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tolvane/tolvane.png")));

    {
        tolvane::docs::LibreOfficeVersionProbe probe;
        if (!tolvane::checkWordProcessor(probe, QLocale().decimalPoint().at(0)))
            return 1;
    }
    return tolvane::runApplication();
}
