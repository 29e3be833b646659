#pragma once

#include <QObject>

#include <functional>
#include <type_traits>
#include <utility>

namespace tolvane {

// Runs one event handler; an error it raises is shown as the general error
// box and goes no further, so the window stays usable.
void runHandler(const std::function<void()>& handler);

// Connects a signal to a handler through runHandler, so that no exception
// crosses a Qt signal. The handler takes the signal's arguments, or none.
template <typename Sender, typename Signal, typename Fn>
QMetaObject::Connection connectHandler(Sender* sender, Signal signal, QObject* context, Fn fn) {
    return QObject::connect(sender, signal, context, [fn = std::move(fn)](auto&&... args) {
        runHandler([&] {
            if constexpr (std::is_invocable_v<const Fn&, decltype(args)...>)
                fn(std::forward<decltype(args)>(args)...);
            else
                fn();
        });
    });
}

} // namespace tolvane
