#include "docs/RecordingWord.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tolvane::docs;

namespace {

WordFont font(bool bold, double size) {
    return WordFont{QStringLiteral("Times New Roman"), bold, false, false, size};
}

} // namespace

TEST(RecordingWord, ParagraphsCarryTheFontInEffectWhenTheyBegin) {
    RecordingWordApplication app;
    app.connect();
    RecordingWordDocument& doc = app.addDocument();
    doc.setCaption("Tolvane Test");
    app.setCheckSpellingAsYouType(false);
    app.setCheckGrammarAsYouType(false);
    doc.setLastSentenceFont(font(true, 22));
    doc.insertAfter("English Final Test\r");
    doc.insertAfter("Course\r");
    doc.setLastSentenceFont(font(false, 14));
    doc.insertAfter(" \r");
    doc.setLastSentenceFont(font(false, 12));
    doc.insertAfterLastSentence("1. Part");
    doc.setLastSentenceFont(font(true, 30)); // mid-paragraph: the paragraph keeps its font
    doc.insertAfterLastSentence(" one\r\r");
    app.setVisible(true);
    app.disconnect();

    const QList<WordParagraph> expected{
        {"English Final Test", font(true, 22)}, {"Course", font(true, 22)}, {" ", font(false, 14)},
        {"1. Part one", font(false, 12)},       {"", font(true, 30)},       {"", font(true, 30)}};
    EXPECT_EQ(doc.paragraphs(), expected);
    EXPECT_EQ(doc.text(), "English Final Test\rCourse\r \r1. Part one\r\r");
    EXPECT_EQ(doc.caption(), "Tolvane Test");
    EXPECT_EQ(doc.fontCalls().size(), 4);
    EXPECT_EQ(app.checkSpellingAsYouType(), false);
    EXPECT_EQ(app.checkGrammarAsYouType(), false);
    EXPECT_TRUE(app.isVisible());
    EXPECT_EQ(app.log().first(), "connect");
    EXPECT_EQ(app.log().mid(1, 4),
              (QStringList{"addDocument", "caption Tolvane Test", "spelling 0", "grammar 0"}));
    EXPECT_EQ(app.log()[5], "font Times New Roman bold 1 italic 0 shadow 0 size 22");
    EXPECT_EQ(app.log().mid(app.log().size() - 2), (QStringList{"visible 1", "disconnect"}));
}

TEST(RecordingWord, NewDocumentHasOneEmptyParagraphInTheDefaultFont) {
    RecordingWordApplication app;
    app.connect();
    const RecordingWordDocument& doc = app.addDocument();
    EXPECT_EQ(doc.paragraphs(), (QList<WordParagraph>{{"", WordFont()}}));
    EXPECT_EQ(doc.text(), "");
}

TEST(RecordingWord, InsertedFileStandsInTheTextAndAMissingOneFails) {
    QTemporaryDir dir;
    const QString path = dir.filePath("q1.doc");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("doc");
    f.close();

    RecordingWordApplication app;
    app.connect();
    RecordingWordDocument& doc = app.addDocument();
    doc.insertAfterLastSentence(" \r");
    doc.insertFileAfterLastSentence(path);
    doc.insertAfterLastSentence("\r");
    EXPECT_EQ(doc.text(), " \r" + RecordingWordDocument::fileMarker(path) + "\r");

    // After text, the file begins a paragraph of its own, as in the office.
    doc.insertAfterLastSentence("Text");
    doc.insertFileAfterLastSentence(path);
    doc.insertAfterLastSentence("After");
    EXPECT_EQ(doc.text(), " \r" + RecordingWordDocument::fileMarker(path) + "\rText\r" +
                              RecordingWordDocument::fileMarker(path) + "After");

    EXPECT_THROW(doc.insertFileAfterLastSentence(dir.filePath("missing.doc")), WordError);
    EXPECT_EQ(doc.insertedFiles(), (QStringList{path, path}));
}

TEST(RecordingWord, ConnectFailureAndCallsWhileDisconnected) {
    RecordingWordApplication app;
    EXPECT_THROW(app.addDocument(), WordError) << "nothing works before connect";
    app.setConnectFailure("Word is gone");
    try {
        app.connect();
        FAIL() << "connect should fail";
    } catch (const WordError& e) {
        EXPECT_EQ(e.text(), "Word is gone");
    }
    EXPECT_FALSE(app.isConnected());
    EXPECT_EQ(app.connectCount(), 0);

    app.setConnectFailure(QString());
    app.connect();
    RecordingWordDocument& doc = app.addDocument();
    doc.insertAfter("kept\r");
    app.disconnect();
    EXPECT_THROW(doc.insertAfter("late"), WordError);
    EXPECT_THROW(app.setVisible(true), WordError);
    EXPECT_EQ(doc.text(), "kept\r") << "the document stays readable";
    EXPECT_EQ(app.connectCount(), 1);
    EXPECT_EQ(app.disconnectCount(), 1);
    EXPECT_EQ(app.log(), (QStringList{"connect failed", "connect", "addDocument",
                                      "insertAfter kept\r", "disconnect"}));
}
