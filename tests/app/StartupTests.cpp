#include "app/Startup.h"
#include "tests/support/MessageRecorder.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace tolvane;

namespace {
// Stands in for the word processor and writes down what start-up asked of it.
struct FakeProbe : docs::WordVersionProbe {
    bool canCreate = true;
    QString text;
    QStringList calls;
    bool create() override {
        calls << "create";
        return canCreate;
    }
    QString version() override {
        calls << "version";
        return text;
    }
    void quit() override { calls << "quit"; }
    void release() override { calls << "release"; }
};
} // namespace

TEST(Startup, WordCheck) {
    struct Case {
        bool canCreate;
        const char* version;
        char separator;
        bool passes;
        const char* message; // nullptr: no message
        const char* caption;
    } cases[] = {
        {true, "10.0", '.', true, nullptr, nullptr},
        {true, "11.0", '.', true, nullptr, nullptr},
        {true, "22.8", '.', true, nullptr, nullptr},
        {true, "10,0", ',', true, nullptr, nullptr},
        {true, "9.0", '.', false, "Word version too old, Work XP or above required!",
         "Word version too old"},
        {true, "9.99", '.', false, "Word version too old, Work XP or above required!",
         "Word version too old"},
        {true, "11,0", '.', false, "'11,0' is not a valid floating point value", "Zenlo"},
        {true, "11.0", ',', false, "'11.0' is not a valid floating point value", "Zenlo"},
        {true, "", '.', false, "'' is not a valid floating point value", "Zenlo"},
        {false, "", '.', false, "This programme requires Microsoft Office Word!",
         "Word not installed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " sep " + c.separator);
        test::MessageRecorder messages;
        FakeProbe probe;
        probe.canCreate = c.canCreate;
        probe.text = QString::fromLatin1(c.version);
        EXPECT_EQ(checkWordProcessor(probe, QChar::fromLatin1(c.separator)), c.passes);
        if (c.message) {
            ASSERT_EQ(messages.count(), 1);
            EXPECT_EQ(messages.last().text, QString::fromLatin1(c.message));
            EXPECT_EQ(messages.last().caption, QString::fromLatin1(c.caption));
            EXPECT_EQ(messages.last().icon, MsgIcon::Error);
            EXPECT_EQ(messages.last().buttons, QMessageBox::Ok);
        } else {
            EXPECT_EQ(messages.count(), 0);
        }
        // Once created, the word processor is always quit and released
        // before the version is judged.
        if (c.canCreate)
            EXPECT_EQ(probe.calls, (QStringList{"create", "version", "quit", "release"}));
        else
            EXPECT_EQ(probe.calls, QStringList{"create"});
        // No window is made by a refusal.
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    }
}

TEST(Startup, DecimalTexts) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {{"10", true, 10},  {"10.5", true, 10.5}, {"-1.25", true, -1.25}, {".5", true, 0.5},
                 {"5.", true, 5},   {"1.2.3", false, 0},  {" 10", false, 0},      {"1e3", false, 0},
                 {"abc", false, 0}, {".", false, 0},      {"+", false, 0}};
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(parseLocaleDecimal(QString::fromLatin1(c.text), '.', &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}
