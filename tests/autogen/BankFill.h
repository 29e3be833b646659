#pragma once

#include "tests/support/TestBank.h"

#include <QString>

namespace tolvane::test {

// Files a question in one of the six tables: its number (0 lets the bank
// number it), chapter text and difficulty code.
inline void addQuestion(TestBank& bank, const QString& table, int typeId, int number,
                        const QString& chapter, int ny) {
    db::Query q(&bank.connection());
    q.setSql(QStringLiteral("INSERT INTO %1 (BH, TypeID, TM, CZ, NY) VALUES (:BH, :T, :TM, :CZ, "
                            ":NY)")
                 .arg(table));
    if (number > 0)
        q.bindInt(QStringLiteral("BH"), number);
    else
        q.bindNull(QStringLiteral("BH"));
    q.bindInt(QStringLiteral("T"), typeId);
    q.bindText(QStringLiteral("TM"), QStringLiteral("Question of %1").arg(chapter));
    if (chapter.isNull())
        q.bindNull(QStringLiteral("CZ"));
    else
        q.bindText(QStringLiteral("CZ"), chapter);
    q.bindInt(QStringLiteral("NY"), ny);
    q.execSql();
}

} // namespace tolvane::test
