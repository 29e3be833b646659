// The three paper documents written into the recording word processor, from
// a real bank, and read back paragraph by paragraph.
#include "docs/PaperDocuments.h"
#include "docs/RecordingWord.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <gtest/gtest.h>

using namespace tolvane;
using namespace tolvane::docs;

namespace {

struct RecordingProgress : Progress {
    QStringList events; // start, "op <text>", "steps <n>", finish, abort
    int position = 0;
    int steps = 0;
    void start() override {
        events << "start";
        position = 0;
    }
    void setOperation(const QString& text) override { events << "op " + text; }
    void setSteps(int n) override {
        steps = n;
        events << QString("steps %1").arg(n);
    }
    void advance(int n) override { position += n; }
    void finish() override { events << "finish"; }
    void abort() override { events << "abort"; }
};

WordFont font(bool bold, double size) {
    WordFont f;
    f.bold = bold;
    f.size = size;
    return f;
}

const QString kCourse = "Course________  Name___________ Score_____ ";

struct Fixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    RecordingWordApplication word;
    RecordingProgress progress;
    db::Query paperQuery{&bank.connection()};
    db::Query questionQuery{&bank.connection()};
    AnswerLines answers{AnswerLine::answer("left from before")};

    QString docDir() const { return bank.dir() + "Doc/"; }
    QString marker(const QString& name) const {
        return RecordingWordDocument::fileMarker(docDir() + name);
    }

    // Inserts a row: `values` are the columns after BH, in SQL.
    void question(const QString& table, int bh, const QString& columns, const QString& values) {
        bank.exec(QString("INSERT INTO %1 (BH, %2) VALUES (%3, %4)")
                      .arg(table, columns)
                      .arg(bh)
                      .arg(values));
    }
    void choice(int bh, const QString& tm, const QString& da = "B") {
        question(
            "XuanZeTi", bh, "TypeID, TM, A, B, C, D, DA, CZ, NY",
            QString("1, '%1', 'a%2', 'b%2', 'c%2', 'd%2', '%3', '1', 12").arg(tm).arg(bh).arg(da));
    }
    void blanks(int bh, const QString& tm, int yts, const QString& k) {
        question("TianKong", bh, "TypeID, TM, K1, K2, K3, K4, K5, YTS, NY, CZ",
                 QString("2, '%1', %2, %3, 12, '1'").arg(tm, k).arg(yts));
    }
    void plain(const QString& table, int typeId, int bh, const QString& tm, const QString& da) {
        question(table, bh, "TypeID, TM, DA, NY, CZ",
                 QString("%1, '%2', '%3', 12, '1'").arg(typeId).arg(tm, da));
    }
    void paperRow(const QString& id, int typeId, int bh, int fz) {
        bank.exec(QString("INSERT INTO SJ (SJDH, CJLS, ND) SELECT '%1', 'admin', 'Easy' WHERE NOT "
                          "EXISTS (SELECT 1 FROM SJ WHERE SJDH='%1')")
                      .arg(id));
        bank.exec(QString("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('%1', %2, %3, %4)")
                      .arg(id)
                      .arg(typeId)
                      .arg(bh)
                      .arg(fz));
    }

    bool renderPaper(const QString& id, int listed) {
        return renderSavedPaper(word, progress, paperQuery, questionQuery, id, listed, docDir(),
                                answers);
    }
};

// Compares the document with the text the renderer must have appended,
// paragraph by paragraph ("\r" ends one).
void expectText(const RecordingWordDocument& doc, const QString& expected) {
    const QStringList want = expected.split('\r');
    const QList<WordParagraph>& got = doc.paragraphs();
    for (int i = 0; i < qMax(want.size(), got.size()); ++i) {
        SCOPED_TRACE(i);
        const QString w = i < want.size() ? want[i] : "<none>";
        const QString g = i < got.size() ? got[i].text : "<none>";
        EXPECT_EQ(g.toStdString(), w.toStdString());
    }
}

// The text of a test paper after its title lines.
QString testHead() {
    return "English Final Test\r" + kCourse + "\r \r";
}

QString heading(int ordinal, const QString& name, int count, int mark) {
    return QString("%1. %2%3 Questions, Each %4 Mark, Total %5 Marks)")
        .arg(ordinal)
        .arg(name)
        .arg(count)
        .arg(mark)
        .arg(count * mark);
}

} // namespace

TEST(SavedPaperDocument, APaperOfAllSixTypesLineByLine) {
    Fixture f;
    f.bank.addDoc("q5.doc");
    f.bank.addDoc("a5.doc");
    f.bank.addDoc("q6.doc");
    f.bank.addDoc("w1.doc");
    f.choice(7, "Pick one", "C");
    f.choice(3, "Pick another", "A");
    f.blanks(4, "Fill ___ and ___", 2, "'x', 'y', NULL, NULL, NULL");
    f.plain("JianDaTi", 3, 5, "Explain", "Because");
    f.plain("YuanLiLunShu", 5, 6, "Discuss", "At length");
    f.question("XiTongSheJi", 8, "TypeID, TM, DA, NY, CZ, DABG, TMBG",
               "4, 'Design', 'A design', 12, '1', 'a5.doc', 'Q5.DOC'");
    f.question("XiTongCZ", 9,
               "TypeID, TM, NY, CZ, W1DA, W1DABG, W2DA, W2DABG, W3DA, W3DABG, W4DA, W4DABG, W5DA, "
               "W5DABG, WTS, TMBG",
               "6, 'Operate', 12, '1', 'first', 'w1.doc', 'second', '  ', 'third', 'x.doc', '', "
               "'', '', '', 2, 'q6.doc'");
    // Stored out of section order: the sections still come in theirs.
    f.paperRow("P1", 6, 9, 10);
    f.paperRow("P1", 4, 8, 8);
    f.paperRow("P1", 1, 7, 2);
    f.paperRow("P1", 5, 6, 6);
    f.paperRow("P1", 3, 5, 5);
    f.paperRow("P1", 1, 3, 2);
    f.paperRow("P1", 2, 4, 3);

    ASSERT_TRUE(f.renderPaper("P1", 7));
    ASSERT_EQ(f.word.documentCount(), 1);
    const RecordingWordDocument& doc = f.word.lastDocument();
    const QString mc = heading(1, "Multiple-choice (", 2, 2);
    const QString fb = heading(2, "Fill-in-Blank (", 1, 3);
    const QString t3 = heading(3, "Type 3 (", 1, 5);
    const QString t4 = heading(4, "Type 4 Question(", 1, 6);
    const QString t5 = heading(5, "Type 5 Question(", 1, 8);
    const QString t6 = heading(6, "Type 6 Question(", 1, 10);
    expectText(doc, testHead() +                                                        //
                        mc + "\r\r" +                                                   //
                        "1. Pick one\r   A. a7\r   B. b7\r   C. c7\r   D. d7\r\r" +     //
                        "2. Pick another\r   A. a3\r   B. b3\r   C. c3\r   D. d3\r\r" + //
                        "\r" + fb + "\r\r" + "   1. Fill ___ and ___\r\r" +             //
                        "\r" + t3 + "\r\r" + "   1. Explain\r\r" + "\r\r\r\r\r" +       //
                        "\r" + t4 + "\r\r" + "   1. Discuss\r\r" + "\r\r\r\r\r\r\r" +   //
                        "\r" + t5 + "\r\r" + "   1. Design\r\r" + " \r" + f.marker("q5.doc") +
                        "\r\r\r\r\r" + //
                        "\r" + t6 + "\r\r" + "   1. Operate\r\r" + " \r" + f.marker("q6.doc") +
                        "\r\r\r\r\r\r\r\r\r\r");
    // Title and course line bold 22, the line after them 14, the rest 12.
    const QList<WordParagraph>& p = doc.paragraphs();
    for (int i = 0; i < p.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p[i].font, i < 2 ? font(true, 22) : i == 2 ? font(false, 14) : font(false, 12));
    }
    EXPECT_EQ(doc.fontCalls(), (QList<WordFont>{font(true, 22), font(false, 14), font(false, 12)}));
    EXPECT_EQ(doc.caption(), "Tolvane Test");
    // "Q5.DOC" is the file q5.doc: names are found whatever their letter case.
    EXPECT_EQ(doc.insertedFiles(), (QStringList{f.docDir() + "q5.doc", f.docDir() + "q6.doc"}));
    EXPECT_EQ(f.word.checkSpellingAsYouType(), false);
    EXPECT_EQ(f.word.checkGrammarAsYouType(), false);
    EXPECT_TRUE(f.word.isVisible());
    EXPECT_FALSE(f.word.isConnected());
    // Visible is the last thing asked before letting go.
    EXPECT_EQ(f.word.log().mid(f.word.log().size() - 2), (QStringList{"visible 1", "disconnect"}));

    using L = AnswerLine;
    EXPECT_EQ(f.answers,
              (AnswerLines{L::heading(mc), L::answer("C"), L::answer("A"), L::heading(fb),
                           L::answer("x, y. "), L::heading(t3), L::answer("Because"),
                           L::heading(t4), L::answer("At length"), L::heading(t5),
                           L::answer("A design"), L::document("a5.doc"), L::heading(t6), L::parts(),
                           L::part("first"), L::document("w1.doc"), L::part("second")}));

    EXPECT_EQ(
        f.progress.events,
        (QStringList{"start", "op Connecting to Microsoft Office Word......", "steps 32",
                     "op Creating Microsoft Office Word file......",
                     "op Outputing Multiple-choice questions...",
                     "op Outputing Fill-in-Blank questions...", "op Outputing Type 3 questions...",
                     "op Outputing Type 4 questions...", "op Outputing Type 5 questions...",
                     "op Outputing Type 6 questions...", "finish"}));
    EXPECT_EQ(f.progress.position, 32);
    EXPECT_EQ(f.messages.count(), 0);
}

TEST(SavedPaperDocument, OrdinalsCountEverySectionAndTheFirstLineIsAlwaysWritten) {
    const struct {
        const char* name;
        QList<int> types; // one question of each, mark 1
        QString expected; // the text after the title lines
    } cases[] = {
        {"no fill-in-blank",
         {1, 3},
         heading(1, "Multiple-choice (", 1, 1) + "\r\r" +
             "1. Q\r   A. a1\r   B. b1\r   C. c1\r   D. d1\r\r" + "\r" +
             heading(3, "Type 3 (", 1, 1) + "\r\r   1. Q\r\r\r\r\r\r\r"},
        {"no multiple choice", {2}, "\r" + heading(2, "Fill-in-Blank (", 1, 1) + "\r\r   1. Q\r\r"},
        {"no question at all", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.choice(1, "Q");
        f.blanks(1, "Q", 0, "NULL, NULL, NULL, NULL, NULL");
        f.plain("JianDaTi", 3, 1, "Q", "D");
        f.bank.exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P', 'admin', 'Easy')");
        for (int type : c.types)
            f.paperRow("P", type, 1, 1);
        ASSERT_TRUE(f.renderPaper("P", c.types.size()));
        expectText(f.word.lastDocument(), testHead() + c.expected);
        // " \r" and the body font come first whatever the paper holds.
        EXPECT_EQ(f.word.lastDocument().paragraphs()[3].font, font(false, 12));
        if (c.types.isEmpty()) {
            EXPECT_TRUE(f.answers.isEmpty());
        }
    }
}

TEST(SavedPaperDocument, TheFirstRowsMarkStandsForTheSection) {
    Fixture f;
    f.choice(1, "Q1");
    f.choice(2, "Q2");
    f.choice(3, "Q3");
    f.paperRow("P", 1, 1, 2);
    f.paperRow("P", 1, 2, 5);
    f.paperRow("P", 1, 3, 9);
    ASSERT_TRUE(f.renderPaper("P", 3));
    EXPECT_EQ(f.answers.first(),
              AnswerLine::heading("1. Multiple-choice (3 Questions, Each 2 Mark, Total 6 Marks)"));
}

TEST(SavedPaperDocument, BlanksAreJoinedUpToTheFirstNull) {
    const struct {
        int yts;
        const char* k;
        const char* joined;
    } cases[] = {
        {3, "'one', 'two', 'three', NULL, NULL", "one, two, three. "},
        {3, "'one', NULL, 'three', NULL, NULL", "one, "},
        {0, "'one', NULL, NULL, NULL, NULL", ""},
        {1, "'', NULL, NULL, NULL, NULL", ". "},
        {5, "'a', 'b', 'c', 'd', 'e'", "a, b, c, d, e. "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.k);
        Fixture f;
        f.blanks(1, "Q", c.yts, c.k);
        f.paperRow("P", 2, 1, 1);
        ASSERT_TRUE(f.renderPaper("P", 1));
        ASSERT_EQ(f.answers.size(), 2);
        EXPECT_EQ(f.answers[1], AnswerLine::answer(c.joined));
    }
}

TEST(SavedPaperDocument, ATypeSixQuestionWithoutSubQuestionsAddsOnlyTheStar) {
    Fixture f;
    f.question("XiTongCZ", 1, "TypeID, TM, NY, CZ, WTS, TMBG", "6, 'Q', 12, '1', 0, ''");
    f.paperRow("P", 6, 1, 4);
    ASSERT_TRUE(f.renderPaper("P", 1));
    EXPECT_EQ(f.answers.mid(1), AnswerLines{AnswerLine::parts()});
    // No question file: the empty paragraphs still follow.
    expectText(f.word.lastDocument(), testHead() + "\r" + heading(6, "Type 6 Question(", 1, 4) +
                                          "\r\r   1. Q\r\r" + QString("\r").repeated(10));
}

TEST(SavedPaperDocument, AQuestionGoneFromItsTableSaysSoInTestAndAnswers) {
    Fixture f;
    f.plain("JianDaTi", 3, 1, "Present", "Yes");
    f.paperRow("P", 3, 40, 2);
    f.paperRow("P", 3, 1, 2);
    ASSERT_TRUE(f.renderPaper("P", 2));
    const QString missing =
        "[Missing question: Type 3 question number 40 is no longer in the question bank]";
    EXPECT_EQ(missingQuestionText(2, 40), missing);
    expectText(f.word.lastDocument(), testHead() + "\r" + heading(3, "Type 3 (", 2, 2) +
                                          "\r\r   1. " + missing + "\r\r\r\r\r\r\r" +
                                          "   2. Present\r\r\r\r\r\r\r");
    EXPECT_EQ(f.answers.mid(1),
              (AnswerLines{AnswerLine::answer(missing), AnswerLine::answer("Yes")}));
}

TEST(SavedPaperDocument, PreviewingTwiceKeepsTheAnswersOfOnePreview) {
    Fixture f;
    f.choice(1, "Q");
    f.paperRow("P", 1, 1, 1);
    ASSERT_TRUE(f.renderPaper("P", 1));
    const AnswerLines once = f.answers;
    ASSERT_TRUE(f.renderPaper("P", 1));
    EXPECT_EQ(f.answers, once);
    EXPECT_EQ(f.word.documentCount(), 2);
    EXPECT_EQ(f.word.document(0).text(), f.word.document(1).text());
}

TEST(SavedPaperDocument, NoOfficeMeansOneMessageAndNothingElse) {
    Fixture f;
    f.paperRow("P", 1, 1, 1);
    f.word.setConnectFailure("no office here");
    EXPECT_FALSE(f.renderPaper("P", 1));
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "Cannot connect, Word not installed");
    EXPECT_EQ(f.messages.last().caption, "Connection error");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    EXPECT_EQ(f.progress.events.last(), "abort");
    EXPECT_EQ(f.answers, AnswerLines{AnswerLine::answer("left from before")});
    EXPECT_EQ(f.word.documentCount(), 0);
}

TEST(SavedPaperDocument, AMissingQuotedDocumentIsNamedAndWhatWasWrittenIsShown) {
    Fixture f;
    f.plain("JianDaTi", 3, 1, "Before", "A");
    f.question("XiTongSheJi", 2, "TypeID, TM, DA, NY, CZ, DABG, TMBG",
               "4, 'Design', 'D', 12, '1', '', 'gone.doc'");
    f.paperRow("P", 3, 1, 1);
    f.paperRow("P", 4, 2, 1);
    try {
        f.renderPaper("P", 2);
        FAIL() << "a missing document must end the rendering";
    } catch (const std::exception& e) {
        const QString text = QString::fromUtf8(e.what());
        EXPECT_TRUE(text.contains("\"gone.doc\"")) << e.what();
        EXPECT_TRUE(text.contains(f.docDir())) << e.what();
    }
    EXPECT_EQ(f.progress.events.last(), "abort");
    EXPECT_FALSE(f.word.isConnected());
    EXPECT_TRUE(f.word.isVisible());
    // Everything up to the missing document is in the document.
    EXPECT_TRUE(f.word.lastDocument().text().endsWith("   1. Design\r\r \r"));
}

TEST(SavedPaperDocument, AFieldWithoutValueEndsTheRenderingWithItsName) {
    Fixture f;
    f.question("XuanZeTi", 1, "TypeID, TM, A, B, C, D, DA, CZ, NY",
               "1, 'Q', 'a', NULL, 'c', 'd', 'A', '1', 12");
    f.paperRow("P", 1, 1, 1);
    try {
        f.renderPaper("P", 1);
        FAIL();
    } catch (const RenderError& e) {
        EXPECT_STREQ(e.what(),
                     "Question 1 of the Multiple-choice questions (table XuanZeTi) has no value "
                     "in field B.");
    }
    EXPECT_EQ(f.progress.events.last(), "abort");
    EXPECT_FALSE(f.word.isConnected());
}

TEST(GeneratedTestDocument, SectionsAsTheyFirstOccurCountingWhatWasDrawn) {
    Fixture f;
    f.bank.addDoc("q.doc");
    f.choice(1, "C1");
    f.choice(2, "C2");
    f.plain("JianDaTi", 3, 1, "T1", "D1");
    f.question("XiTongSheJi", 5, "TypeID, TM, DA, NY, CZ, DABG, TMBG",
               "4, 'S5', 'D5', 12, '1', '', 'q.doc'");
    autogen::GenerationRequest request;
    // The bank fell short: 2 of 10 multiple-choice questions, 1 of 2 of
    // type 5. The headings count what the paper prints, at the marks asked.
    request.rows[0] = {{3, 4, 3}, 2};
    request.rows[2] = {{1, 0, 0}, 7};
    request.rows[4] = {{0, 2, 0}, 5};
    const GeneratedTestList test{{3, 1}, {1, 1}, {4, 5}, {1, 2}, {0, 0}, {0, 0}};

    ASSERT_TRUE(renderGeneratedTest(f.word, f.progress, f.questionQuery, test, request, f.docDir(),
                                    f.answers));
    const QString t3 = heading(1, "Type 3 (", 1, 7);
    const QString mc = heading(2, "Multiple-choice (", 2, 2);
    const QString t5 = heading(3, "Type 5 Question(", 1, 5);
    expectText(f.word.lastDocument(),
               testHead() +                                                       //
                   "\r" + t3 + "\r\r   1. T1\r\r\r\r\r\r\r" +                     //
                   mc + "\r\r1. C1\r   A. a1\r   B. b1\r   C. c1\r   D. d1\r\r" + //
                   "\r" + t5 + "\r\r   1. S5\r\r" + QString(11, ' ') + "\r" + f.marker("q.doc") +
                   "\r\r\r\r\r" + //
                   "2. C2\r   A. a2\r   B. b2\r   C. c2\r   D. d2\r\r");
    using L = AnswerLine;
    EXPECT_EQ(f.answers,
              (AnswerLines{L::heading(t3), L::answer("D1"), L::heading(mc), L::answer("B"),
                           L::heading(t5), L::answer("D5"), L::answer("B")}));
    EXPECT_EQ(f.word.lastDocument().caption(), "Tolvane Test");
    EXPECT_EQ(f.word.lastDocument().paragraphs()[3].font, font(false, 12));
    // The unfilled places take no step: the gauge stops short.
    EXPECT_EQ(f.progress.steps, 6 + 15);
    EXPECT_EQ(f.progress.position, 15 + 4);
    EXPECT_TRUE(f.progress.events.contains("op Outputing Auto-generated questions..."));
    EXPECT_EQ(f.progress.events.last(), "finish");
}

TEST(GeneratedTestDocument, NothingGeneratedIsRefused) {
    Fixture f;
    EXPECT_FALSE(
        renderGeneratedTest(f.word, f.progress, f.questionQuery, {}, {}, f.docDir(), f.answers));
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "Test not generated yet, please generate test first!");
    EXPECT_EQ(f.messages.last().caption, "No test generated");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    EXPECT_TRUE(f.progress.events.isEmpty());
    EXPECT_EQ(f.word.connectCount(), 0);
}

TEST(AnswerDocument, EachLineAsItsKindSaysWhateverItsText) {
    Fixture f;
    f.bank.addDoc("key.DOC");
    f.bank.addDoc("!sub.Doc");
    using L = AnswerLine;
    // Texts that look like other kinds print as typed.
    const AnswerLines answers{L::heading("1. A#B"),
                              L::answer("A"),
                              L::answer(""),
                              L::document("key.DOC"),
                              L::answer("#include <stdio.h>"),
                              L::answer("notes.DOC"),
                              L::heading("2. Next"),
                              L::parts(),
                              L::parts(),
                              L::part("first!part"),
                              L::document("!sub.Doc"),
                              L::part("!x"),
                              L::answer("*"),
                              L::answer("C")};
    ASSERT_TRUE(renderAnswers(f.word, f.progress, &answers, f.docDir()));
    const RecordingWordDocument& doc = f.word.lastDocument();
    expectText(doc, "English Final Test Answers\r               \r" +   //
                        QString("\r1. A#B\r") + "1. A\r" + "2. \r" +    //
                        " \r" + f.marker("key.DOC") + "\r\r\r\r\r\r" +  //
                        "3. #include <stdio.h>\r" + "4. notes.DOC\r" +  //
                        "\r2. Next\r" +                                 //
                        "1. \r   1.first!part\r\r" +                    //
                        " \r" + f.marker("!sub.Doc") + "\r\r\r\r\r\r" + //
                        "   2.!x\r\r" + "2. *\r" + "3. C\r");
    EXPECT_EQ(doc.insertedFiles(), (QStringList{f.docDir() + "key.DOC", f.docDir() + "!sub.Doc"}));
    EXPECT_EQ(doc.caption(), "Tolvane Test Answers");
    EXPECT_EQ(doc.fontCalls(), (QList<WordFont>{font(true, 22), font(false, 12)}));
    EXPECT_EQ(doc.paragraphs()[1].font, font(true, 22));
    EXPECT_EQ(doc.paragraphs()[2].font, font(false, 12));
    EXPECT_EQ(f.progress.steps, answers.size() + 25);
    EXPECT_EQ(f.progress.position, answers.size() + 25);
    EXPECT_TRUE(f.progress.events.contains("op Creating Microsoft Office Word File......"));
    EXPECT_TRUE(f.word.isVisible());
    EXPECT_FALSE(f.word.isConnected());
}

TEST(AnswerDocument, WrittenTwiceTheSameAndOnlyWithAnswers) {
    Fixture f;
    const AnswerLines answers{AnswerLine::heading("1. Heading"), AnswerLine::answer("A"),
                              AnswerLine::answer("C")};
    ASSERT_TRUE(renderAnswers(f.word, f.progress, &answers, f.docDir()));
    ASSERT_TRUE(renderAnswers(f.word, f.progress, &answers, f.docDir()));
    ASSERT_EQ(f.word.documentCount(), 2);
    EXPECT_EQ(f.word.document(0).paragraphs(), f.word.document(1).paragraphs());
    expectText(f.word.document(0),
               "English Final Test Answers\r               \r\r1. Heading\r1. A\r2. C\r");

    const AnswerLines none;
    for (const AnswerLines* list : {static_cast<const AnswerLines*>(nullptr), &none}) {
        f.messages.clear();
        EXPECT_FALSE(renderAnswers(f.word, f.progress, list, f.docDir()));
        ASSERT_EQ(f.messages.count(), 1);
        EXPECT_EQ(f.messages.last().text, "Answers not generated yet, please preview test first!");
        EXPECT_EQ(f.messages.last().caption, "Answers not generated");
        EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    }
    EXPECT_EQ(f.word.documentCount(), 2);
}
