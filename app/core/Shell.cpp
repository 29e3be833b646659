#include "app/core/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
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
std::function<void()>& terminateHandler() {
    static std::function<void()> h;
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

void openHelpFile() {
    const QString file = QDir::current().absoluteFilePath(QStringLiteral("Zenlo.chm"));
    if (QFileInfo::exists(file))
        shellOpen(file);
}

void terminateApplication() {
    if (terminateHandler()) {
        terminateHandler()();
        return;
    }
    QApplication::closeAllWindows();
    // Ends the modal loops of the open windows as well as the main one.
    QCoreApplication::quit();
}

void setShellOpenHandler(std::function<bool(const QString&)> handler) {
    openHandler() = std::move(handler);
}

void setStartDetachedHandler(std::function<bool(const QString&, const QStringList&)> handler) {
    startHandler() = std::move(handler);
}

void setTerminateHandler(std::function<void()> handler) {
    terminateHandler() = std::move(handler);
}

} // namespace tolvane
