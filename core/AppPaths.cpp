#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

QString findInFolder(const QString& folder, const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QChar(0)))
        return QString();
    const QString exact = folder + name;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList files =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& file : files)
        if (file.compare(name, Qt::CaseInsensitive) == 0 && QFileInfo(folder + file).isFile())
            return folder + file;
    return QString();
}

void AppPaths::setExeDirOverride(const QString& dir) {
    overrideDir() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

} // namespace tolvane
