#include "core/Shell.h"

#include "core/AppPaths.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
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
// Whether the desktop names a program for the file. The launcher is started
// without waiting and reports nothing when it finds none, so this is asked
// first; where it cannot be asked, the desktop is left to try.
bool desktopHasProgramFor(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(path);
    return true;
#endif
}
} // namespace

bool shellOpen(const QString& path) {
    if (openHandler())
        return openHandler()(path);
    const QString file = QFileInfo(path).absoluteFilePath();
    if (!desktopHasProgramFor(file))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

bool startDetached(const QString& program, const QStringList& arguments) {
    if (startHandler())
        return startHandler()(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void openHelpFile() {
    const QString file = AppPaths::helpFile();
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
