#include "docs/OfficeVersion.h"

#include <QLocale>
#include <gtest/gtest.h>

using tolvane::docs::yearMonthVersion;

TEST(OfficeVersion, ReadInTheYearMonthScheme) {
    const struct {
        const char* office;
        const char* expected;
    } cases[] = {
        {"24.2", "24.2"}, {"24.8", "24.8"},    {"25.2.3.1", "25.2"}, // year.month as it is
        {"7.4", "22.8"},  {"7.4.7.2", "22.8"}, {"7.6", "23.8"},      {"7.0", "20.8"},
        {"6.4", "20.1"},  {"5.0", "15.8"},     {"4.4", "15.1"},      {"4.0", "13.2"},
        {"3.3", "11.1"},  {"3.6", "12.8"},     {"3.2", "10.2"},      {"3.1", "9.5"},
        {"3.0", "8.10"},                   // OpenOffice.org era
        {"2.4", "2.4"},   {"1.1", "1.1"},  // older still: its own number, below 10
        {"4.5", "15.1"},  {"7.7", "23.8"}, // unknown minor: the last known before it
        {"", ""},         {"abc", "abc"},      {"7", "7"}, // no version: as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(yearMonthVersion(c.office, "."), c.expected) << c.office;
}

TEST(OfficeVersion, WrittenWithTheLocalesSeparatorSoTheLocaleReadsItBack) {
    EXPECT_EQ(yearMonthVersion("7.4", ","), "22,8");
    EXPECT_EQ(yearMonthVersion("3.0", ","), "8,10");

    // Start-up reads the probe's text with the locale's conversion and
    // compares with 10.0.
    for (const QLocale& locale : {QLocale(QLocale::German), QLocale(QLocale::English)}) {
        bool ok = false;
        EXPECT_DOUBLE_EQ(locale.toDouble(yearMonthVersion("7.4", locale.decimalPoint()), &ok),
                         22.8);
        EXPECT_TRUE(ok) << locale.name().toStdString();
        EXPECT_LT(locale.toDouble(yearMonthVersion("3.1", locale.decimalPoint())), 10.0);
        EXPECT_GE(locale.toDouble(yearMonthVersion("3.2", locale.decimalPoint())), 10.0);
    }
}
