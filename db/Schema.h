#pragma once

#include "db/Database.h"

#include <QString>
#include <QStringList>

namespace tolvane::db {

// The thirteen tables of a question bank, in the order their columns are
// stored.
QStringList schemaStatements();
QStringList tableNames();

// Indexes on the difficulty of every question table: the bank statistics
// and the drawing select a type's questions of one difficulty, which
// without them reads (and decrypts) the whole table each time. Rows of one
// difficulty still come in table order.
QStringList indexStatements();
// Adds those of them a bank made earlier lacks. A bank that cannot be
// written (read-only, in use) is left as it is: it only answers slower.
void ensureIndexes(Connection& connection);

// Writes the schema and the rows the program depends on (difficulties,
// question types, permissions) into an empty bank.
void createSchema(Connection& connection);
void insertRequiredRows(Connection& connection);

// A chapter's item text, as chapter lists and trees show it and a question's
// CZ stores it: the code, two spaces, the name.
QString chapterItemText(const QString& code, const QString& name);

// The permission names as this bank maker stores them.
QString permissionName(int qxid);

} // namespace tolvane::db
