#include "docs/uno/UnoSession.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/exc_hlp.hxx>
#include <rtl/bootstrap.hxx>

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
