#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

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

QString AppPaths::docDir() {
    return exeDir() + QStringLiteral("Doc/");
}

void AppPaths::setExeDirOverride(const QString& dir) {
    overrideDir() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

} // namespace tolvane
