#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace tolvane::options {

// A settings file that could not be written; what() is the text shown to the
// user.
class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// A settings file of sections in brackets and key=value lines, read and
// written key by key as the backup program and this program share it.
// Sections and keys match without regard to letter case; values are taken as
// written, trimmed of surrounding blanks, with no escapes and no lists (a
// folder may hold commas or backslashes).
class IniFile {
public:
    explicit IniFile(const QString& path);

    QString path() const { return m_path; }
    // Reads the file again as it is on disk.
    void reload();

    // The value of a key; `fallback` when the file, the section or the key is
    // missing.
    QString value(const QString& section, const QString& key,
                  const QString& fallback = QString()) const;
    // A value that is no whole number reads as `fallback`.
    int intValue(const QString& section, const QString& key, int fallback) const;
    bool contains(const QString& section, const QString& key) const;

    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    // Sets the keys in the file as it is on disk now and writes it whole, all
    // keys at once: written beside, flushed to disk and renamed over the old
    // one, so a failure or a kill leaves the file as it was. Every other line
    // (keys, sections, comments) keeps its place. Throws SettingsError.
    void write(const QList<Entry>& entries);
    void write(const QString& section, const QString& key, const QString& value);

private:
    QString m_path;
    QStringList m_lines; // without line ends
    QString m_lineEnd = QStringLiteral("\n");
};

// The settings of the backup, in set.ini beside the executable.
namespace backupini {
inline const char kFileName[] = "set.ini";
inline const char kSection[] = "bakup";          // BakPath, num, CZ, RQ
inline const char kLabelSection[] = "bakupdian"; // bak1 ... bak<num>: the labels
// Where each recorded backup lies, under the same keys as its label: a
// backup stays where it was made when the backup folder changes later.
inline const char kFolderSection[] = "bakupdir";
inline const char kBackupPath[] = "BakPath";
inline const char kCount[] = "num";
inline const char kOperation[] = "CZ";
inline const char kRestoreLabel[] = "RQ";

// The key of backup i (from 1) in kLabelSection and kFolderSection.
QString backupKey(int i);
// set.ini in the program folder.
QString filePath(const QString& programDir);
// The backup folder used while none is set: "BackupDB" in the program folder.
QString defaultBackupPath(const QString& programDir);
// The labels of backups 1 to num, "0" for each that is missing. A count far
// beyond any real number of backups lists no more than kMaxListed.
constexpr int kMaxListed = 10000;
QStringList labels(const IniFile& file);
} // namespace backupini

} // namespace tolvane::options
