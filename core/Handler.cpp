#include "core/Handler.h"

#include "core/Messages.h"

#include <exception>

namespace tolvane {

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        errorMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        errorMessage(QStringLiteral("An unknown error occurred."));
    }
}

} // namespace tolvane
