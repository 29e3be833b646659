#pragma once

#include "db/Query.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

namespace tolvane::papers {

// A paper's difficulty text from its weight: the easy marks, twice the
// medium marks and three times the hard marks. The scale is fixed, whatever
// the paper's total mark: up to 109 is "Easy", from 191 "Hard".
QString paperDifficultyText(qint64 weight);
// A sum made wide, held at the limits of 64 bits rather than wrapped.
qint64 clampTo64(__int128 weight);

// A paper's identifier: the local date and time of saving as the lecturer's
// desktop writes them, the short date, a blank and the long time without a
// time zone; at exactly midnight the date alone. Its resolution is a second.
QString paperIdentifier(const QDateTime& when, const QLocale& locale = QLocale::system());

// The locale's long time format without its time-zone part.
QString longTimeFormatWithoutZone(const QLocale& locale);

// One question row of a saved paper.
struct PaperQuestion {
    int typeId = 0;
    int number = 0;
    int mark = 0;
};

// What is stored of one paper.
struct PaperRecord {
    QString identifier;
    QString creator;
    QString difficulty;
    QList<PaperQuestion> questions;
};

// A new paper of `creator` with the identifier of `when` and the difficulty
// text of `weight`, its questions still to be added.
PaperRecord newPaper(const QString& creator, qint64 weight,
                     const QDateTime& when = QDateTime::currentDateTime());

// Writes the paper row to SJ and its question rows to SJT through `query`,
// all in one transaction, so that a failure or a crash at any moment leaves
// either the whole paper or nothing of it. On a refused row the lecturer is
// told `failureText` (captioned "Submission failure"), and after a refused
// question row the paper's identifier is also cleared from both tables.
// Returns whether the paper was stored.
bool savePaper(db::Query& query, const PaperRecord& paper, const QString& failureText);
// The same for papers that belong together (a pair drawn to one request):
// all of them are stored, or none.
bool savePapers(db::Query& query, const QList<PaperRecord>& papers, const QString& failureText);

} // namespace tolvane::papers
