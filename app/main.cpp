#include "app/Startup.h"
#include "core/BrokenPipes.h"
#include "docs/LibreOffice.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

int main(int argc, char** argv) {
    tolvane::ignoreBrokenPipes();
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
