#pragma once

// The documents the lecturer takes away: a saved paper, a freshly drawn
// paper and the answers of the last of them, written into the word
// processor. Plain code over WordApi.h and the bank; the windows hand in the
// application, the progress and the queries.

#include "autogen/Drawing.h"
#include "autogen/GeneratedTest.h"
#include "core/Progress.h"
#include "db/Query.h"
#include "docs/WordApi.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <iosfwd>
#include <stdexcept>

namespace tolvane::docs {

// A rendering that cannot go on for a reason of its own (a quoted document
// missing, a field without a value); what() is the text for the lecturer.
class RenderError : public std::runtime_error {
public:
    explicit RenderError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// One line of the answers a preview collects for the answer document. Its
// kind is decided by the code that adds it, never read from its text, so an
// answer prints as it was typed whatever it begins with or contains
// ("#include <stdio.h>", "!x", "*", "notes.DOC").
struct AnswerLine {
    enum class Kind {
        Heading,  // a section heading, as written into the test
        Answer,   // the answer of one question
        Parts,    // a type 6 question begins; its part answers follow
        Part,     // the answer of one part of a type 6 question
        Document, // an answer document, by its name in the document folder
    };
    Kind kind = Kind::Answer;
    QString text;

    static AnswerLine heading(const QString& text) { return {Kind::Heading, text}; }
    static AnswerLine answer(const QString& text) { return {Kind::Answer, text}; }
    static AnswerLine parts() { return {Kind::Parts, QString()}; }
    static AnswerLine part(const QString& text) { return {Kind::Part, text}; }
    static AnswerLine document(const QString& name) { return {Kind::Document, name}; }
};
using AnswerLines = QList<AnswerLine>;

bool operator==(const AnswerLine& a, const AnswerLine& b);
inline bool operator!=(const AnswerLine& a, const AnswerLine& b) {
    return !(a == b);
}
// A readable form for test failure output.
std::ostream& operator<<(std::ostream& out, const AnswerLine& line);

// A section heading: the ordinal ("1. " for 1), the section's name, the
// number of questions, the mark of one and their product. `position` is the
// section's place in a paper, 0 (multiple choice) to 5 (type 6).
QString sectionHeading(int position, int ordinal, qint64 count, qint64 mark);

// The line that stands in the test and in the answers for a question whose
// row has gone from its table.
QString missingQuestionText(int position, qint64 number);

// True when nothing but blanks and control characters is left of `text`.
bool isBlankText(const QString& text);

// Renders the saved paper `paperId` from its rows in SJT, section by
// section, into a new document, and collects its answers in `answers`.
// `listedQuestions` is the number of question rows the lecturer sees listed
// for it (it sizes the progress). Section rows are read through
// `paperQuery`, each question through `questionQuery`; quoted documents come
// from `docDir`. Returns false when the word processor could not be reached
// (the lecturer has been told; `answers` is untouched). Any other failure
// raises an error after the progress has been closed and the document
// written so far has been shown.
bool renderSavedPaper(WordApplication& word, Progress& progress, db::Query& paperQuery,
                      db::Query& questionQuery, const QString& paperId, int listedQuestions,
                      const QString& docDir, AnswerLines& answers,
                      const QString& paperLabel = QString());

// `paperLabel`, given to each of these, follows the document's caption and
// title: it tells the second paper of a pair from the first.

// Renders a drawn paper in its order, sections as their types first occur;
// each heading counts the questions drawn of its type, at the mark `request`
// gives the type; unfilled places are skipped. An empty `test` is refused
// with a message (returns false).
bool renderGeneratedTest(WordApplication& word, Progress& progress, db::Query& questionQuery,
                         const GeneratedTestList& test, const autogen::GenerationRequest& request,
                         const QString& docDir, AnswerLines& answers,
                         const QString& paperLabel = QString());

// Renders the answers collected by the last preview. Without answers
// (null or empty) the lecturer is told to preview first (returns false).
bool renderAnswers(WordApplication& word, Progress& progress, const AnswerLines* answers,
                   const QString& docDir, const QString& paperLabel = QString());

} // namespace tolvane::docs
