#include "bank/DemoCourse.h"
#include "core/AppPaths.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "exchange/BankExchange.h"
#include "tools/exchange/ExchangeTool.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Readable failures.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

using namespace tolvane;
using namespace tolvane::exchange;

namespace {

// A bank in a folder of its own with Doc/ beside it, without the data module:
// the round trips need two at once.
struct Bank {
    QTemporaryDir dir;
    db::Connection c;
    Bank() {
        QDir(dir.path()).mkpath(QStringLiteral("DB"));
        QDir(dir.path()).mkpath(QStringLiteral("Doc"));
        c.create(dir.path() + QStringLiteral("/DB/TiKu.mdb"));
        db::createSchema(c);
        db::insertRequiredRows(c);
    }
    QString docDir() const { return dir.path() + QStringLiteral("/Doc/"); }
    void addDoc(const QString& name, const QByteArray& data) {
        QFile f(docDir() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray doc(const QString& name) const {
        QFile f(docDir() + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList docs() const {
        return QDir(docDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QStringList rows(const QString& sql) {
        db::Query q(&c);
        q.setSql(sql);
        q.open();
        QStringList out;
        for (; !q.eof(); q.next()) {
            QStringList fields;
            for (const QString& col : q.columnNames())
                fields << q.fieldText(col); // a null reads as empty text
            out << fields.join('|');
        }
        return out;
    }
    // Everything an import may change.
    QStringList snapshot() {
        QStringList all;
        for (const QString& t : db::tableNames())
            all << rows(QStringLiteral("SELECT * FROM %1").arg(t));
        return all + docs();
    }
    ImportReport import(const QByteArray& data, ImportOptions options = {}) {
        options.lockWaitMs = 0;
        return importFile(c, docDir(), data, options);
    }
};

// The demo course with a distinct document for every name its questions
// quote.
void fillDemo(Bank& bank) {
    bank::writeDemoCourse(bank.c);
    QStringList names;
    for (const char* col : {"TMBG", "DABG"})
        names << bank.rows(QStringLiteral("SELECT %1 FROM XiTongSheJi").arg(col));
    for (const char* col : {"TMBG", "W1DABG", "W2DABG", "W3DABG", "W4DABG", "W5DABG"})
        names << bank.rows(QStringLiteral("SELECT %1 FROM XiTongCZ").arg(col));
    names.removeAll(QString());
    names.removeDuplicates();
    ASSERT_GT(names.size(), 5);
    for (const QString& n : names)
        bank.addDoc(n, "document " + n.toUtf8() + QByteArray("\0\xff\x01", 3));
}

QStringList questionRows(Bank& bank) {
    QStringList all;
    for (const char* t :
         {"XuanZeTi", "TianKong", "JianDaTi", "YuanLiLunShu", "XiTongSheJi", "XiTongCZ"})
        all << bank.rows(QStringLiteral("SELECT * FROM %1 ORDER BY BH").arg(t));
    return all;
}

QByteArray quiz(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n" + body + "\n</quiz>\n";
}

} // namespace

TEST(ExchangeRoundTrip, MoodleXmlCarriesEveryQuestionOfTheDemoBankExactly) {
    Bank source;
    fillDemo(source);
    const ExportReport exported = exportBank(source.c, source.docDir(), {});
    EXPECT_TRUE(exported.leftOut.isEmpty());
    EXPECT_TRUE(exported.missingDocuments.isEmpty());
    for (int t = 1; t <= 6; ++t)
        EXPECT_GT(exported.exported[t], 0) << t;

    Bank target;
    const ImportReport imported = target.import(exported.data);
    EXPECT_TRUE(imported.leftOut.isEmpty()) << imported.lines().join('\n').toStdString();
    EXPECT_EQ(imported.total(), exported.total());
    EXPECT_EQ(questionRows(target), questionRows(source));

    // The chapters the questions are filed under come back with their codes.
    const QStringList used = source.rows(
        "SELECT DISTINCT CZ FROM (SELECT CZ FROM XuanZeTi UNION SELECT CZ FROM TianKong UNION "
        "SELECT CZ FROM JianDaTi UNION SELECT CZ FROM YuanLiLunShu UNION SELECT CZ FROM "
        "XiTongSheJi UNION SELECT CZ FROM XiTongCZ)");
    const QStringList chapters = target.rows("SELECT ZJ || '  ' || ZJName FROM ZhangJie");
    for (const QString& cz : used)
        EXPECT_TRUE(chapters.contains(cz)) << cz.toStdString();

    // Every document, byte for byte.
    EXPECT_EQ(target.docs(), source.docs());
    for (const QString& d : source.docs())
        EXPECT_EQ(target.doc(d), source.doc(d)) << d.toStdString();

    // A second import finds every question already there.
    const QStringList before = target.snapshot();
    const ImportReport again = target.import(exported.data);
    EXPECT_EQ(again.total(), 0);
    EXPECT_EQ(again.leftOut.size(), imported.total());
    EXPECT_TRUE(again.leftOut.first().reason.startsWith("the question already exists"));
    EXPECT_EQ(target.snapshot(), before);
}

TEST(ExchangeRoundTrip, GiftCarriesWhatItCanAndReportsTheRest) {
    Bank source;
    fillDemo(source);
    ExportOptions options;
    options.format = Format::Gift;
    const ExportReport exported = exportBank(source.c, source.docDir(), options);
    ASSERT_FALSE(exported.leftOut.isEmpty());
    for (const LeftOut& l : exported.leftOut)
        EXPECT_TRUE(l.reason == "GIFT carries no documents" ||
                    l.reason == "GIFT carries no question with several blanks")
            << l.reason.toStdString();

    Bank target;
    const ImportReport imported = target.import(exported.data);
    EXPECT_TRUE(imported.leftOut.isEmpty()) << imported.lines().join('\n').toStdString();
    EXPECT_EQ(imported.format, Format::Gift);
    EXPECT_EQ(imported.total(), exported.total());
    // Each question that went out comes back as it was, number included.
    const QStringList back = questionRows(target);
    const QStringList all = questionRows(source);
    EXPECT_EQ(back.size(), exported.total());
    for (const QString& row : back)
        EXPECT_TRUE(all.contains(row)) << row.toStdString();
}

TEST(ExchangeRoundTrip, AwkwardTextSurvivesBothFormats) {
    const QString awkward =
        QStringLiteral("  Leading spaces, a  double space, <b>not bold</b> & \"quotes\"\n"
                       "a ]]> inside, {braces} ~tilde =equals #hash :colon \\backslash\\n\n"
                       "\ttab, control \x01 char, caf\u00e9 \u4e2d\u6587, trailing ");
    for (const Format format : {Format::MoodleXml, Format::Gift}) {
        Bank source;
        db::Query q(&source.c);
        q.setSql("INSERT INTO JianDaTi (TypeID, TM, DA, NY, CZ) VALUES (3, :TM, :DA, 14, '')");
        q.bindText("TM", awkward);
        q.bindText("DA", QStringLiteral("answer with ]]> and <tags> &amp;"));
        q.execSql();
        q.setSql("INSERT INTO XuanZeTi (TypeID, TM, A, B, C, D, DA, CZ, NY) VALUES "
                 "(1, :TM, :A, 'b', 'c', 'd', 'A', '', 12)");
        q.bindText("TM", QStringLiteral("Which? {1:SA:=x} stays text"));
        q.bindText("A", QStringLiteral("a <choice> & ~one"));
        q.execSql();
        ExportOptions options;
        options.format = format;
        const ExportReport exported = exportBank(source.c, source.docDir(), options);
        Bank target;
        const ImportReport imported = target.import(exported.data);
        EXPECT_EQ(imported.total(), 2) << imported.lines().join('\n').toStdString();
        const QStringList rows = target.rows("SELECT TM, DA FROM JianDaTi");
        ASSERT_EQ(rows.size(), 1);
        if (format == Format::MoodleXml) {
            EXPECT_EQ(rows[0], awkward + "|answer with ]]> and <tags> &amp;");
        } else {
            // GIFT cuts the spaces at the ends of a question text.
            EXPECT_EQ(rows[0], awkward.trimmed() + "|answer with ]]> and <tags> &amp;");
        }
        EXPECT_EQ(target.rows("SELECT TM, A, NY FROM XuanZeTi"),
                  QStringList{"Which? {1:SA:=x} stays text|a <choice> & ~one|12"});
    }
}

TEST(ExchangeRoundTrip, FillInBlankGapsFollowTheRunsOfUnderscores) {
    Bank source;
    db::Query q(&source.c);
    q.setSql("INSERT INTO TianKong (TypeID, TM, K1, K2, K3, K4, K5, YTS, NY, CZ) VALUES "
             "(2, :TM, :K1, :K2, :K3, NULL, NULL, :YTS, 13, '')");
    const struct {
        const char* tm;
        int yts;
    } cases[] = {{"A __ and a ______ then _.", 3}, {"Runs do not match ____.", 3}};
    for (const auto& c : cases) {
        q.bindText("TM", QString::fromUtf8(c.tm));
        q.bindText("K1", "one}#~/\"\\");
        q.bindText("K2", "two & <2>");
        q.bindText("K3", "3");
        q.bindInt("YTS", c.yts);
        q.execSql();
    }
    const ExportReport exported = exportBank(source.c, source.docDir(), {});
    EXPECT_TRUE(exported.data.contains("{1:SHORTANSWER:=one\\}\\#\\~\\/\\\"\\\\}"));
    Bank target;
    EXPECT_EQ(target.import(exported.data).total(), 2);
    EXPECT_EQ(questionRows(target), questionRows(source));
}

// Each rule of the mapping, on small files written in Moodle XML.
TEST(ExchangeImport, MoodleXmlQuestionTypesMapOrAreLeftOutWithTheirReason) {
    const QByteArray file = quiz(R"(
<question type="category"><category><text>$course$/top/Default for English/Week 1/Verbs</text></category></question>
<question type="multichoice"><name><text>mc ok</text></name>
 <questiontext format="html"><text><![CDATA[<p>Pick &amp; choose&nbsp;one</p><p>second <b>line</b></p>]]></text></questiontext>
 <single>true</single>
 <answer fraction="0" format="html"><text>&amp;lt;a&amp;gt;</text></answer>
 <answer fraction="100" format="html"><text><![CDATA[<p>b</p>]]></text></answer>
 <answer fraction="0"><text>c</text></answer>
 <tags><tag><text>difficulty:hard</text></tag></tags>
</question>
<question type="multichoice"><name><text>five</text></name><questiontext><text>q5</text></questiontext>
 <answer fraction="100"><text>a</text></answer><answer fraction="0"><text>b</text></answer>
 <answer fraction="0"><text>c</text></answer><answer fraction="0"><text>d</text></answer>
 <answer fraction="0"><text>e</text></answer></question>
<question type="multichoice"><name><text>several</text></name><questiontext><text>qs</text></questiontext>
 <single>false</single>
 <answer fraction="50"><text>a</text></answer><answer fraction="50"><text>b</text></answer></question>
<question type="truefalse"><name><text>tf</text></name><questiontext><text>The sky is blue.</text></questiontext>
 <answer fraction="100"><text>true</text></answer><answer fraction="0"><text>false</text></answer></question>
<question type="numerical"><name><text>num</text></name><questiontext><text>Pi?</text></questiontext>
 <answer fraction="100"><text>3.14</text><tolerance>0.01</tolerance></answer></question>
<question type="shortanswer"><name><text>sa</text></name><questiontext><text>Capital of France?</text></questiontext>
 <answer fraction="50"><text>Lyon</text></answer><answer fraction="100"><text>Paris</text></answer></question>
<question type="cloze"><name><text>cloze</text></name><questiontext format="html"><text><![CDATA[Go {1:SA:=went#ok~%50%goed} and {2:NUMERICAL:=2:0.5} or {1:MC:~x~=y}.]]></text></questiontext></question>
<question type="cloze"><name><text>six gaps</text></name><questiontext><text>{:SA:=1}{:SA:=2}{:SA:=3}{:SA:=4}{:SA:=5}{:SA:=6}</text></questiontext></question>
<question type="cloze"><name><text>no right</text></name><questiontext><text>x {1:SA:~a~b}</text></questiontext></question>
<question type="category"><category><text>$course$/top/2  Writing/2.5  Letters</text></category></question>
<question type="essay"><name><text>essay</text></name><questiontext format="html"><text><![CDATA[Describe <img src="@@PLUGINFILE@@/pic%201.png" alt="x"> it.]]></text>
 <file name="pic 1.png" path="/" encoding="base64">UE5H</file></questiontext>
 <graderinfo format="html"><text>Model answer</text></graderinfo></question>
<question type="essay"><name><text>essay doc</text></name><questiontext format="html"><text><![CDATA[Read it.<p><a href="@@PLUGINFILE@@/../../etc/passage.doc">passage.doc</a></p>]]></text>
 <file name="../../etc/passage.doc" path="/" encoding="base64">RE9D</file></questiontext>
 <graderinfo format="html"><text>Key</text></graderinfo></question>
<question type="match"><name><text>match</text></name><questiontext><text>m</text></questiontext></question>
<question type="description"><name><text>desc</text></name><questiontext><text>d</text></questiontext></question>
<question type="calculated"><name><text>calc</text></name><questiontext><text>c</text></questiontext></question>
)");
    Bank bank;
    const ImportReport r = bank.import(file);
    QStringList left;
    for (const LeftOut& l : r.leftOut)
        left << l.type + "|" + l.name + "|" + l.reason;
    EXPECT_EQ(left, (QStringList{
                        "multichoice|five|it has 5 choices; a multiple-choice question holds at "
                        "most four",
                        "multichoice|several|it has several correct choices",
                        "cloze|six gaps|it has 6 gaps; a fill-in-blank question holds at most five",
                        "cloze|no right|gap 1 has no fully correct answer",
                        "match|match|matching questions have no place in this bank",
                        "description|desc|a description asks no question",
                        "calculated|calc|calculated questions have no place in this bank"}));
    const QString week = "1  Default for English";
    const QString verbs = "1.1  Verbs";
    EXPECT_EQ(bank.rows("SELECT TM, A, B, C, D, DA, NY, CZ FROM XuanZeTi"),
              QStringList{"Pick & choose one\nsecond line|<a>|b|c||B|14|" + verbs});
    EXPECT_EQ(bank.rows("SELECT TM, K1, K2, K3, YTS, NY FROM TianKong"),
              (QStringList{"The sky is blue.|True|||1|13", "Pi?|3.14 \u00B1 0.01|||1|13",
                           "Capital of France?|Paris|||1|13",
                           "Go ____ and ____ or ____.|went|2 \u00B1 0.5|y|3|13"}));
    EXPECT_EQ(bank.rows("SELECT TM, DA, CZ FROM JianDaTi"),
              QStringList{"Describe [image: pic 1.png] it.|Model answer|2.5  Letters"});
    EXPECT_EQ(bank.rows("SELECT TM, DA, TMBG, DABG FROM XiTongSheJi"),
              QStringList{"Read it.|Key|passage.doc|"});
    // The category path made a chapter with a section under it, and kept the
    // codes it was given.
    EXPECT_EQ(bank.rows("SELECT ZJ, ZJName FROM ZhangJie ORDER BY ID"),
              (QStringList{"1|Default for English", "1.1|Verbs", "2|Writing", "2.5|Letters"}));
    EXPECT_EQ(r.newChapters, (QStringList{week, verbs, "2  Writing", "2.5  Letters"}));
    EXPECT_EQ(bank.docs(), (QStringList{"passage.doc", "pic 1.png"}));
    EXPECT_EQ(bank.doc("pic 1.png"), "PNG");
    EXPECT_FALSE(QFile::exists(bank.dir.path() + "/etc/passage.doc"));
    EXPECT_EQ(r.imported[1], 1);
    EXPECT_EQ(r.imported[2], 4);
    EXPECT_EQ(r.perChapter.value(verbs)[2], 4);
}

TEST(ExchangeImport, GiftSyntaxWithEscapesCategoriesAndTags) {
    const QByteArray gift = R"(// a comment
$CATEGORY: $course$/top/Grammar

// [tag:difficulty:easy]
::Q1::What is 2\+2 \= ?\nThink\: carefully {
  =four \{4\}
  ~three # no
  ~five
}

::Q2::Grant is buried in Grant's tomb.{FALSE}

Who wrote \~Hamlet\~?{=Shakespeare =William Shakespeare}

::Q4::When was Grant born?{#1822:5}

::Q5::Grant is {~buried =entombed ~living} in Grant's tomb.

::Q6::Write about your day.{####A good answer \# has detail}

::Q7::Match {=a -> 1 =b -> 2}

::Q8::Just a description

::Q9::Broken {=a
)";
    Bank bank;
    const ImportReport r = bank.import(gift);
    EXPECT_EQ(r.format, Format::Gift);
    EXPECT_EQ(
        bank.rows("SELECT TM, A, B, C, DA, NY, CZ FROM XuanZeTi"),
        (QStringList{"What is 2\\+2 = ?\nThink: carefully|four {4}|three|five|A|12|1  Grammar",
                     "Grant is ____ in Grant's tomb.|buried|entombed|living|B|13|1  Grammar"}));
    EXPECT_EQ(
        bank.rows("SELECT TM, K1 FROM TianKong"),
        (QStringList{"Grant is buried in Grant's tomb.|False", "Who wrote ~Hamlet~?|Shakespeare",
                     "When was Grant born?|1822 \u00B1 5"}));
    EXPECT_EQ(bank.rows("SELECT TM, DA FROM JianDaTi"),
              QStringList{"Write about your day.|A good answer # has detail"});
    ASSERT_EQ(r.leftOut.size(), 3);
    EXPECT_EQ(r.leftOut[0].reason, "matching questions have no place in this bank");
    EXPECT_EQ(r.leftOut[1].reason, "a description asks no question");
    EXPECT_EQ(r.leftOut[2].reason, "its answers are not closed with \"}\"");
    EXPECT_EQ(r.leftOut[2].line, 25);
}

TEST(ExchangeImport, OptionsGiveDifficultyChapterAndEssayType) {
    const QByteArray gift = "Essay one{}\n\n// [tag:difficulty:hard]\nEssay two{}\n";
    Bank bank;
    ImportOptions options;
    options.defaultDifficulty = 12;
    options.defaultChapter = "3  Own";
    options.essayTypeId = 5;
    const ImportReport r = bank.import(gift, options);
    EXPECT_EQ(r.imported[5], 2);
    EXPECT_EQ(bank.rows("SELECT TM, NY, CZ, TypeID FROM YuanLiLunShu"),
              (QStringList{"Essay one|12|3  Own|5", "Essay two|14|3  Own|5"}));
}

TEST(ExchangeImport, DocumentNamesNeverClashAndSameBytesAreReused) {
    Bank bank;
    bank.addDoc("a.doc", "old");
    bank.addDoc("same.doc", "SAME");
    const QByteArray file = quiz(R"(
<question type="essay"><name><text>1</text></name><questiontext><text><![CDATA[One<a href="@@PLUGINFILE@@/a.doc">a.doc</a>]]></text>
 <file name="a.doc" encoding="base64">bmV3</file></questiontext></question>
<question type="essay"><name><text>2</text></name><questiontext><text><![CDATA[Two<a href="@@PLUGINFILE@@/a.doc">a.doc</a>]]></text>
 <file name="a.doc" encoding="base64">b3RoZXI=</file></questiontext>
 <graderinfo><text><![CDATA[<a href="@@PLUGINFILE@@/same.doc">s</a>]]></text><file name="same.doc" encoding="base64">U0FNRQ==</file></graderinfo></question>
<question type="essay"><name><text>3</text></name><questiontext><text><![CDATA[Three<a href="@@PLUGINFILE@@/sub/a.doc">a.doc</a>]]></text>
 <file name="sub/a.doc" encoding="base64">bmV3</file></questiontext></question>
)");
    const ImportReport r = bank.import(file);
    EXPECT_EQ(r.total(), 3);
    EXPECT_EQ(bank.rows("SELECT TM, TMBG, DABG FROM XiTongSheJi ORDER BY BH"),
              (QStringList{"One|a-2.doc|", "Two|a-3.doc|same.doc", "Three|a-2.doc|"}));
    EXPECT_EQ(bank.doc("a.doc"), "old");
    EXPECT_EQ(bank.doc("a-2.doc"), "new");
    EXPECT_EQ(bank.doc("a-3.doc"), "other");
    EXPECT_EQ(bank.docs(), (QStringList{"a-2.doc", "a-3.doc", "a.doc", "same.doc"}));
}

TEST(ExchangeImport, BadFilesLeaveTheBankExactlyAsItWas) {
    Bank bank;
    fillDemo(bank);
    const QByteArray good = exportBank(bank.c, bank.docDir(), {}).data;
    Bank target;
    target.addDoc("kept.doc", "x");
    target.import(quiz("<question type=\"essay\"><name><text>e</text></name><questiontext>"
                       "<text>Already here</text></questiontext></question>"));
    const QStringList before = target.snapshot();

    const struct {
        const char* what;
        QByteArray data;
        const char* message;
    } cases[] = {
        {"truncated", good.left(good.size() / 2), "not well-formed XML at line "},
        {"ill-formed", quiz("<question type=\"essay\"><name><text>x</name></question>"),
         "not well-formed XML at line 3"},
        {"not UTF-8", quiz("<question type=\"essay\"><name><text>caf\xe9</text></name>"),
         "not UTF-8 text: an invalid byte at line 3, column 39"},
        {"GIFT not UTF-8", QByteArray("Q{}\n\nR\xff{}"),
         "not UTF-8 text: an invalid byte at line 3, column 2"},
        {"other root", QByteArray("<?xml version=\"1.0\"?><html/>"), "its root element is <html>"},
    };
    for (const auto& c : cases) {
        try {
            target.import(c.data);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ExchangeError& e) {
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(c.message)))
                << c.what << ": " << e.text().toStdString();
        }
        EXPECT_EQ(target.snapshot(), before) << c.what;
    }
}

// A file is refused for bytes that are no UTF-8, but not for the
// replacement character U+FFFD written properly, which some files hold.
TEST(ExchangeImport, Utf8IsCheckedByTheBytesNotByTheReplacementCharacter) {
    EXPECT_NO_THROW(requireUtf8(QByteArray("caf\xc3\xa9 \xef\xbf\xbd end")));
    for (const QByteArray& bad : {QByteArray("over\xc0\xaflong"), QByteArray("sur\xed\xa0\x80gate"),
                                  QByteArray("cut\xe2\x82")})
        EXPECT_THROW(requireUtf8(bad), ExchangeError) << bad.toStdString();
}

TEST(ExchangeImport, DryRunReportsWithoutWriting) {
    Bank source;
    fillDemo(source);
    const QByteArray data = exportBank(source.c, source.docDir(), {}).data;
    Bank target;
    const QStringList before = target.snapshot();
    ImportOptions options;
    options.dryRun = true;
    const ImportReport r = target.import(data, options);
    EXPECT_GT(r.total(), 20);
    EXPECT_FALSE(r.documents.isEmpty());
    EXPECT_FALSE(r.newChapters.isEmpty());
    EXPECT_EQ(target.snapshot(), before);
}

TEST(ExchangeImport, ALockedBankIsWaitedForThenReported) {
    Bank bank;
    db::Connection other;
    other.open(bank.dir.path() + "/DB/TiKu.mdb");
    other.execScript("BEGIN IMMEDIATE");
    QStringList told;
    ImportOptions options;
    options.lockWaitMs = 300;
    options.onWaiting = [&](const QString& text) { told << text; };
    try {
        importFile(bank.c, bank.docDir(), "Q{}\n", options);
        ADD_FAILURE() << "no error";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.text().contains("stayed locked")) << e.text().toStdString();
    }
    EXPECT_EQ(told.size(), 1);
    other.rollback();
    EXPECT_EQ(importFile(bank.c, bank.docDir(), "Q{}\n", options).total(), 1);
}

TEST(ExchangeExport, ChaptersSelectQuestionsAndDocumentsMayStayOut) {
    Bank bank;
    fillDemo(bank);
    const QStringList texts = chapterTextsForCodes(bank.c, {"1"});
    ASSERT_GT(texts.size(), 1);
    ExportOptions options;
    options.chapters = texts;
    options.embedDocuments = false;
    const ExportReport r = exportBank(bank.c, bank.docDir(), options);
    EXPECT_FALSE(r.data.contains("encoding=\"base64\""));
    Bank target;
    target.import(r.data);
    for (const QString& cz : target.rows("SELECT CZ FROM XuanZeTi UNION SELECT CZ FROM TianKong"))
        EXPECT_TRUE(texts.contains(cz)) << cz.toStdString();
    EXPECT_THROW(chapterTextsForCodes(bank.c, {"97"}), ExchangeError);
}

namespace {

struct ToolRun {
    int status = 0;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments, int lockWaitMs = 0) {
    ToolRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = tools::runExchange(arguments, out, err, lockWaitMs);
    AppPaths::setExeDirOverride(QString());
    return r;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

} // namespace

TEST(ExchangeTool, CommandLinesItCannotUseExitWithTwo) {
    Bank bank;
    const QString dir = bank.dir.path();
    const QStringList cases[] = {
        {},
        {"convert", "x"},
        {"import", "--dir", dir},
        {"import", "--dir", dir, "--difficulty", "tough", "f.xml"},
        {"import", "--dir", dir, "--format", "gift", "f.xml"},
        {"import", "--dir", dir, "a.xml", "b.xml"},
        {"export", "--dir", dir, "-o", "out.xml"},
        {"export", "--dir", dir, "--format", "word", "-o", "out.xml"},
        {"export", "--dir", dir, "--format", "gift"},
        {"export", "--dir", dir, "--format", "gift", "-o", "x", "--bogus"},
        {"export", "--dir", dir + "/nowhere", "--format", "gift", "-o", "x"},
        {"export", "--dir", dir, "--format", "gift", "--chapter", "42", "-o", "x"},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    const ToolRun help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tolvane-exchange import"));
}

TEST(ExchangeTool, ImportReportsEachQuestionLeftOutAndExitsOneOnlyWhenNothingCouldBeRead) {
    Bank source;
    fillDemo(source);
    QTemporaryDir files;
    const QString xml = files.filePath("demo.xml");
    ToolRun r = runTool({"export", "--dir", source.dir.path(), "--format", "moodle", "-o", xml});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains(QRegularExpression("(^|\\n)Exported [0-9]+ questions .*left out 0.\\n")));

    Bank target;
    const QStringList before = target.snapshot();
    r = runTool({"import", "--dir", target.dir.path(), "--dry-run", xml});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("Dry run: nothing was written."));
    EXPECT_EQ(target.snapshot(), before);

    r = runTool({"import", "--dir", target.dir.path(), xml});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(questionRows(target), questionRows(source));

    const QString mixed =
        writeFile(files, "mixed.gift", "::A::Match{=a -> b}\n\n::B::New question{=yes}\n");
    r = runTool({"import", "--dir", target.dir.path(), "--difficulty", "hard", mixed});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.split('\n').first(),
              "Left out (line 1): matching \"A\": matching questions have no place in this bank.");
    EXPECT_TRUE(r.out.contains("Imported 1 questions (multiple choice 0, fill-in-blank 1"));
    EXPECT_TRUE(r.out.contains("left out 1."));
    EXPECT_EQ(target.rows("SELECT NY FROM TianKong WHERE TM='New question'"), QStringList{"14"});

    const QStringList after = target.snapshot();
    const struct {
        QString file;
        const char* message;
    } bad[] = {
        {files.filePath("missing.xml"), "Cannot read"},
        {writeFile(files, "bad.xml", "<quiz>\n<question type=\"essay\">\n</quiz>"),
         "not well-formed XML at line 3"},
        {writeFile(files, "empty.gift", "// nothing here\n"), "holds no questions"},
    };
    for (const auto& b : bad) {
        r = runTool({"import", "--dir", target.dir.path(), b.file});
        EXPECT_EQ(r.status, 1) << b.message;
        EXPECT_TRUE(r.err.contains(b.message)) << r.err.toStdString();
        EXPECT_EQ(target.snapshot(), after);
    }

    db::Connection other;
    other.open(target.dir.path() + "/DB/TiKu.mdb");
    other.execScript("BEGIN IMMEDIATE");
    r = runTool({"import", "--dir", target.dir.path(), mixed}, 200);
    other.rollback();
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("is locked by another program; waiting")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("stayed locked"));
}

TEST(ExchangeImport, ALargeFileWithALargeDocumentComesInWhole) {
    // About 10 MB: a document of 6 MB, and 2,000 essays of 1,000 characters.
    QByteArray document(6 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < document.size(); ++i)
        document[i] = static_cast<char>((i * 7919) % 251);
    QByteArray body = "<question type=\"essay\"><name><text>big</text></name><questiontext>"
                      "<text><![CDATA[Read it <a href=\"@@PLUGINFILE@@/big.doc\">big.doc</a>]]>"
                      "</text><file name=\"big.doc\" encoding=\"base64\">" +
                      document.toBase64() + "</file></questiontext></question>\n";
    for (int i = 0; i < 2000; ++i)
        body += "<question type=\"essay\"><name><text>e</text></name><questiontext><text>" +
                QByteArray::number(i) + QByteArray(1000, 'x') +
                "</text></questiontext></question>\n";
    const QByteArray file = quiz(body);
    ASSERT_GT(file.size(), 10 * 1000 * 1000);
    Bank bank;
    const ImportReport r = bank.import(file);
    EXPECT_EQ(r.total(), 2001);
    EXPECT_EQ(bank.doc("big.doc"), document);
    EXPECT_EQ(bank.rows("SELECT TMBG FROM XiTongSheJi"), QStringList{"big.doc"});
}
