// Against a real LibreOffice: headless, with a private profile and a pipe of
// this test run, so that it never meets an office of the user. The suite owns
// that office and ends it at the end.
#include "docs/LibreOffice.h"
#include "docs/OfficeVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace tolvane::docs;

namespace {

WordFont font(bool bold, double size) {
    return WordFont{QStringLiteral("Times New Roman"), bold, false, false, size};
}

class LibreOffice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        s_options = new OfficeOptions;
        s_options->pipeName =
            QStringLiteral("tolvane_test_%1").arg(QCoreApplication::applicationPid());
        s_options->headless = true;
        s_options->profileDir = s_dir->filePath("profile");
        ASSERT_FALSE(LibreOfficeApplication::terminateOffice(*s_options))
            << "nothing may listen on the test's pipe yet";
    }

    static void TearDownTestSuite() {
        LibreOfficeApplication::terminateOffice(*s_options);
        if (s_office) {
            if (!s_office->waitForExit(20000)) {
                ADD_FAILURE() << "the office did not end when asked";
                s_office->kill();
            }
            s_office->waitForExit(5000);
            EXPECT_TRUE(s_office->livingGroupMembers().isEmpty());
            s_office.reset();
        }
        delete s_options;
        delete s_dir;
    }

    // Connects, and keeps the office if this connect started it, so the
    // suite can end it.
    static void connect(LibreOfficeApplication& app) {
        app.connect();
        if (app.startedOffice())
            s_office = app.startedOffice();
    }

    // A Word 97 file made by a second, separate headless office.
    static QString makeWordFile(const QString& name, const QString& text) {
        const QString txt = s_dir->filePath(name + ".txt");
        QFile f(txt);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        QProcess convert;
        convert.start("soffice",
                      {"--headless", "--norestore",
                       "-env:UserInstallation=file://" + s_dir->filePath("convert-profile"),
                       "--convert-to", "doc", "--outdir", s_dir->path(), txt});
        EXPECT_TRUE(convert.waitForFinished(120000));
        const QString doc = s_dir->filePath(name + ".doc");
        EXPECT_TRUE(QFileInfo(doc).isFile()) << convert.readAllStandardError().toStdString();
        return doc;
    }

    static QTemporaryDir* s_dir;
    static OfficeOptions* s_options;
    static std::shared_ptr<OfficeProcess> s_office;
};

QTemporaryDir* LibreOffice::s_dir = nullptr;
OfficeOptions* LibreOffice::s_options = nullptr;
std::shared_ptr<OfficeProcess> LibreOffice::s_office;

} // namespace

TEST_F(LibreOffice, ConnectStartsTheOfficeOnceAndDisconnectLeavesItOpen) {
    LibreOfficeApplication first(*s_options);
    connect(first);
    ASSERT_NE(first.startedOffice(), nullptr) << "nothing answered, so connect started it";
    const qint64 pid = first.startedOffice()->pid();
    first.addDocument().setCaption("First render");
    first.disconnect();
    EXPECT_FALSE(first.isConnected());

    // A second render: the same office answers, with the first document
    // still open in it.
    LibreOfficeApplication second(*s_options);
    connect(second);
    EXPECT_EQ(second.startedOffice(), nullptr) << "a second office was started";
    EXPECT_TRUE(second.frameTitles().contains("First render"))
        << second.frameTitles().join(", ").toStdString();
    EXPECT_TRUE(processAlive(pid));
    second.disconnect();

    first.connect();
    EXPECT_EQ(first.startedOffice()->pid(), pid);
    EXPECT_TRUE(first.frameTitles().contains("First render"));
}

TEST_F(LibreOffice, RoundTripOfARenderedDocument) {
    const QString quoted = makeWordFile("quoted", "Quoted line one\nQuoted line two\n");

    LibreOfficeApplication app(*s_options);
    connect(app);
    LibreOfficeDocument& doc = app.addDocument();
    doc.setCaption("Tolvane Test");
    app.setCheckSpellingAsYouType(false);
    app.setCheckGrammarAsYouType(false);
    EXPECT_FALSE(app.checkSpellingAsYouType());
    EXPECT_FALSE(app.checkGrammarAsYouType());

    doc.setLastSentenceFont(font(true, 22));
    doc.insertAfter("English Final Test\r");
    doc.insertAfter("Course________  Name___________ Score_____ \r");
    doc.setLastSentenceFont(font(false, 14));
    doc.insertAfter(" \r");
    doc.setLastSentenceFont(font(false, 12));
    doc.insertAfter("I. Type 3\r");
    doc.insertAfterLastSentence("1. Explain.");
    doc.insertAfterLastSentence(" \r");
    doc.insertFileAfterLastSentence(quoted);
    doc.insertAfterLastSentence("\rAfter the file\r");

    EXPECT_EQ(doc.caption(), "Tolvane Test");
    EXPECT_FALSE(doc.isVisible()) << "hidden until made visible";
    QList<WordParagraph> paragraphs = doc.paragraphs();
    ASSERT_EQ(paragraphs.size(), 9) << doc.text().replace('\r', '|').toStdString();
    // The inserted file keeps its own font; the text after it has the font
    // last set again.
    EXPECT_EQ(paragraphs[5].text, "Quoted line one");
    EXPECT_EQ(paragraphs[6].text, "Quoted line two");
    EXPECT_NE(paragraphs[5].font, font(false, 12));
    paragraphs.remove(5, 2);
    const QList<WordParagraph> expected{
        {"English Final Test", font(true, 22)},
        {"Course________  Name___________ Score_____ ", font(true, 22)},
        {" ", font(false, 14)},
        {"I. Type 3", font(false, 12)},
        {"1. Explain. ", font(false, 12)},
        {"After the file", font(false, 12)},
        {"", font(false, 12)},
    };
    EXPECT_EQ(paragraphs, expected);
    EXPECT_EQ(doc.text(), "English Final Test\rCourse________  Name___________ Score_____ \r \r"
                          "I. Type 3\r1. Explain. \rQuoted line one\rQuoted line two\r"
                          "After the file\r");

    app.setVisible(true);
    EXPECT_TRUE(doc.isVisible());
    app.disconnect();
}

TEST_F(LibreOffice, AMissingFileIsAnErrorNotASilentGap) {
    LibreOfficeApplication app(*s_options);
    connect(app);
    LibreOfficeDocument& doc = app.addDocument();
    const QString missing = s_dir->filePath("no such file.doc");
    try {
        doc.insertFileAfterLastSentence(missing);
        FAIL() << "a missing file cannot be inserted";
    } catch (const WordError& e) {
        EXPECT_TRUE(e.text().contains(missing)) << e.what();
    }
    doc.insertAfter("still usable\r");
    EXPECT_EQ(doc.text(), "still usable\r");
}

// The lecturer may quit the office at any time: calls on its documents fail
// with the office's (bridge's) message, and the next connect starts it anew.
TEST_F(LibreOffice, AnOfficeThatWentAwayFailsLoudlyAndTheNextConnectStartsAnother) {
    LibreOfficeApplication app(*s_options);
    connect(app);
    LibreOfficeDocument& doc = app.addDocument();
    doc.insertAfter("before\r");

    ASSERT_TRUE(LibreOfficeApplication::terminateOffice(*s_options));
    ASSERT_NE(s_office, nullptr);
    ASSERT_TRUE(s_office->waitForExit(20000));
    const qint64 oldPid = s_office->pid();
    try {
        doc.insertAfter("after\r");
        FAIL() << "the office is gone";
    } catch (const WordError& e) {
        EXPECT_FALSE(e.text().trimmed().isEmpty());
        std::cout << "office gone: " << e.what() << '\n';
    }

    app.connect();
    ASSERT_NE(app.startedOffice(), nullptr);
    s_office = app.startedOffice();
    EXPECT_NE(s_office->pid(), oldPid);
    app.addDocument().insertAfter("again\r");
}

// An office killed under a connected session (it crashed, or was ended from
// outside): every write after that fails with a message that says what
// happened, and this program lives on. Without SIGPIPE ignored, a write into
// the pipe the office closed would have killed it.
TEST_F(LibreOffice, AWriteToAKilledOfficeIsAClearErrorNotTheProgramsEnd) {
    LibreOfficeApplication app(*s_options);
    connect(app);
    ASSERT_NE(s_office, nullptr);
    LibreOfficeDocument& doc = app.addDocument();
    doc.insertAfter("before\r");

    s_office->kill();
    s_office.reset();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        try {
            doc.insertAfter(QString("after %1\r").arg(i));
            FAIL() << "the office is gone";
        } catch (const WordError& e) {
            EXPECT_TRUE(e.text().startsWith("The connection to the word processor was lost: it "
                                            "was closed or has ended while Tolvane was using it"))
                << e.what();
        }
    }
    EXPECT_THROW(app.setVisible(true), WordError);
    app.disconnect();

    // The next connect starts another office.
    connect(app);
    ASSERT_NE(s_office, nullptr);
    app.addDocument().insertAfter("again\r");
    app.disconnect();
}

TEST_F(LibreOffice, VersionProbeUsesAPrivateOfficeAndLeavesNothingBehind) {
    const QString kept = s_dir->filePath("check-profile");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first run, new profile" : "second run, kept profile");
        LibreOfficeVersionProbe probe;
        probe.setKeptProfileDir(kept);
        ASSERT_TRUE(probe.create());
        ASSERT_NE(probe.process(), nullptr);
        const std::shared_ptr<OfficeProcess> process = probe.process();
        EXPECT_EQ(probe.profileDir(), kept);
        EXPECT_TRUE(processAlive(process->pid()));
        EXPECT_NE(process->commandLine().indexOf("--headless"), -1);
        EXPECT_NE(process->commandLine().indexOf(QUrl::fromLocalFile(kept).toString()), -1);

        const QString office = probe.officeVersion();
        EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+").match(office).hasMatch())
            << office.toStdString();
        const QString version = probe.version();
        EXPECT_EQ(version, yearMonthVersion(office, QLocale().decimalPoint()));
        EXPECT_GE(QLocale().toDouble(version), 10.0);

        probe.quit();
        probe.release();
        EXPECT_EQ(probe.process(), nullptr);
        EXPECT_FALSE(processAlive(process->pid()));
        EXPECT_TRUE(process->livingGroupMembers().isEmpty())
            << "an office process of the probe remains";

        // The profile is kept, with the version marked as seen: the next
        // start skips the office's first-start self-tests.
        QFile settings(kept + "/user/registrymodifications.xcu");
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_TRUE(settings.readAll().contains("\"ooSetupLastVersion\" oor:op=\"fuse\"><value>" +
                                                office.toUtf8() + "</value>"));
    }

    // The suite's own office was not touched.
    if (s_office) {
        EXPECT_TRUE(processAlive(s_office->pid()));
    }
}

// Two copies of the program started at once: the second check must neither
// fail nor end the first one's office, so it runs on a temporary profile.
TEST_F(LibreOffice, ASecondCheckWhileTheKeptProfileIsInUseRunsApart) {
    const QString kept = s_dir->filePath("shared-check-profile");
    LibreOfficeVersionProbe first;
    first.setKeptProfileDir(kept);
    ASSERT_TRUE(first.create());
    EXPECT_EQ(first.profileDir(), kept);

    QString temporary;
    std::shared_ptr<OfficeProcess> secondProcess;
    {
        LibreOfficeVersionProbe second;
        second.setKeptProfileDir(kept);
        ASSERT_TRUE(second.create());
        temporary = second.profileDir();
        EXPECT_NE(temporary, kept);
        secondProcess = second.process();
        EXPECT_NE(secondProcess->pid(), first.process()->pid());
        EXPECT_EQ(second.officeVersion(), first.officeVersion());
        second.quit();
        second.release();
    }
    EXPECT_FALSE(QFileInfo::exists(temporary)) << "the temporary profile is removed";
    EXPECT_TRUE(secondProcess->livingGroupMembers().isEmpty());

    // The first check's office is still there and answers.
    EXPECT_TRUE(processAlive(first.process()->pid()));
    EXPECT_FALSE(first.officeVersion().isEmpty());
    const std::shared_ptr<OfficeProcess> firstProcess = first.process();
    first.quit();
    first.release();
    EXPECT_TRUE(firstProcess->livingGroupMembers().isEmpty());

    // Released, the kept profile is free for the next check.
    LibreOfficeVersionProbe third;
    third.setKeptProfileDir(kept);
    ASSERT_TRUE(third.create());
    EXPECT_EQ(third.profileDir(), kept);
}

TEST_F(LibreOffice, ProbeReleasedWithoutQuitStillEndsItsOffice) {
    std::shared_ptr<OfficeProcess> process;
    {
        LibreOfficeVersionProbe probe;
        probe.setKeptProfileDir(s_dir->filePath("check-profile"));
        ASSERT_TRUE(probe.create());
        process = probe.process();
    }
    EXPECT_FALSE(processAlive(process->pid()));
    EXPECT_TRUE(process->livingGroupMembers().isEmpty());
}

// Every document written shows no spelling marks, however many have been
// written before; the office's own setting says the same. Read back from
// each document's view, which is what decides whether its words are marked.
TEST_F(LibreOffice, SpellCheckingIsOffInTheViewOfEveryDocumentWritten) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        LibreOfficeApplication app(*s_options);
        connect(app);
        LibreOfficeDocument& doc = app.addDocument();
        app.setCheckSpellingAsYouType(false);
        app.setCheckGrammarAsYouType(false);
        doc.insertAfter("These words was writed wrong.\r");
        app.setVisible(true);
        EXPECT_FALSE(doc.checksSpellingAsYouType());
        EXPECT_FALSE(app.checkSpellingAsYouType());
        if (round == 2) {
            // Either way, on request.
            app.setCheckSpellingAsYouType(true);
            EXPECT_TRUE(doc.checksSpellingAsYouType());
            EXPECT_TRUE(app.checkSpellingAsYouType());
            app.setCheckSpellingAsYouType(false);
            EXPECT_FALSE(doc.checksSpellingAsYouType());
        }
        app.disconnect();
    }
}
