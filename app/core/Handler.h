#pragma once

#include <QObject>

#include <functional>
#include <utility>

namespace tolvane {

// Runs one event handler; an error it raises is shown as the general error
// box and goes no further, so the window stays usable.
void runHandler(const std::function<void()>& handler);

// Connects a signal to a handler through runHandler, so that no exception
// crosses a Qt signal.
template <typename Sender, typename Signal, typename Fn>
QMetaObject::Connection connectHandler(Sender* sender, Signal signal, QObject* context, Fn fn) {
    return QObject::connect(sender, signal, context, [fn = std::move(fn)](auto&&... args) {
        runHandler([&] { fn(std::forward<decltype(args)>(args)...); });
    });
}

} // namespace tolvane
