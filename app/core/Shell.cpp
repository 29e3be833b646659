#include "app/core/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tolvane {

namespace {
std::function<bool(const QString&)>& openHandler() {
    static std::function<bool(const QString&)> h;
    return h;
}
std::function<bool(const QString&, const QStringList&)>& startHandler() {
    static std::function<bool(const QString&, const QStringList&)> h;
    return h;
}
} // namespace

bool shellOpen(const QString& path) {
    if (openHandler())
        return openHandler()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool startDetached(const QString& program, const QStringList& arguments) {
    if (startHandler())
        return startHandler()(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void setShellOpenHandler(std::function<bool(const QString&)> handler) {
    openHandler() = std::move(handler);
}

void setStartDetachedHandler(std::function<bool(const QString&, const QStringList&)> handler) {
    startHandler() = std::move(handler);
}

} // namespace tolvane
