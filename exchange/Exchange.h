#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace tolvane::exchange {

// A file that cannot be read at all: ill-formed, truncated, not UTF-8. The
// text names the line and column where there is one.
class ExchangeError : public std::runtime_error {
public:
    explicit ExchangeError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

enum class Format { MoodleXml, Gift };

// A file carried inside an exchanged question (base64 in Moodle XML).
struct EmbeddedFile {
    QString name; // as the file names it; may hold a folder part
    QByteArray data;
};

// One answer of a choice, short-answer, true/false or numerical question, or
// one answer of a cloze gap. Text is plain.
struct Answer {
    QString text;
    double fraction = 0; // percent: 100 is fully correct
    QString tolerance;   // numerical only; empty when none
};

// A cloze gap: its sub-question type ("SHORTANSWER", "NUMERICAL", ...) and
// its answers.
struct Gap {
    QString type;
    QList<Answer> answers;
};

// An item of the numbered list of a Type 6 question's sub-answers.
struct SubAnswer {
    QString text;
    QString document; // an embedded word-processor document, if any
};

// A question as both formats carry it, with HTML already made plain text.
// A category entry carries only its path.
struct ExchangedQuestion {
    QString type; // the format's own name: multichoice, truefalse, shortanswer, numerical,
                  // cloze, essay, category, matching, description, ...
    QString name;
    QString text;                // cloze: each gap stands as gapMark(i)
    QList<Answer> answers;       // in the order written
    QList<Gap> gaps;             // cloze
    bool single = true;          // multichoice: one answer only
    QString graderInfo;          // essay: the marker's information
    QList<SubAnswer> subAnswers; // essay: the numbered list of the marker's information
    QStringList textDocuments;   // word-processor documents linked from the text
    QStringList graderDocuments; // ... and from the marker's information
    QList<EmbeddedFile> files;   // everything embedded (documents and pictures)
    QStringList tags;
    QString idNumber;
    QStringList category; // category entries: the path without $...$ and top
    int line = 0;         // where the question starts in the file
    QString problem;      // set when the question itself cannot be read
};

// The character that stands for gap i (from 0) of a cloze text.
QChar gapMark(int index);
int gapIndex(QChar c); // -1 when c is no gap mark

// Whether a file name is a word-processor document a question may quote.
bool isDocumentName(const QString& name);

// Plain text and HTML. Text becomes HTML that reads back as exactly the same
// text: line breaks as <br>, spaces that HTML would fold and control
// characters as character references.
QString textToHtml(const QString& text);

struct HtmlText {
    QString text;
    QStringList images;    // embedded pictures shown, by file name
    QStringList documents; // embedded word-processor documents linked
};
// HTML as plain text: tags dropped, paragraphs and <br> as line breaks,
// whitespace folded as a browser folds it, entities decoded. A picture of
// an embedded file stands as "[image: name]"; a link to an embedded
// word-processor document is taken out of the text and listed.
HtmlText htmlToText(const QString& html);
// Entities decoded, nothing else.
QString decodeEntities(const QString& text);
// What XML cannot carry at all (control characters other than tab and line
// breaks) taken out.
QString xmlSafe(const QString& text);

// Throws ExchangeError naming the line and column of the first byte that is
// not UTF-8.
void requireUtf8(const QByteArray& data);

// The readers. Both check that the bytes are UTF-8 first. Throw
// ExchangeError for a file that cannot be read.
QList<ExchangedQuestion> readMoodleXml(const QByteArray& data);
QList<ExchangedQuestion> readGift(const QByteArray& data);
// The format told from the content: a <quiz> root is Moodle XML.
Format detectFormat(const QByteArray& data);
QList<ExchangedQuestion> readQuestions(const QByteArray& data, Format* format = nullptr);

// The writers take questions already mapped (see BankExchange.h) and write
// them in order; a category entry switches the category of those after it.
QByteArray writeMoodleXml(const QList<ExchangedQuestion>& questions);
QByteArray writeGift(const QList<ExchangedQuestion>& questions);

// GIFT's escapes for ~ = # { } : and the backslash, and \n for a line break.
QString giftEscape(const QString& text);

// Category paths: segments joined with '/', a '/' inside a segment doubled.
QStringList splitCategoryPath(const QString& path);
QString joinCategoryPath(const QStringList& segments);

} // namespace tolvane::exchange
