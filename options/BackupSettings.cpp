#include "options/BackupSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tolvane::options {

namespace {

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// "[name]" gives name; anything else a null text.
QString sectionOf(const QString& trimmed) {
    if (trimmed.startsWith('[') && trimmed.endsWith(']'))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return QString();
}

bool splitKey(const QString& line, QString* key, QString* value) {
    const int eq = line.indexOf('=');
    if (eq <= 0)
        return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    if (value->isNull())
        *value = QLatin1String("");
    return !key->isEmpty();
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path) {
    reload();
}

void IniFile::reload() {
    m_lines.clear();
    m_lineEnd = QStringLiteral("\n");
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.contains(QLatin1String("\r\n")))
        m_lineEnd = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_lines = text.split('\n');
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const {
    QString current;
    for (const QString& line : m_lines) {
        const QString t = line.trimmed();
        if (t.isEmpty() || isComment(t))
            continue;
        const QString s = sectionOf(t);
        if (!s.isNull()) {
            current = s;
            continue;
        }
        QString k, v;
        if (same(current, section) && splitKey(line, &k, &v) && same(k, key))
            return v;
    }
    return fallback;
}

int IniFile::intValue(const QString& section, const QString& key, int fallback) const {
    bool ok = false;
    const int n = value(section, key).toInt(&ok);
    return ok ? n : fallback;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return !value(section, key).isNull();
}

void IniFile::write(const QString& section, const QString& key, const QString& value) {
    write(QList<Entry>{{section, key, value}});
}

void IniFile::write(const QList<Entry>& entries) {
    // Another program may have written the file since it was read: its keys
    // are kept, only ours are set.
    const QString where = QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath());
    for (const Entry& e : entries) {
        // A line break would end the value early and make the rest a key of
        // its own.
        for (const QString& part : {e.section, e.key, e.value})
            if (part.contains('\n') || part.contains('\r'))
                throw SettingsError(
                    QStringLiteral("Error: \"%1\" cannot be kept in the settings file \"%2\": it "
                                   "holds a line break.")
                        .arg(part.simplified(), where));
    }
    reload();
    QStringList lines = m_lines;
    for (const Entry& e : entries) {
        QString current;
        int sectionEnd = -1; // the line after the section's last key
        bool set = false;
        for (int i = 0; i < lines.size() && !set; ++i) {
            const QString t = lines[i].trimmed();
            const QString s = sectionOf(t);
            if (!s.isNull()) {
                current = s;
                continue;
            }
            if (!same(current, e.section) || t.isEmpty() || isComment(t))
                continue;
            sectionEnd = i + 1;
            QString k, v;
            if (splitKey(lines[i], &k, &v) && same(k, e.key)) {
                lines[i] = k + '=' + e.value;
                set = true;
            }
        }
        if (set)
            continue;
        if (sectionEnd < 0) {
            // The section header may stand alone, without keys.
            for (int i = 0; i < lines.size(); ++i)
                if (same(sectionOf(lines[i].trimmed()), e.section))
                    sectionEnd = i + 1;
        }
        if (sectionEnd >= 0) {
            lines.insert(sectionEnd, e.key + '=' + e.value);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << '[' + e.section + ']' << e.key + '=' + e.value;
        }
    }

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw SettingsError(QStringLiteral("Error: The settings file \"%1\" cannot be written: %2")
                                .arg(where, file.errorString()));
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += (line + m_lineEnd).toUtf8();
    // QSaveFile flushes to disk before it renames the new file into place.
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw SettingsError(QStringLiteral("Error: The settings file \"%1\" cannot be written: %2")
                                .arg(where, file.errorString()));
    m_lines = lines;
}

namespace backupini {

QString backupKey(int i) {
    return QStringLiteral("bak") + QString::number(i);
}

static QString withSlash(QString dir) {
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

QString filePath(const QString& programDir) {
    return withSlash(programDir) + QLatin1String(kFileName);
}

QString defaultBackupPath(const QString& programDir) {
    return withSlash(programDir) + QStringLiteral("BackupDB");
}

QStringList labels(const IniFile& file) {
    const int count = qMin(file.intValue(kSection, kCount, 0), kMaxListed);
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << file.value(kLabelSection, backupKey(i), QStringLiteral("0"));
    return out;
}

} // namespace backupini

} // namespace tolvane::options
