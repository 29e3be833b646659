#pragma once

#include "db/Database.h"

#include <QList>
#include <QString>

namespace tolvane::bank {

// A document quoted by demo questions, as HTML that the office turns into a
// Word file of the same base name.
struct DemoDocument {
    QString fileName; // bare, as questions store it: "sonnet18.doc"
    QString html;
};

// What writeDemoCourse() put into the bank.
struct DemoSummary {
    int chapters = 0;
    int sections = 0;
    int questions[7] = {}; // by TypeID, 1 to 6
    int papers = 0;
    int totalQuestions() const;
};

QString demoCourseName();
QString demoLecturerName();
QString demoLecturerPassword();

// The documents the demo questions quote, every one of them exactly once.
QList<DemoDocument> demoDocuments();

// Writes the demo course into a bank that holds the schema and the required
// rows: the chapters (deliberately not in code order), the questions of all
// six types, two saved papers and the lecturer account.
DemoSummary writeDemoCourse(db::Connection& connection);

} // namespace tolvane::bank
