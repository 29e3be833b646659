// Loads the UNO module at run time. The program links no UNO library, so it
// starts on a machine without LibreOffice; only here, when the office is
// first needed, does a missing office (or a missing module) show, as an error
// that the callers turn into their own message.
#include "core/BrokenPipes.h"
#include "docs/LibreOffice.h"
#include "docs/OfficeBridge.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

#include <map>

namespace tolvane::docs {

namespace {

QString& modulePathOverride() {
    static QString path;
    return path;
}

} // namespace

QString unoModulePath() {
    if (!modulePathOverride().isEmpty())
        return modulePathOverride();
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/" TOLVANE_UNO_MODULE_NAME);
    // Tests run from folders of their own in the build tree.
    if (!QFileInfo::exists(beside) && QFileInfo::exists(QStringLiteral(TOLVANE_UNO_MODULE_BUILT)))
        return QStringLiteral(TOLVANE_UNO_MODULE_BUILT);
    return beside;
}

void setUnoModulePath(const QString& path) {
    modulePathOverride() = path;
}

bridge::Bridge& officeBridge() {
    // A module once loaded stays loaded: UNO cannot be torn down safely.
    // One that failed is tried again next time, so an office installed
    // meanwhile is found.
    static std::map<QString, bridge::Bridge*> loaded;
    // Whoever talks to the office must survive its end of the pipe closing.
    ignoreBrokenPipes();
    const QString path = unoModulePath();
    if (const auto it = loaded.find(path); it != loaded.end())
        return *it->second;

    const QString failure =
        QStringLiteral("The word processor's bridge (%1) could not be loaded: %2");
    // Destroying the QLibrary object leaves a loaded library loaded.
    QLibrary library(path);
    // Global symbols, as if the program had been linked against the module:
    // UNO's own libraries look up the module's type information by name.
    library.setLoadHints(QLibrary::ExportExternalSymbolsHint);
    if (!library.load())
        throw WordError(failure.arg(path, library.errorString()));
    const auto entry =
        reinterpret_cast<TolvaneOfficeBridgeEntry>(library.resolve(TOLVANE_OFFICE_BRIDGE_ENTRY));
    if (!entry) {
        const QString why = library.errorString();
        library.unload();
        throw WordError(failure.arg(path, why));
    }
    bridge::Bridge* bridge = entry(bridge::kInterfaceVersion);
    if (!bridge) {
        library.unload();
        throw WordError(
            failure.arg(path, QStringLiteral("it was built for another version of this program")));
    }
    loaded.emplace(path, bridge);
    return *bridge;
}

} // namespace tolvane::docs
