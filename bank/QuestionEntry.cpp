#include "bank/QuestionEntry.h"

#include "core/AppPaths.h"
#include "db/Query.h"

#include <algorithm>
#include <stdexcept>

namespace tolvane::bank {

QString completeDocName(const QString& name) {
    static const QString suffix = QStringLiteral(".doc");
    if (name.isEmpty() || name.endsWith(suffix, Qt::CaseSensitive))
        return name;
    return name + suffix;
}

bool documentExists(const QString& name) {
    return !findInFolder(AppPaths::docDir(), name).isEmpty();
}

QStringList missingDocumentMessages(const QList<QuotedDocument>& documents) {
    QStringList messages;
    for (const QuotedDocument& document : documents)
        if (!document.typed.isEmpty() && !documentExists(document.stored))
            messages << document.missingMessage;
    return messages;
}

int toInteger(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw std::runtime_error(
            QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return n;
}

std::optional<int> firstMissingAnswer(int count, const QStringList& answers) {
    const int boxes = static_cast<int>(answers.size());
    const int required = count >= 1 ? std::min(count, boxes) : 1;
    for (int i = 0; i < required && i < boxes; ++i)
        if (answers.at(i).isEmpty())
            return i;
    if (count > boxes)
        throw std::runtime_error(QStringLiteral("A question holds at most %1 answers: the count "
                                                "%2 is too large.")
                                     .arg(boxes)
                                     .arg(count)
                                     .toStdString());
    return std::nullopt;
}

bool containsExactly(const db::Query& query, const QString& column, const QString& text) {
    const int c = query.columnIndex(column);
    if (c < 0)
        throw db::DbError(QStringLiteral("The result has no column '%1'.").arg(column));
    for (int row = 0; row < query.recordCount(); ++row) {
        if (db::Query::displayText(query.value(row, c)).compare(text, Qt::CaseSensitive) == 0)
            return true;
    }
    return false;
}

} // namespace tolvane::bank
