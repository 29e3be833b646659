// Starting an office that never answers, without a real office.
#include "docs/LibreOffice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    LibreOfficeVersionProbe probe("/nonexistent/soffice", 1500);
    EXPECT_FALSE(probe.create());
    EXPECT_EQ(probe.process(), nullptr);
    EXPECT_TRUE(probe.profileDir().isEmpty()) << "the temporary profile is gone again";
    EXPECT_THROW(probe.version(), WordError);
    probe.quit();
    probe.release();
}
