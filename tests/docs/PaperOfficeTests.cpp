// A saved paper with quoted Word documents, and its answers, written into a
// real headless LibreOffice (a private profile and pipe of this run) and
// read back. The office's document must be the recording's, with each
// quoted document's own paragraphs where the recording marks the file.
#include "core/Progress.h"
#include "docs/LibreOffice.h"
#include "docs/OfficeProcess.h"
#include "docs/PaperDocuments.h"
#include "docs/RecordingWord.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace tolvane;
using namespace tolvane::docs;

namespace {

// The office, read back just before the renderer lets go of a document
// (after that only the lecturer holds it).
class ReadBackOffice : public WordApplication {
public:
    explicit ReadBackOffice(const OfficeOptions& options) : m_office(options) {}
    void connect() override { m_office.connect(); }
    WordDocument& addDocument() override {
        m_document = &m_office.addDocument();
        return *m_document;
    }
    void setCheckSpellingAsYouType(bool on) override { m_office.setCheckSpellingAsYouType(on); }
    void setCheckGrammarAsYouType(bool on) override { m_office.setCheckGrammarAsYouType(on); }
    void setVisible(bool visible) override { m_office.setVisible(visible); }
    void disconnect() override {
        if (m_document) {
            paragraphs = m_document->paragraphs();
            caption = m_document->caption();
            spelling = m_office.checkSpellingAsYouType();
            viewSpelling = m_document->checksSpellingAsYouType();
            m_document = nullptr;
        }
        m_office.disconnect();
    }

    LibreOfficeApplication& office() { return m_office; }
    QList<WordParagraph> paragraphs;
    QString caption;
    bool spelling = true;
    // The document's own view: what decides whether words are marked.
    bool viewSpelling = true;

private:
    LibreOfficeApplication m_office;
    LibreOfficeDocument* m_document = nullptr;
};

// Word 97 files made from text by one headless office call; each line of a
// text becomes one paragraph.
void makeWordFiles(const QString& docDir, const QMap<QString, QStringList>& files,
                   const QString& scratch) {
    QStringList sources;
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString txt = scratch + "/" + it.key() + ".txt";
        QFile f(txt);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((it.value().join('\n') + '\n').toUtf8());
        sources << txt;
    }
    QProcess convert;
    convert.start("soffice", QStringList{"--headless", "--norestore",
                                         "-env:UserInstallation=file://" + scratch + "/convert",
                                         "--convert-to", "doc", "--outdir", docDir} +
                                 sources);
    ASSERT_TRUE(convert.waitForFinished(180000));
    for (auto it = files.begin(); it != files.end(); ++it)
        ASSERT_TRUE(QFile::exists(docDir + it.key() + ".doc"))
            << convert.readAllStandardError().toStdString();
}

// The recording's paragraphs with each file marker replaced by the file's
// own lines. A quoted file keeps its own font; every other paragraph must
// have the recording's.
struct Expected {
    QString text;
    std::optional<WordFont> font;
};

QList<Expected> expand(const RecordingWordDocument& doc, const QString& docDir,
                       const QMap<QString, QStringList>& files) {
    QList<Expected> out;
    for (const WordParagraph& p : doc.paragraphs()) {
        bool replaced = false;
        for (auto it = files.begin(); it != files.end(); ++it) {
            if (p.text == RecordingWordDocument::fileMarker(docDir + it.key() + ".doc")) {
                for (const QString& line : it.value())
                    out << Expected{line, std::nullopt};
                replaced = true;
            }
        }
        if (!replaced)
            out << Expected{p.text, p.font};
    }
    return out;
}

void expectSame(const QList<Expected>& want, const QList<WordParagraph>& got) {
    for (int i = 0; i < qMax(want.size(), got.size()); ++i) {
        SCOPED_TRACE(i);
        ASSERT_LT(i, got.size());
        ASSERT_LT(i, want.size()) << got[i].text.toStdString();
        EXPECT_EQ(got[i].text.toStdString(), want[i].text.toStdString());
        if (want[i].font) {
            EXPECT_EQ(got[i].font, *want[i].font) << want[i].text.toStdString();
        }
    }
}

// Ends the offices a test started however the test ends, so that a failed
// assertion leaves no office behind to meet the next run.
struct OfficeReaper {
    OfficeOptions options;
    QList<std::shared_ptr<OfficeProcess>> started;
    ~OfficeReaper() {
        try {
            LibreOfficeApplication::terminateOffice(options);
        } catch (const std::exception&) {
            // Gone already: the processes below are ended in any case.
        }
        for (const std::shared_ptr<OfficeProcess>& process : started)
            if (process && !process->waitForExit(20000))
                process->kill();
    }
};

} // namespace

TEST(PaperInOffice, ASavedPaperWithQuotedDocumentsAndItsAnswers) {
    test::TestBank bank;
    test::MessageRecorder messages;
    QTemporaryDir scratch;
    const QString docDir = bank.dir() + "Doc/";
    const QMap<QString, QStringList> files{
        {"q5", {"Draw the plan of a house.", "Label every room."}},
        {"a5", {"A plan with four rooms."}},
        {"q6", {"Operate the machine."}},
        {"w1", {"First answer document.", "Its second line."}},
    };
    makeWordFiles(docDir, files, scratch.path());

    bank.exec("INSERT INTO XuanZeTi (BH, TypeID, TM, A, B, C, D, DA, CZ, NY) VALUES (1, 1, "
              "'Pick one', 'cat', 'dog', 'cow', 'hen', 'B', '1', 12)");
    bank.exec("INSERT INTO TianKong (BH, TypeID, TM, K1, K2, YTS, NY, CZ) VALUES (1, 2, 'Fill', "
              "'x', 'y', 2, 12, '1')");
    bank.exec("INSERT INTO XiTongSheJi (BH, TypeID, TM, DA, NY, CZ, DABG, TMBG) VALUES (1, 4, "
              "'Design', 'See the plan', 12, '1', 'a5.doc', 'Q5.DOC')");
    bank.exec("INSERT INTO XiTongCZ (BH, TypeID, TM, NY, CZ, W1DA, W1DABG, W2DA, W2DABG, WTS, "
              "TMBG) VALUES (1, 6, 'Operate', 12, '1', 'Start it', 'w1.doc', 'Stop it', '', 2, "
              "'q6.doc')");
    // Answers that look like headings, parts, the start of a type 6 question
    // or a document name: each is an answer, printed as typed.
    const QStringList awkward{"#include <stdio.h>", "!x", "*", "notes.DOC"};
    for (int i = 0; i < awkward.size(); ++i)
        bank.exec(QString("INSERT INTO JianDaTi (BH, TypeID, TM, DA, NY, CZ) VALUES (%1, 3, "
                          "'Q%1', '%2', 12, '1')")
                      .arg(i + 1)
                      .arg(awkward[i]));
    bank.exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P', 'admin', 'Easy')");
    bank.exec("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('P', 1, 1, 2), ('P', 2, 1, 3), "
              "('P', 3, 1, 5), ('P', 3, 2, 5), ('P', 3, 3, 5), ('P', 3, 4, 5), "
              "('P', 4, 1, 10), ('P', 6, 1, 20)");

    OfficeOptions options;
    options.pipeName = QString("tolvane_papertest_%1").arg(QCoreApplication::applicationPid());
    options.headless = true;
    options.profileDir = scratch.filePath("profile");
    OfficeReaper reaper{options, {}};
    ReadBackOffice office(options);
    RecordingWordApplication recording;
    NullProgress progress;
    db::Query paperQuery(&bank.connection());
    db::Query questionQuery(&bank.connection());
    AnswerLines answers;
    AnswerLines recordedAnswers;

    ASSERT_TRUE(renderSavedPaper(recording, progress, paperQuery, questionQuery, "P", 8, docDir,
                                 recordedAnswers));
    ASSERT_TRUE(
        renderSavedPaper(office, progress, paperQuery, questionQuery, "P", 8, docDir, answers));
    std::shared_ptr<OfficeProcess> started = office.office().startedOffice();
    reaper.started << started;
    ASSERT_NE(started, nullptr);
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(answers, recordedAnswers);
    EXPECT_EQ(office.caption, "Tolvane Test");
    EXPECT_FALSE(office.spelling);
    EXPECT_FALSE(office.viewSpelling);
    const RecordingWordDocument& test = recording.lastDocument();
    expectSame(expand(test, docDir, files), office.paragraphs);

    ASSERT_TRUE(renderAnswers(recording, progress, &recordedAnswers, docDir));
    ASSERT_TRUE(renderAnswers(office, progress, &answers, docDir));
    EXPECT_EQ(office.caption, "Tolvane Test Answers");
    EXPECT_FALSE(office.viewSpelling);
    expectSame(expand(recording.lastDocument(), docDir, files), office.paragraphs);
    QStringList texts;
    for (const WordParagraph& p : office.paragraphs)
        texts << p.text;
    const int t3 = texts.indexOf("3. Type 3 (4 Questions, Each 5 Mark, Total 20 Marks)");
    ASSERT_GE(t3, 0) << texts.join('|').toStdString();
    EXPECT_EQ(texts.mid(t3 + 1, 4),
              (QStringList{"1. #include <stdio.h>", "2. !x", "3. *", "4. notes.DOC"}));

    // Both documents stay open in the one office.
    LibreOfficeApplication reader(options);
    reader.connect();
    reaper.started << reader.startedOffice();
    EXPECT_EQ(reader.startedOffice(), nullptr) << "a second office was started";
    const QStringList titles = reader.frameTitles();
    EXPECT_TRUE(titles.contains("Tolvane Test")) << titles.join(", ").toStdString();
    EXPECT_TRUE(titles.contains("Tolvane Test Answers")) << titles.join(", ").toStdString();
    reader.disconnect();
}
