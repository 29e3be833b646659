#include "bank/MakeBank.h"

#include "bank/OfficeConvert.h"
#include "db/Query.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>
#include <memory>
#include <system_error>

namespace tolvane::bank {

namespace {

const QString kBankRelative = QStringLiteral("DB/TiKu.mdb");

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Replaces `to` with `from` in one step, so a reader sees the old file or the
// new one and never a mixture.
bool replaceFile(const QString& from, const QString& to, QString* error) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec && error)
        *error = QString::fromLocal8Bit(ec.message().c_str());
    return !ec;
}

// A bank file and whatever the database engine may have left beside it.
void removeBankFile(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

void validate(const MakeBankOptions& o) {
    if (o.dir.isEmpty())
        throw UsageError(QStringLiteral("No data folder given."));
    if (o.adminName.trimmed().isEmpty())
        throw UsageError(QStringLiteral("The administrator's name must not be empty."));
    // The login offers user names; one name for two users could never log in
    // as the second.
    if (o.demo && o.adminName.compare(demoLecturerName(), Qt::CaseInsensitive) == 0)
        throw UsageError(QStringLiteral("The administrator cannot be called \"%1\" in a demo bank: "
                                        "that is the demo lecturer's name.")
                             .arg(demoLecturerName()));
}

// Writes the demo documents as Word files into `stageDir`; returns their paths.
QStringList stageDocuments(const MakeBankOptions& o, const QString& stageDir) {
    const QString srcDir = stageDir + QStringLiteral("/src");
    const QString outDir = stageDir + QStringLiteral("/out");
    const QString profileDir = stageDir + QStringLiteral("/profile");
    QDir().mkpath(srcDir);
    QDir().mkpath(outDir);
    QDir().mkpath(profileDir);

    QStringList sources;
    QStringList staged;
    for (const DemoDocument& d : demoDocuments()) {
        const QString base = QFileInfo(d.fileName).completeBaseName();
        const QString source = srcDir + '/' + base + QStringLiteral(".html");
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly) || f.write(d.html.toUtf8()) < 0)
            throw MakeBankError(
                QStringLiteral("Could not write \"%1\": %2").arg(source, f.errorString()));
        sources << source;
        staged << outDir + '/' + d.fileName;
    }
    convertToWord(o.officeProgram, sources, outDir, profileDir, o.officeTimeoutMs);
    return staged;
}

void insertAdministrator(db::Connection& c, const MakeBankOptions& o) {
    db::Query q(&c);
    q.setSql(QStringLiteral("INSERT INTO YH (UserName, Password, QXID) VALUES (:Name, :Pw, 1)"));
    q.bindText(QStringLiteral("Name"), o.adminName);
    q.bindText(QStringLiteral("Pw"), o.adminPassword);
    q.execSql();
}

DemoSummary writeBankFile(const QString& path, const MakeBankOptions& o) {
    DemoSummary summary;
    {
        db::Connection c;
        c.create(path);
        // One transaction: quick, and the file holds all of it or nothing.
        c.execScript(QStringLiteral("BEGIN"));
        db::createSchema(c);
        db::insertRequiredRows(c);
        insertAdministrator(c, o);
        if (o.demo)
            summary = writeDemoCourse(c);
        c.execScript(QStringLiteral("COMMIT"));
    }
    // Read it back the way the program will, before it takes the old bank's
    // place.
    db::Connection check;
    check.open(path);
    db::Query q(&check);
    q.setSql(QStringLiteral("SELECT QXID FROM YH WHERE UserName=:Name"));
    q.bindText(QStringLiteral("Name"), o.adminName);
    q.open();
    if (q.eof() || q.fieldInt(QStringLiteral("QXID")) != 1)
        throw MakeBankError(QStringLiteral("The new bank does not read back its administrator."));
    return summary;
}

} // namespace

MakeBankResult makeBank(const MakeBankOptions& o) {
    validate(o);
    const QDir dir(o.dir);
    if (!QFileInfo(o.dir).isDir())
        throw MakeBankError(
            QStringLiteral("The data folder \"%1\" does not exist.").arg(QDir::cleanPath(o.dir)));

    MakeBankResult result;
    result.bankPath = QDir::cleanPath(dir.absoluteFilePath(kBankRelative));
    result.docDir = QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("Doc")));
    result.demo = o.demo;
    const QFileInfo bankInfo(result.bankPath);
    if (bankInfo.exists() && !bankInfo.isFile())
        throw MakeBankError(QStringLiteral("\"%1\" exists and is not a file; nothing was written.")
                                .arg(result.bankPath));
    if (bankInfo.exists() && !o.force)
        throw MakeBankError(QStringLiteral("A question bank already exists at \"%1\". It was left "
                                           "as it is; give --force to replace it.")
                                .arg(result.bankPath));

    const QList<DemoDocument> documents = o.demo ? demoDocuments() : QList<DemoDocument>();
    if (!o.force) {
        QStringList present;
        for (const DemoDocument& d : documents)
            if (QFileInfo::exists(result.docDir + '/' + d.fileName))
                present << d.fileName;
        if (!present.isEmpty())
            throw MakeBankError(QStringLiteral("These demo documents already exist in \"%1\": %2. "
                                               "Nothing was written; give --force to replace them.")
                                    .arg(result.docDir, present.join(QStringLiteral(", "))));
    }

    const QString keptOld =
        bankInfo.exists() ? QStringLiteral(" The old bank was left as it was.") : QString();

    // The documents come first: when the office is missing or fails, no bank
    // is made, and an old one stays as it was.
    // Sources, converted documents and the office's private profile all live
    // here and go with it.
    std::unique_ptr<QTemporaryDir> stage;
    QStringList staged;
    if (o.demo) {
        stage = std::make_unique<QTemporaryDir>();
        if (!stage->isValid())
            throw MakeBankError(
                QStringLiteral("Could not make a temporary folder: %1").arg(stage->errorString()));
        try {
            if (o.onProgress)
                o.onProgress(
                    QStringLiteral("Writing the demo documents with %1...").arg(o.officeProgram));
            staged = stageDocuments(o, stage->path());
        } catch (const MakeBankError& e) {
            throw MakeBankError(e.text() + QStringLiteral(" No bank was written.") + keptOld);
        }
    }

    for (const char* sub : {"DB", "Doc"})
        if (!dir.mkpath(QLatin1String(sub)))
            throw MakeBankError(QStringLiteral("Could not make the folder \"%1\".")
                                    .arg(dir.absoluteFilePath(QLatin1String(sub))));

    const QString temp =
        QStringLiteral("%1.%2.new").arg(result.bankPath).arg(QCoreApplication::applicationPid());
    removeBankFile(temp);
    try {
        result.summary = writeBankFile(temp, o);
    } catch (const std::exception& e) {
        removeBankFile(temp);
        throw MakeBankError(QStringLiteral("Could not write the question bank: %1.%2")
                                .arg(QString::fromUtf8(e.what()), keptOld));
    }

    for (int i = 0; i < staged.size(); ++i) {
        const QString target = result.docDir + '/' + documents[i].fileName;
        const QString part =
            result.docDir + QStringLiteral("/.") + documents[i].fileName + QStringLiteral(".part");
        QFile::remove(part);
        QString error;
        if (!QFile::copy(staged[i], part) || !replaceFile(part, target, &error)) {
            QFile::remove(part);
            removeBankFile(temp);
            throw MakeBankError(
                QStringLiteral("Could not write the document \"%1\"%2. No bank was "
                               "written.%3")
                    .arg(target, error.isEmpty() ? QString() : ": " + error, keptOld));
        }
        result.documents << documents[i].fileName;
    }

    QString error;
    if (!replaceFile(temp, result.bankPath, &error)) {
        removeBankFile(temp);
        throw MakeBankError(QStringLiteral("Could not put the new bank in place at \"%1\": %2.%3")
                                .arg(result.bankPath, error, keptOld));
    }
    return result;
}

} // namespace tolvane::bank
