#include "papers/PaperSave.h"

#include "core/Messages.h"

#include <limits>

namespace tolvane::papers {

QString paperDifficultyText(qint64 weight) {
    if (weight >= 191)
        return QStringLiteral("Hard");
    if (weight <= 109)
        return QStringLiteral("Easy");
    return QStringLiteral("Medium");
}

qint64 clampTo64(__int128 weight) {
    const __int128 hi = std::numeric_limits<qint64>::max();
    const __int128 lo = std::numeric_limits<qint64>::min();
    return static_cast<qint64>(weight > hi ? hi : (weight < lo ? lo : weight));
}

QString longTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop every run of 't' outside quoted text, with the blanks that
    // separate it from the rest.
    QString out;
    bool quoted = false;
    for (int i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (!quoted && c == QLatin1Char('t')) {
            while (i < format.size() && format[i] == QLatin1Char('t'))
                ++i;
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            if (out.isEmpty())
                while (i < format.size() && format[i].isSpace())
                    ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return out.trimmed();
}

QString paperIdentifier(const QDateTime& when, const QLocale& locale) {
    const QDate date = when.date();
    const QTime raw = when.time();
    const QTime time(raw.hour(), raw.minute(), raw.second());
    const QString dateText = locale.toString(date, QLocale::ShortFormat);
    if (time == QTime(0, 0))
        return dateText;
    return dateText + QLatin1Char(' ') + locale.toString(time, longTimeFormatWithoutZone(locale));
}

PaperRecord newPaper(const QString& creator, qint64 weight, const QDateTime& when) {
    PaperRecord paper;
    paper.identifier = paperIdentifier(when);
    paper.creator = creator;
    paper.difficulty = paperDifficultyText(weight);
    return paper;
}

namespace {

void reportFailure(const QString& text) {
    showMessage(text, QStringLiteral("Submission failure"), MsgIcon::Error);
}

// Runs one of the clean-up statements for an identifier.
void clearIdentifier(db::Query& query, const QString& statement, const QString& identifier) {
    query.close();
    query.setSql(statement);
    query.bindText(QStringLiteral("SJDH"), identifier);
    query.execSql();
}

} // namespace

bool savePaper(db::Query& query, const PaperRecord& paper, const QString& failureText) {
    return savePapers(query, {paper}, failureText);
}

bool savePapers(db::Query& query, const QList<PaperRecord>& papers, const QString& failureText) {
    db::Transaction transaction(*query.connection());
    // Posts the pending row; a refusal takes back everything of these
    // papers and tells the lecturer.
    const auto post = [&] {
        try {
            query.post();
            return true;
        } catch (const db::DbError&) {
            transaction.rollback();
            reportFailure(failureText);
            query.cancel();
            return false;
        }
    };

    query.close();
    query.setSql(QStringLiteral("SELECT * FROM SJ"));
    query.open();
    for (const PaperRecord& paper : papers) {
        query.append();
        query.setFieldText(QStringLiteral("SJDH"), paper.identifier);
        query.setFieldText(QStringLiteral("CJLS"), paper.creator);
        query.setFieldText(QStringLiteral("ND"), paper.difficulty);
        // A refused paper row clears nothing: it may be refused because a
        // paper saved earlier holds the same identifier, and that one must
        // stay.
        if (!post())
            return false;
    }

    query.close();
    query.setSql(QStringLiteral("SELECT * FROM SJT"));
    query.open();
    for (const PaperRecord& paper : papers) {
        for (const PaperQuestion& q : paper.questions) {
            query.append();
            query.setFieldText(QStringLiteral("SJDH"), paper.identifier);
            query.setFieldInt(QStringLiteral("TypeID"), q.typeId);
            query.setFieldInt(QStringLiteral("BH"), q.number);
            query.setFieldInt(QStringLiteral("FZ"), q.mark);
            if (!post()) {
                // The rollback has already taken the papers back; the
                // clean-up also clears any row a damaged bank may still hold
                // under their identifiers.
                for (const PaperRecord& written : papers) {
                    clearIdentifier(query, QStringLiteral("DELETE FROM SJT WHERE SJDH=:SJDH"),
                                    written.identifier);
                    clearIdentifier(query, QStringLiteral("DELETE FROM SJ WHERE SJDH=:SJDH"),
                                    written.identifier);
                }
                return false;
            }
        }
    }
    try {
        transaction.commit();
    } catch (const db::DbError&) {
        transaction.rollback();
        reportFailure(failureText);
        return false;
    }
    query.close();
    return true;
}

} // namespace tolvane::papers
