#include "docs/uno/UnoSession.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
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

QString lostConnectionMessage(const QString& officeMessage) {
    return QStringLiteral("The connection to the word processor was lost: it was closed or has "
                          "ended while Tolvane was using it (%1).")
        .arg(officeMessage);
}

Session attach(const QString& pipeName) {
    return call([&]() -> Session {
        const Ref<css::uno::XComponentContext> local = localContext();
        Ref<css::connection::XConnection> connection;
        try {
            connection =
                css::connection::Connector::create(local)->connect("pipe,name=" + toOU(pipeName));
        } catch (const css::connection::NoConnectException&) {
            return {};
        }
        // An anonymous bridge of its own, so that it can be closed on its
        // own (see terminate).
        Session session;
        session.bridge = css::bridge::BridgeFactory::create(local)->createBridge(
            rtl::OUString(), "urp", connection, nullptr);
        session.office.set(session.bridge->getInstance("StarOffice.ComponentContext"),
                           css::uno::UNO_QUERY_THROW);
        return session;
    });
}

bool terminate(const Session& session) {
    const bool ended = call([&] {
        try {
            return bool(css::frame::Desktop::create(session.office)->terminate());
        } catch (const css::lang::DisposedException&) {
            return true;
        }
    });
    try {
        Ref<css::lang::XComponent>(session.bridge, css::uno::UNO_QUERY_THROW)->dispose();
    } catch (const css::uno::Exception&) {
        // Disposed already: the office closed its end first.
    }
    return ended;
}

} // namespace tolvane::docs::uno
