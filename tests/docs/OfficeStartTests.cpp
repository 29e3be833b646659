// Starting an office that never answers, without a real office.
#include "docs/LibreOffice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tolvane::docs;

namespace {

OfficeOptions optionsFor(const QString& program, int timeoutMs) {
    OfficeOptions o;
    o.pipeName = QStringLiteral("tolvane_nothing_%1").arg(QCoreApplication::applicationPid());
    o.headless = true;
    o.program = program;
    o.startTimeoutMs = timeoutMs;
    return o;
}

} // namespace

TEST(OfficeStart, DefaultsAreTheLecturersOffice) {
    const OfficeOptions o;
    EXPECT_TRUE(o.pipeName.startsWith("tolvane_office_"));
    EXPECT_FALSE(o.headless);
    EXPECT_TRUE(o.profileDir.isEmpty());
    EXPECT_TRUE(o.arguments().contains("--accept=pipe,name=" + o.pipeName + ";urp;"));
    EXPECT_FALSE(o.arguments().contains("--headless"));
    EXPECT_TRUE(o.arguments().contains("--norestore"));

    OfficeOptions test = o;
    test.headless = true;
    test.profileDir = "/tmp/a b";
    EXPECT_TRUE(test.arguments().contains("--headless"));
    EXPECT_TRUE(test.arguments().contains("-env:UserInstallation=file:///tmp/a%20b"));
}

TEST(OfficeStart, AnOfficeThatCannotStartOrNeverAnswersIsAClearError) {
    const struct {
        const char* program;
        const char* message;
    } cases[] = {
        {"/nonexistent/soffice", "could not be started"},
        {"false", "ended with status 1"},
        // Exits at once with 0, as a launcher that hands over to a running
        // office does; then only the deadline ends the waiting.
        {"true", "did not answer"},
    };
    for (const auto& c : cases) {
        LibreOfficeApplication app(optionsFor(c.program, 1500));
        QElapsedTimer timer;
        timer.start();
        try {
            app.connect();
            ADD_FAILURE() << c.program << ": connect should fail";
        } catch (const WordError& e) {
            EXPECT_TRUE(e.text().contains(c.message)) << e.what();
        }
        EXPECT_LT(timer.elapsed(), 10000) << c.program;
        EXPECT_FALSE(app.isConnected());
        EXPECT_THROW(app.addDocument(), WordError);
    }
}

TEST(OfficeStart, ProbeSaysNoWhenTheOfficeCannotStart) {
    const struct {
        const char* program;
        // An office that ran on the kept profile and failed may have found
        // it damaged: it is set up afresh by the next check. A program that
        // did not start says nothing about the profile.
        bool profileKept;
    } cases[] = {{"/nonexistent/soffice", true}, {"false", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        QTemporaryDir cache;
        const QString kept = cache.filePath("profile");
        ASSERT_TRUE(QDir().mkpath(kept + "/user"));
        LibreOfficeVersionProbe probe(c.program, 1500);
        probe.setKeptProfileDir(kept);
        EXPECT_FALSE(probe.create());
        EXPECT_EQ(probe.process(), nullptr);
        EXPECT_TRUE(probe.profileDir().isEmpty());
        EXPECT_EQ(QFileInfo::exists(kept + "/user"), c.profileKept);
        EXPECT_THROW(probe.version(), WordError);
        probe.quit();
        probe.release();
    }
}

// The check's own profile lives in the cache, apart from the lecturer's
// office and its profile.
TEST(OfficeStart, TheCheckKeepsAProfileOfItsOwnInTheCache) {
    const QString kept = LibreOfficeVersionProbe::defaultKeptProfileDir();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    EXPECT_EQ(kept, cache + "/tolvane/office-check-profile");
    EXPECT_FALSE(kept.contains("libreoffice", Qt::CaseInsensitive)) << kept.toStdString();
    EXPECT_EQ(LibreOfficeVersionProbe().keptProfileDir(), kept);
}

// On a machine without LibreOffice the UNO module does not load (its UNO
// libraries are missing); the program must still run and say so.
TEST(OfficeStart, AModuleThatCannotBeLoadedMeansNoOffice) {
    QTemporaryDir dir;
    const QString noLibrary = dir.filePath("libtolvane_uno.so");
    {
        QFile f(noLibrary);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a shared library\n");
    }
    const struct {
        QString path;
        const char* why;
    } cases[] = {
        {dir.filePath("missing/libtolvane_uno.so"), "missing"},
        {noLibrary, "no library"},
        // Loads, but has no entry point of the bridge.
        {QStringLiteral(TOLVANE_TEST_OTHER_LIBRARY), "another library"},
    };
    const QString defaultPath = unoModulePath();
    EXPECT_TRUE(QFileInfo::exists(defaultPath)) << defaultPath.toStdString();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        setUnoModulePath(c.path);
        ASSERT_EQ(unoModulePath(), c.path);

        LibreOfficeVersionProbe probe("soffice", 1500);
        probe.setKeptProfileDir(dir.filePath("profile"));
        EXPECT_FALSE(probe.create());
        EXPECT_EQ(probe.process(), nullptr) << "no office is started without the module";
        EXPECT_TRUE(probe.profileDir().isEmpty());
        probe.release();

        LibreOfficeApplication app(optionsFor("soffice", 1500));
        try {
            app.connect();
            ADD_FAILURE() << "connect should fail";
        } catch (const WordError& e) {
            EXPECT_TRUE(e.text().contains("could not be loaded")) << e.what();
            EXPECT_TRUE(e.text().contains(c.path)) << e.what();
        }
        EXPECT_FALSE(app.isConnected());
        EXPECT_EQ(app.startedOffice(), nullptr);
        EXPECT_THROW(LibreOfficeApplication::terminateOffice(optionsFor("soffice", 1500)),
                     WordError);
    }
    setUnoModulePath(QString());
    EXPECT_EQ(unoModulePath(), defaultPath);
}
