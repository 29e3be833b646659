#pragma once

// Internal to the UNO module (tolvane_uno), as is everything in this folder:
// nothing outside it includes UNO headers.

#include "docs/WordApi.h"

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

// Runs f and turns every UNO exception into a WordError.
template <class F> auto call(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const css::uno::Exception& e) {
        throw WordError(caughtMessage(e));
    }
}

// The office listening on the pipe, or null when nothing answers there.
Ref<css::uno::XComponentContext> attach(const QString& pipeName);

// Asks the office to end. An office that goes away during the call has done
// what was asked.
bool terminate(const Ref<css::uno::XComponentContext>& office);

} // namespace tolvane::docs::uno
