#pragma once

#include "exchange/Exchange.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <functional>

namespace tolvane {
class Progress;
}
namespace tolvane::db {
class Connection;
}

namespace tolvane::exchange {

// A question as a row of one of the six question tables: its type code (1
// to 6, which names the table), its number BH (0 for none) and its other
// columns by name.
struct BankQuestion {
    int typeId = 0;
    qint64 number = 0;
    QMap<QString, QVariant> columns;
    QString text(const char* column) const {
        return columns.value(QLatin1String(column)).toString();
    }
};

QString tableOf(int typeId);
// The type as the windows call it: "Multiple choice", "Fill-in-blank",
// "Type 3" ... "Type 6" (type code 5 is "Type 4", code 4 "Type 5").
QString typeLabel(int typeId);
// Type codes in the order the windows list them: 1, 2, 3, 5, 4, 6.
const std::array<int, 6>& typeOrder();

// A question not imported or not exported, and why.
struct LeftOut {
    QString type; // the file's type name on import, the type label on export
    QString name;
    QString reason;
    int line = 0; // where it starts in the imported file; 0 on export
};

struct ImportOptions {
    int defaultDifficulty = 13; // NY for questions without a difficulty tag
    QString defaultChapter;     // CZ for questions without a category
    int essayTypeId = 3;        // essays without documents: 3 (Type 3) or 5 (Type 4)
    bool dryRun = false;        // read and report, write nothing
    int lockWaitMs = 10000;     // how long to wait for a bank another program writes to
    std::function<void(const QString&)> onWaiting; // told once when the bank is locked
    Progress* progress = nullptr;
};

using TypeCounts = std::array<int, 7>; // by type code, 1 to 6

struct ImportReport {
    Format format = Format::MoodleXml;
    TypeCounts imported{};
    QMap<QString, TypeCounts> perChapter; // CZ -> counts
    QList<LeftOut> leftOut;
    QStringList newChapters; // item texts of the chapters made
    QStringList documents;   // files written into Doc/ (on a dry run: would be)
    int total() const;
    // One line per question left out, then the summary line.
    QStringList lines() const;
};

// Imports a file of either format into the bank. The rows go in one
// transaction; documents are written into docDir only for rows that were
// committed. Throws ExchangeError for a file that cannot be read (nothing
// is written then) and db::DbError for a bank that cannot be written.
ImportReport importFile(db::Connection& connection, const QString& docDir, const QByteArray& data,
                        const ImportOptions& options);
ImportReport importQuestions(db::Connection& connection, const QString& docDir,
                             const QList<ExchangedQuestion>& questions,
                             const ImportOptions& options, Format format);

struct ExportOptions {
    Format format = Format::MoodleXml;
    QStringList chapters; // the CZ texts to export; empty: every question
    bool embedDocuments = true;
};

struct ExportReport {
    TypeCounts exported{};
    QList<LeftOut> leftOut;
    QStringList missingDocuments; // quoted but not in Doc/: linked, not embedded
    QByteArray data;
    int total() const;
    QStringList lines() const;
};

ExportReport exportBank(db::Connection& connection, const QString& docDir,
                        const ExportOptions& options);

// The CZ texts chapter codes select: a chapter's own text and those of all its
// sections, or a section's text. Throws ExchangeError naming a code the bank
// does not hold.
QStringList chapterTextsForCodes(db::Connection& connection, const QStringList& codes);
// The item text of the chapter or section with this code, or nothing.
QString chapterTextForCode(db::Connection& connection, const QString& code);

// The mapping on its own, for the formats' tests and the benchmark.
QList<BankQuestion> readBankQuestions(db::Connection& connection);
// Each question as the format carries it, or why it cannot be; documents are
// read from docDir when embedded.
struct ExportItem {
    bool ok = false;
    ExchangedQuestion question;
    QString reason;
};
ExportItem toExchanged(const BankQuestion& q, Format format, const QString& docDir, bool embed,
                       QStringList* missingDocuments = nullptr);

} // namespace tolvane::exchange
