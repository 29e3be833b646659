#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tolvane {

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}

QString withSlash(QString dir) {
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}
} // namespace

QString AppPaths::exeDir() {
    if (!overrideDir().isEmpty())
        return withSlash(overrideDir());
    return withSlash(QCoreApplication::applicationDirPath());
}

QString AppPaths::beside(const QString& relative) {
    return exeDir() + relative;
}

bool AppPaths::isPortable() {
    return QFileInfo(exeDir() + QStringLiteral("DB")).isDir();
}

QString AppPaths::dataDirFor(const QString& programDir) {
    if (QFileInfo(withSlash(programDir) + QStringLiteral("DB")).isDir())
        return withSlash(QDir(programDir).absolutePath());
    return userDataDir();
}

QString AppPaths::userDataDir() {
    // Read each time: the environment decides, and tests change it.
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
           QStringLiteral("Tolvane/");
}

QString AppPaths::dataDir() {
    return dataDirFor(exeDir());
}

QString AppPaths::docDir() {
    return dataDir() + QStringLiteral("Doc/");
}

QString AppPaths::bankFile() {
    return dataDir() + QStringLiteral("DB/TiKu.mdb");
}

QString AppPaths::helpFile() {
    const QString name = QStringLiteral("Zenlo.chm");
    const QString beside = exeDir() + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(exeDir() + QStringLiteral(TOLVANE_HELP_FROM_PROGRAM "/") + name);
    return QFileInfo::exists(installed) ? installed : beside;
}

void AppPaths::setExeDirOverride(const QString& dir) {
    overrideDir() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

} // namespace tolvane
