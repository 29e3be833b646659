#pragma once

// Internal to the UNO module (tolvane_uno), as is everything in this folder:
// nothing outside it includes UNO headers.

#include "docs/WordApi.h"

#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include <QString>

namespace tolvane::docs::uno {

namespace css = ::com::sun::star;
template <class T> using Ref = css::uno::Reference<T>;

inline rtl::OUString toOU(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size());
}
inline QString fromOU(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

// The text of the UNO exception being handled (call inside a catch block):
// its message, or its type's name when the office gave none.
QString caughtMessage(const css::uno::Exception& e);

// The text for a call that found the connection to the office gone: the
// office was quit, ended or killed, or closed its end of the pipe.
QString lostConnectionMessage(const QString& officeMessage);

// Runs f and turns every UNO exception into a WordError.
template <class F> auto call(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const css::lang::DisposedException& e) {
        throw WordError(lostConnectionMessage(caughtMessage(e)));
    } catch (const css::uno::Exception& e) {
        throw WordError(caughtMessage(e));
    }
}

// One connection to an office: its context and the bridge that carries the
// calls. The bridge goes away by itself once nothing refers to the office
// any more.
struct Session {
    Ref<css::uno::XComponentContext> office;
    Ref<css::bridge::XBridge> bridge;
};

// The office listening on the pipe; an empty session when nothing answers
// there.
Session attach(const QString& pipeName);

// Asks the office to end, then closes this side of the bridge at once. An
// office that is ending closes its end of the pipe at a moment of its own;
// whatever this side still had to send (the release of the references held
// to it) is dropped rather than written into a pipe that may be closing. An
// office that goes away during the call has done what was asked.
bool terminate(const Session& session);

} // namespace tolvane::docs::uno
