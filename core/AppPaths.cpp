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

// A program folder holding DB/ keeps its data beside itself.
bool holdsData(const QString& programDir) {
    return QFileInfo(withSlash(programDir) + QStringLiteral("DB")).isDir();
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
    return holdsData(exeDir());
}

QString AppPaths::dataDirFor(const QString& programDir) {
    if (holdsData(programDir))
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
