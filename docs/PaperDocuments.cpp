#include "docs/PaperDocuments.h"

#include "core/AppPaths.h"
#include "core/Messages.h"

#include <array>
#include <optional>
#include <ostream>

namespace tolvane::docs {

namespace {

const QString kConnecting = QStringLiteral("Connecting to Microsoft Office Word......");
const QString kIndent = QStringLiteral("   ");

// A section of a paper: its place is its index in kSetupRows (type codes 1,
// 2, 3, 5, 4, 6), which also names its table and its type.
const std::array<const char*, 6> kHeadingNames{"Multiple-choice (", "Fill-in-Blank (",
                                               "Type 3 (",          "Type 4 Question(",
                                               "Type 5 Question(",  "Type 6 Question("};
const std::array<const char*, 10> kOrdinals{"1. ", "2. ", "3. ", "4. ", "5. ",
                                            "6. ", "7. ", "8. ", "9. ", "10. "};

QString repeated(const char* piece, int times) {
    return QString::fromLatin1(piece).repeated(times);
}

QString questionSelect(int position) {
    return QStringLiteral("SELECT * FROM %1 WHERE BH=:BH")
        .arg(QLatin1String(autogen::kSetupRows[size_t(position)].table));
}

// The document as the renderers write it. Appends that follow one another
// are held back and go to the word processor as one, since each call is a
// round trip to the office; anything else sends them first, so the order of
// text, fonts and files is kept.
class BufferedDocument {
public:
    explicit BufferedDocument(WordDocument& doc) : m_doc(doc) {}

    void append(const QString& text) { m_pending += text; }
    void setFont(bool bold, double size) {
        flush();
        WordFont font;
        font.bold = bold;
        font.size = size;
        m_doc.setLastSentenceFont(font);
    }
    void insertFile(const QString& path) {
        flush();
        m_doc.insertFileAfterLastSentence(path);
    }
    void setCaption(const QString& caption) {
        flush();
        m_doc.setCaption(caption);
    }
    void flush() {
        if (m_pending.isEmpty())
            return;
        const QString text = m_pending;
        m_pending.clear();
        m_doc.insertAfter(text);
    }

private:
    WordDocument& m_doc;
    QString m_pending;
};

// One rendering from connecting to disconnecting. A failure after the
// connect shows what was written so far (a hidden document would stay in
// the office where the lecturer can neither see nor close it), drops the
// link and closes the progress before the error goes on.
class Rendering {
public:
    Rendering(WordApplication& word, Progress& progress, QString docDir)
        : m_word(word), m_progress(progress), m_docDir(std::move(docDir)) {}

    Progress& progress() { return m_progress; }
    BufferedDocument& doc() { return *m_doc; }

    // Shows the progress and connects; false (with the lecturer told) when
    // the word processor cannot be reached.
    bool connect(int steps) {
        m_progress.start();
        m_progress.setOperation(kConnecting);
        m_progress.setSteps(steps);
        try {
            m_word.connect();
        } catch (const std::exception&) {
            showMessage(QStringLiteral("Cannot connect, Word not installed"),
                        QStringLiteral("Connection error"), MsgIcon::Error);
            m_progress.abort();
            return false;
        }
        m_connected = true;
        return true;
    }

    void addDocument() { m_doc.emplace(m_word.addDocument()); }

    void switchOffChecking() {
        m_word.setCheckSpellingAsYouType(false);
        m_word.setCheckGrammarAsYouType(false);
    }

    // The quoted document `name` from the document folder, whatever the
    // letter case of its name there. A name the folder cannot hold (a path)
    // counts as missing, as question entry counts it.
    void insertQuoted(const QString& name) {
        const QString path = findInFolder(m_docDir, name);
        if (path.isEmpty())
            throw RenderError(QStringLiteral("The quoted document \"%1\" is missing from the "
                                             "folder %2. The document written so far stays "
                                             "open in the word processor.")
                                  .arg(name, m_docDir));
        m_doc->insertFile(path);
    }

    // The closing pause, then the document is shown and left to the
    // lecturer, unsaved.
    void finish() {
        m_doc->flush();
        m_progress.finish();
        m_word.setVisible(true);
        m_connected = false;
        m_word.disconnect();
    }

    // On any failure: see the class comment. Errors of the clean-up itself
    // would hide the one that matters and are dropped.
    void cleanUp() noexcept {
        if (m_connected) {
            m_connected = false;
            try {
                if (m_doc) {
                    m_doc->flush();
                    m_word.setVisible(true);
                }
            } catch (...) {
            }
            try {
                m_word.disconnect();
            } catch (...) {
            }
        }
        try {
            m_progress.abort();
        } catch (...) {
        }
    }

    // Runs the body; see cleanUp.
    template <class F> bool run(F&& body) {
        try {
            return body();
        } catch (...) {
            cleanUp();
            throw;
        }
    }

private:
    WordApplication& m_word;
    Progress& m_progress;
    QString m_docDir;
    std::optional<BufferedDocument> m_doc;
    bool m_connected = false;
};

// Fields of a question row. A text or a count the question needs and does
// not have (null) ends the rendering with a message that names it.
class QuestionRow {
public:
    QuestionRow(const db::Query& row, int position) : m_row(row), m_position(position) {}

    QString text(const QString& field) const {
        if (m_row.isNull(field))
            throw RenderError(missingValue(field));
        return m_row.fieldText(field);
    }
    qint64 integer(const QString& field) const {
        if (m_row.isNull(field))
            throw RenderError(missingValue(field));
        return m_row.fieldInt(field);
    }
    // A file name: an absent one is no file.
    QString fileName(const QString& field) const { return m_row.fieldText(field); }
    bool isNull(const QString& field) const { return m_row.isNull(field); }

private:
    QString missingValue(const QString& field) const {
        return QStringLiteral("Question %1 of the %2 questions (table %3) has no value in "
                              "field %4.")
            .arg(m_row.fieldText(QStringLiteral("BH")),
                 QLatin1String(autogen::kSetupRows[size_t(m_position)].typeText),
                 QLatin1String(autogen::kSetupRows[size_t(m_position)].table), field);
    }

    const db::Query& m_row;
    int m_position;
};

// The blanks of a fill-in-blank question joined into one answer: each
// value followed by ", ", the last by ". ", up to the first null.
QString joinedBlanks(const QuestionRow& row) {
    QString joined;
    const qint64 n = row.integer(QStringLiteral("YTS"));
    for (qint64 i = 1; i <= n; ++i) {
        const QString field = QStringLiteral("K%1").arg(i);
        if (row.isNull(field))
            break;
        joined += row.text(field) + (i < n ? QStringLiteral(", ") : QStringLiteral(". "));
    }
    return joined;
}

// Writes question q of the section at `position` from the row `question`
// holds (none: the question has gone from its table), and adds its answer
// lines. `fileLead` is what precedes a quoted question document.
void writeQuestion(Rendering& r, int position, int q, const db::Query& question, qint64 number,
                   const QString& fileLead, AnswerLines& answers) {
    BufferedDocument& doc = r.doc();
    const QString ordinal = QString::number(q) + QStringLiteral(". ");
    const QString lead = position == 0 ? ordinal : kIndent + ordinal;
    // Empty paragraphs after the question line: room to answer in.
    static const std::array<int, 6> kRoom{0, 0, 5, 7, 5, 10};

    if (question.eof()) {
        // The paper keeps its layout and its numbering, and says what is
        // missing, in the test and in the answers alike.
        const QString missing = missingQuestionText(position, number);
        doc.append(lead + missing + QStringLiteral("\r\r") +
                   repeated("\r", kRoom[size_t(position)]));
        answers << AnswerLine::answer(missing);
        return;
    }

    const QuestionRow row(question, position);
    doc.append(lead + row.text(QStringLiteral("TM")));
    switch (position) {
    case 0: {
        doc.append(QStringLiteral("\r"));
        const char* choices[] = {"A", "B", "C"};
        for (const char* c : choices)
            doc.append(kIndent + QLatin1String(c) + QStringLiteral(". ") +
                       row.text(QLatin1String(c)) + QStringLiteral("\r"));
        doc.append(kIndent + QStringLiteral("D. ") + row.text(QStringLiteral("D")) +
                   QStringLiteral("\r\r"));
        answers << AnswerLine::answer(row.text(QStringLiteral("DA")));
        break;
    }
    case 1:
        doc.append(QStringLiteral("\r\r"));
        answers << AnswerLine::answer(joinedBlanks(row));
        break;
    case 2:
    case 3:
        doc.append(QStringLiteral("\r\r") + repeated("\r", kRoom[size_t(position)]));
        answers << AnswerLine::answer(row.text(QStringLiteral("DA")));
        break;
    case 4:
    case 5: {
        doc.append(QStringLiteral("\r\r"));
        const QString file = row.fileName(QStringLiteral("TMBG"));
        if (!isBlankText(file)) {
            doc.append(fileLead);
            r.insertQuoted(file);
        }
        doc.append(repeated("\r", kRoom[size_t(position)]));
        if (position == 4) {
            answers << AnswerLine::answer(row.text(QStringLiteral("DA")));
            const QString answerFile = row.fileName(QStringLiteral("DABG"));
            if (!isBlankText(answerFile))
                answers << AnswerLine::document(answerFile);
        } else {
            answers << AnswerLine::parts();
            const qint64 parts = row.integer(QStringLiteral("WTS"));
            for (qint64 i = 1; i <= parts; ++i) {
                answers << AnswerLine::part(row.text(QStringLiteral("W%1DA").arg(i)));
                const QString answerFile = row.fileName(QStringLiteral("W%1DABG").arg(i));
                if (!isBlankText(answerFile))
                    answers << AnswerLine::document(answerFile);
            }
        }
        break;
    }
    default:
        break;
    }
}

// The question row `number` of the section at `position`, read into `query`.
void readQuestion(db::Query& query, int position, qint64 number) {
    query.close();
    query.setSql(questionSelect(position));
    query.bindInt(QStringLiteral("BH"), number);
    query.open();
}

// The title lines of a test paper; the body then goes on in 12-point type
// after a line of 14-point type.
void writeTestTitle(Rendering& r, int titleStep, const QString& paperLabel) {
    BufferedDocument& doc = r.doc();
    doc.setFont(true, 22);
    doc.append(QStringLiteral("English Final Test") + paperLabel + QStringLiteral("\r"));
    r.progress().advance(titleStep);
    doc.append(QStringLiteral("Course________  Name___________ Score_____ \r"));
    doc.setFont(false, 14);
}

// A heading and its answer line; every section but the first is set off
// by an empty paragraph.
void writeHeading(BufferedDocument& doc, int position, int ordinal, qint64 count, qint64 mark,
                  AnswerLines& answers) {
    if (position != 0)
        doc.append(QStringLiteral("\r"));
    const QString heading = sectionHeading(position, ordinal, count, mark);
    doc.append(heading + QStringLiteral("\r\r"));
    answers << AnswerLine::heading(heading);
}

} // namespace

bool operator==(const AnswerLine& a, const AnswerLine& b) {
    return a.kind == b.kind && a.text == b.text;
}

std::ostream& operator<<(std::ostream& out, const AnswerLine& line) {
    static const char* const kinds[] = {"heading", "answer", "parts", "part", "document"};
    return out << kinds[int(line.kind)] << " \"" << line.text.toStdString() << '"';
}

QString sectionHeading(int position, int ordinal, qint64 count, qint64 mark) {
    const QString ordinalText = ordinal >= 1 && ordinal <= int(kOrdinals.size())
                                    ? QString::fromLatin1(kOrdinals[size_t(ordinal - 1)])
                                    : QString::number(ordinal) + QStringLiteral(". ");
    return ordinalText + QLatin1String(kHeadingNames[size_t(position)]) + QString::number(count) +
           QStringLiteral(" Questions, Each ") + QString::number(mark) +
           QStringLiteral(" Mark, Total ") + QString::number(count * mark) +
           QStringLiteral(" Marks)");
}

QString missingQuestionText(int position, qint64 number) {
    return QStringLiteral("[Missing question: %1 question number %2 is no longer in the question "
                          "bank]")
        .arg(QLatin1String(autogen::kSetupRows[size_t(position)].typeText))
        .arg(number);
}

bool isBlankText(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0x20)
            return false;
    return true;
}

bool renderSavedPaper(WordApplication& word, Progress& progress, db::Query& paperQuery,
                      db::Query& questionQuery, const QString& paperId, int listedQuestions,
                      const QString& docDir, AnswerLines& answers, const QString& paperLabel) {
    Rendering r(word, progress, docDir);
    if (!r.connect(listedQuestions + 25))
        return false;
    return r.run([&] {
        progress.advance(10);
        answers.clear();
        r.addDocument();
        progress.setOperation(QStringLiteral("Creating Microsoft Office Word file......"));
        progress.advance(5);
        r.doc().setCaption(QStringLiteral("Tolvane Test") + paperLabel);
        progress.advance(5);
        r.switchOffChecking();
        writeTestTitle(r, 5, paperLabel);

        BufferedDocument& doc = r.doc();
        int ordinal = 1;
        for (int position = 0; position < 6; ++position) {
            const autogen::SetupRow& section = autogen::kSetupRows[size_t(position)];
            progress.setOperation(
                QStringLiteral("Outputing %1 questions...").arg(QLatin1String(section.typeText)));
            paperQuery.close();
            paperQuery.setSql(QStringLiteral("SELECT * FROM SJT WHERE SJDH=:DH AND TypeID=") +
                              QString::number(section.typeId));
            paperQuery.bindText(QStringLiteral("DH"), paperId);
            paperQuery.open();
            if (position == 0) {
                doc.append(QStringLiteral(" \r"));
                doc.setFont(false, 12);
            } else {
                ++ordinal;
            }
            if (paperQuery.isEmpty())
                continue;
            paperQuery.first();
            // The first row's mark stands for the whole section.
            if (paperQuery.isNull(QStringLiteral("FZ")))
                throw RenderError(
                    QStringLiteral("A %1 question of the paper has no mark (field FZ).")
                        .arg(QLatin1String(section.typeText)));
            const qint64 mark = paperQuery.fieldInt(QStringLiteral("FZ"));
            writeHeading(doc, position, ordinal, paperQuery.recordCount(), mark, answers);
            int q = 1;
            for (; !paperQuery.eof(); paperQuery.next()) {
                if (paperQuery.isNull(QStringLiteral("BH")))
                    throw RenderError(
                        QStringLiteral("A %1 question of the paper has no number (field BH).")
                            .arg(QLatin1String(section.typeText)));
                const qint64 number = paperQuery.fieldInt(QStringLiteral("BH"));
                readQuestion(questionQuery, position, number);
                writeQuestion(r, position, q, questionQuery, number, QStringLiteral(" \r"),
                              answers);
                progress.advance(1);
                ++q;
            }
        }
        paperQuery.close();
        r.finish();
        return true;
    });
}

bool renderGeneratedTest(WordApplication& word, Progress& progress, db::Query& questionQuery,
                         const GeneratedTestList& test, const autogen::GenerationRequest& request,
                         const QString& docDir, AnswerLines& answers, const QString& paperLabel) {
    if (test.isEmpty()) {
        showMessage(QStringLiteral("Test not generated yet, please generate test first!"),
                    QStringLiteral("No test generated"), MsgIcon::Error);
        return false;
    }
    // The list as it is now: the closing pause lets other handlers run.
    const GeneratedTestList entries = test;
    Rendering r(word, progress, docDir);
    if (!r.connect(int(entries.size()) + 15))
        return false;
    return r.run([&] {
        progress.advance(6);
        answers.clear();
        r.addDocument();
        progress.setOperation(QStringLiteral("Creating Microsoft Office Word file......"));
        progress.advance(3);
        r.doc().setCaption(QStringLiteral("Tolvane Test") + paperLabel);
        progress.advance(3);
        r.switchOffChecking();
        writeTestTitle(r, 3, paperLabel);

        BufferedDocument& doc = r.doc();
        progress.setOperation(QStringLiteral("Outputing Auto-generated questions..."));
        doc.append(QStringLiteral(" \r"));
        doc.setFont(false, 12);

        // A heading states what its section prints: the questions drawn of
        // the type (fewer than asked when the bank fell short) and the marks
        // they carry.
        std::array<qint64, 6> drawn{};
        for (const GeneratedEntry& entry : entries)
            if (const int position = autogen::setupRowOf(entry.TypeID); position >= 0)
                ++drawn[size_t(position)];
        std::array<bool, 6> headed{};
        std::array<int, 6> counters{1, 1, 1, 1, 1, 1};
        int ordinal = 1;
        for (const GeneratedEntry& entry : entries) {
            const int position = autogen::setupRowOf(entry.TypeID);
            if (position < 0)
                continue; // an unfilled place
            if (!headed[size_t(position)]) {
                headed[size_t(position)] = true;
                writeHeading(doc, position, ordinal, drawn[size_t(position)],
                             request.rows[size_t(position)].mark, answers);
                ++ordinal;
            }
            readQuestion(questionQuery, position, entry.BH);
            writeQuestion(r, position, counters[size_t(position)], questionQuery, entry.BH,
                          QStringLiteral("           \r"), answers);
            progress.advance(1);
            ++counters[size_t(position)];
        }
        r.finish();
        return true;
    });
}

bool renderAnswers(WordApplication& word, Progress& progress, const AnswerLines* answers,
                   const QString& docDir, const QString& paperLabel) {
    if (!answers || answers->isEmpty()) {
        showMessage(QStringLiteral("Answers not generated yet, please preview test first!"),
                    QStringLiteral("Answers not generated"), MsgIcon::Error);
        return false;
    }
    const AnswerLines lines = *answers;
    Rendering r(word, progress, docDir);
    if (!r.connect(int(lines.size()) + 25))
        return false;
    return r.run([&] {
        progress.advance(10);
        r.addDocument();
        progress.setOperation(QStringLiteral("Creating Microsoft Office Word File......"));
        progress.advance(5);
        r.doc().setCaption(QStringLiteral("Tolvane Test Answers") + paperLabel);
        progress.advance(5);
        r.switchOffChecking();

        BufferedDocument& doc = r.doc();
        doc.setFont(true, 22);
        doc.append(QStringLiteral("English Final Test Answers") + paperLabel +
                   QStringLiteral("\r"));
        progress.advance(5);
        doc.append(QStringLiteral("               \r"));
        doc.setFont(false, 12);

        int n = 0; // the question
        int k = 1; // the sub-question of a type 6 question
        for (const AnswerLine& line : lines) {
            progress.advance(1);
            switch (line.kind) {
            case AnswerLine::Kind::Heading:
                doc.append(QStringLiteral("\r") + line.text + QStringLiteral("\r"));
                n = 0;
                break;
            case AnswerLine::Kind::Document:
                doc.append(QStringLiteral(" \r"));
                r.insertQuoted(line.text);
                doc.append(repeated("\r", 6));
                break;
            case AnswerLine::Kind::Parts:
                k = 1;
                break;
            case AnswerLine::Kind::Part:
                if (k == 1) {
                    ++n;
                    doc.append(QString::number(n) + QStringLiteral(". \r"));
                }
                doc.append(kIndent + QString::number(k) + QStringLiteral(".") + line.text +
                           QStringLiteral("\r\r"));
                ++k;
                break;
            case AnswerLine::Kind::Answer:
                // An empty answer keeps its number, so the numbering still
                // matches the test.
                ++n;
                doc.append(QString::number(n) + QStringLiteral(". ") + line.text +
                           QStringLiteral("\r"));
                break;
            }
        }
        r.finish();
        return true;
    });
}

} // namespace tolvane::docs
