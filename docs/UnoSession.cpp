#include "docs/UnoSession.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/exc_hlp.hxx>
#include <rtl/bootstrap.hxx>

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <vector>

namespace tolvane::docs::uno {

namespace {

// The local side of the bridge, made once for the whole process. It reads
// the office's own type libraries (URE_BOOTSTRAP brings in offapi besides
// the basic types), which the bridge needs to carry calls. Deliberately never
// destroyed: tearing UNO down during static destruction is not safe.
Ref<css::uno::XComponentContext> localContext() {
    static css::uno::XComponentContext* context = [] {
        const rtl::OUString program = toOU(QStringLiteral(TOLVANE_OFFICE_PROGRAM_DIR));
        rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" + program + "/fundamentalrc");
        Ref<css::uno::XComponentContext> c =
            cppu::defaultBootstrap_InitialComponentContext("file://" + program + "/unorc");
        c->acquire();
        return c.get();
    }();
    return context;
}

} // namespace

QString caughtMessage(const css::uno::Exception& e) {
    QString text = fromOU(e.Message);
    if (text.trimmed().isEmpty())
        text = fromOU(cppu::getCaughtException().getValueTypeName());
    return text;
}

Ref<css::uno::XComponentContext> attach(const QString& pipeName) {
    return call([&]() -> Ref<css::uno::XComponentContext> {
        Ref<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(localContext());
        try {
            Ref<css::uno::XInterface> office = resolver->resolve(
                "uno:pipe,name=" + toOU(pipeName) + ";urp;StarOffice.ComponentContext");
            return Ref<css::uno::XComponentContext>(office, css::uno::UNO_QUERY_THROW);
        } catch (const css::connection::NoConnectException&) {
            return {};
        }
    });
}

Ref<css::uno::XComponentContext> attachOrStart(const OfficeOptions& options,
                                               std::shared_ptr<OfficeProcess>* started) {
    if (Ref<css::uno::XComponentContext> office = attach(options.pipeName); office.is())
        return office;

    auto process = std::make_shared<OfficeProcess>(options.program, options.arguments());
    process->start();
    if (started)
        *started = process;
    // The offices started stay this process's children while it runs; one
    // the lecturer has quit is reaped here rather than left as a zombie.
    static std::vector<std::shared_ptr<OfficeProcess>> offices;
    offices.erase(std::remove_if(offices.begin(), offices.end(),
                                 [](const auto& p) { return p->hasExited(); }),
                  offices.end());
    offices.push_back(process);

    QElapsedTimer timer;
    timer.start();
    QString lastError;
    for (;;) {
        QThread::msleep(200);
        // While the office comes up its pipe may refuse or drop a call;
        // only the deadline ends the waiting.
        try {
            if (Ref<css::uno::XComponentContext> office = attach(options.pipeName); office.is())
                return office;
        } catch (const WordError& e) {
            lastError = e.text();
        }
        // A launcher that hands its arguments to an office already running
        // exits at once with 0 and that office opens the pipe; any other exit
        // means no office is coming.
        if (process->hasExited() && process->exitCode().value_or(-1) != 0)
            throw WordError(QStringLiteral("The word processor (%1) ended with status %2 "
                                           "before it answered.")
                                .arg(options.program)
                                .arg(process->exitCode().value_or(-1)));
        if (timer.elapsed() > options.startTimeoutMs) {
            QString text = QStringLiteral("The word processor (%1) did not answer on the pipe "
                                          "\"%2\" within %3 seconds.")
                               .arg(options.program, options.pipeName)
                               .arg(options.startTimeoutMs / 1000.0);
            if (!lastError.isEmpty())
                text += QLatin1Char(' ') + lastError;
            throw WordError(text);
        }
    }
}

bool terminate(const Ref<css::uno::XComponentContext>& office) {
    return call([&] {
        try {
            return bool(css::frame::Desktop::create(office)->terminate());
        } catch (const css::lang::DisposedException&) {
            return true;
        }
    });
}

} // namespace tolvane::docs::uno
