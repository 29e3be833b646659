#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tolvane::db {
class Query;
}

namespace tolvane::bank {

// A document name as questions store it: a non-empty name that does not end
// in exactly ".doc" (letter case counts) gets ".doc" appended; an empty name
// stays empty.
QString completeDocName(const QString& name);

// Whether a document of this bare name, in any letter case, lies in the
// document folder Doc/, the folder every other window reads quoted documents
// from. A name with a folder part is never found: documents are kept under
// bare names, and a name must not reach files outside the folder.
bool documentExists(const QString& name);

// One document quoted by a question: the name as typed, the name it is looked
// for and stored under, and the message shown when it is missing.
struct QuotedDocument {
    QString typed;
    QString stored;
    QString missingMessage;
};

// The messages of the quoted documents that are named but not in Doc/, in the
// order given: every missing document gets its own message.
QStringList missingDocumentMessages(const QList<QuotedDocument>& documents);

// A count box's text as an integer. Text that is no integer (an empty box
// included) throws std::runtime_error "'<text>' is not a valid integer value".
int toInteger(const QString& text);

// The answer completeness rule for a question with `count` answers, of which
// `answers` holds every box (five). With count 1 or more, answers 1 to count
// must be filled; with count 0 or less, answer 1 alone. Returns the 0-based
// index of the first required answer that is empty, or nothing when all are
// filled. A count above the number of boxes whose boxes are all filled throws
// std::runtime_error: such a question cannot be stored.
std::optional<int> firstMissingAnswer(int count, const QStringList& answers);

// Runs the open statement's rows through an exact comparison: true when some
// row's `column` (a null reads as empty text) equals `text` character for
// character, letter case, spaces and line breaks included.
bool containsExactly(const db::Query& query, const QString& column, const QString& text);

} // namespace tolvane::bank
