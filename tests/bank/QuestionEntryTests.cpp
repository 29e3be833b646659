#include "bank/QuestionEntry.h"
#include "core/AppPaths.h"

#include "db/Query.h"
#include "tests/support/TestBank.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tolvane;
using namespace tolvane::bank;

TEST(DocumentNames, CompletionAddsDocUnlessTheNameEndsInExactlyDoc) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"a", "a.doc"},
        {"x.doc", "x.doc"},
        {".doc", ".doc"},
        {"x.DOC", "x.DOC.doc"},
        {"x.Doc", "x.Doc.doc"},
        {"doc", "doc.doc"},
        {"", ""},
        {"report.docx", "report.docx.doc"},
        {" x.doc ", " x.doc .doc"},
        {"Bericht \xc3\xbc", "Bericht \xc3\xbc.doc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(completeDocName(QString::fromUtf8(c.typed)), QString::fromUtf8(c.stored))
            << c.typed;
}

TEST(DocumentNames, FoundOnlyAsAFileInTheDocumentFolder) {
    test::TestBank bank;
    bank.addDoc("in-doc.doc");
    {
        QFile beside(bank.dir() + "beside.doc");
        ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    }
    QDir(bank.dir()).mkpath("Doc/folder.doc");

    EXPECT_TRUE(documentExists("in-doc.doc"));
    EXPECT_TRUE(documentExists("IN-DOC.DOC")) << "found whatever the letter case of its name";
    // Of two names that differ only in case, the exact one is taken.
    bank.addDoc("Q5.doc");
    bank.addDoc("q5.doc");
    EXPECT_EQ(findInFolder(bank.dir() + "Doc/", "q5.doc"), bank.dir() + "Doc/q5.doc");
    EXPECT_EQ(findInFolder(bank.dir() + "Doc/", "Q5.doc"), bank.dir() + "Doc/Q5.doc");
    EXPECT_EQ(findInFolder(bank.dir() + "Doc/", "in-doc.DOC"), bank.dir() + "Doc/in-doc.doc");
    EXPECT_FALSE(documentExists("beside.doc"))
        << "beside the executable is not the document folder";
    EXPECT_FALSE(documentExists("../beside.doc")) << "a name must not leave the folder";
    EXPECT_FALSE(documentExists("..\\beside.doc"));
    EXPECT_FALSE(documentExists("folder.doc")) << "a folder is no document";
    EXPECT_FALSE(documentExists(""));
}

TEST(CountBoxes, IntegerConversion) {
    EXPECT_EQ(toInteger("3"), 3);
    EXPECT_EQ(toInteger("0"), 0);
    EXPECT_EQ(toInteger("-2"), -2);
    EXPECT_EQ(toInteger(" 4"), 4);
    for (const char* bad : {"", "abc", "2.5", "3a", "99999999999"}) {
        try {
            toInteger(bad);
            ADD_FAILURE() << bad << " converted";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()),
                      QString("'%1' is not a valid integer value").arg(bad));
        }
    }
}

TEST(CountBoxes, AnswerCompleteness) {
    const QStringList all{"a", "b", "c", "d", "e"};
    const struct {
        int count;
        QStringList answers;
        int missing; // -1: complete
    } cases[] = {
        {3, {"a", "b", "", "", ""}, 2},   {3, {"a", "b", "c", "", ""}, -1},
        {1, {"", "b", "c", "d", "e"}, 0}, {0, {"a", "", "", "", ""}, -1},
        {0, {"", "b", "c", "d", "e"}, 0}, {-4, {"a", "", "", "", ""}, -1},
        {5, {"a", "b", "c", "d", ""}, 4}, {7, {"a", "b", "c", "", "e"}, 3},
    };
    for (const auto& c : cases) {
        const auto got = firstMissingAnswer(c.count, c.answers);
        EXPECT_EQ(got.value_or(-1), c.missing)
            << c.count << " " << c.answers.join('|').toStdString();
    }
    EXPECT_THROW(firstMissingAnswer(6, all), std::runtime_error)
        << "there is no sixth answer to store";
}

TEST(DuplicateScan, ComparesEveryRowExactly) {
    test::TestBank bank;
    bank.exec("INSERT INTO JianDaTi (TM) VALUES ('First'), (NULL), ('Two' || char(10) || 'lines')");
    db::Query q(&bank.connection());
    q.setSql("SELECT TM FROM JianDaTi");
    q.open();
    EXPECT_TRUE(containsExactly(q, "TM", "First"));
    EXPECT_TRUE(containsExactly(q, "TM", "Two\nlines"));
    EXPECT_TRUE(containsExactly(q, "TM", "")) << "a null reads as empty text";
    EXPECT_FALSE(containsExactly(q, "TM", "first"));
    EXPECT_FALSE(containsExactly(q, "TM", "First "));
    EXPECT_FALSE(containsExactly(q, "TM", "Two\r\nlines"));
    EXPECT_THROW(containsExactly(q, "DA", "First"), db::DbError);
}
