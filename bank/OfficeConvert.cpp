#include "bank/OfficeConvert.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tolvane::bank {

bool isOleCompoundFile(const QString& path) {
    static const char kSignature[8] = {'\xD0', '\xCF', '\x11', '\xE0',
                                       '\xA1', '\xB1', '\x1A', '\xE1'};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(8) == QByteArray(kSignature, 8);
}

void convertToWord(const QString& officeProgram, const QStringList& sources, const QString& outDir,
                   const QString& profileDir, int timeoutMs) {
    if (sources.isEmpty())
        return;
    QStringList args{
        QStringLiteral("--headless"), QStringLiteral("--norestore"),
        QStringLiteral("-env:UserInstallation=") +
            QUrl::fromLocalFile(QDir(profileDir).absolutePath()).toString(QUrl::FullyEncoded),
        // Named filter: plain "doc" finds no export filter for
        // HTML, which the office opens as a web page.
        QStringLiteral("--convert-to"), QStringLiteral("doc:MS Word 97"),
        QStringLiteral("--outdir"), outDir};
    args += sources;

    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.start(officeProgram, args);
    if (!office.waitForStarted(30000))
        throw MakeBankError(
            QStringLiteral("Could not start the office program \"%1\" to write the "
                           "demo documents (%2). Install LibreOffice Writer "
                           "(Debian: libreoffice-writer-nogui) or leave out --demo.")
                .arg(officeProgram, office.errorString()));
    if (!office.waitForFinished(timeoutMs)) {
        office.kill();
        office.waitForFinished(5000);
        throw MakeBankError(QStringLiteral("The office program \"%1\" did not finish writing the "
                                           "demo documents within %2 seconds.")
                                .arg(officeProgram)
                                .arg(timeoutMs / 1000));
    }
    const QString output = QString::fromLocal8Bit(office.readAll()).trimmed();
    if (office.exitStatus() != QProcess::NormalExit || office.exitCode() != 0)
        throw MakeBankError(QStringLiteral("The office program \"%1\" failed writing the demo "
                                           "documents (exit code %2): %3")
                                .arg(officeProgram)
                                .arg(office.exitCode())
                                .arg(output));

    // The office reports some failures only on its output, with exit code 0.
    QStringList missing;
    for (const QString& source : sources) {
        const QString doc =
            QDir(outDir).filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".doc"));
        if (!isOleCompoundFile(doc))
            missing << QFileInfo(doc).fileName();
    }
    if (!missing.isEmpty())
        throw MakeBankError(QStringLiteral("The office program \"%1\" did not write these demo "
                                           "documents as Word files: %2. Its output: %3")
                                .arg(officeProgram, missing.join(QStringLiteral(", ")), output));
}

} // namespace tolvane::bank
