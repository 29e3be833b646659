#include "docs/OfficeVersion.h"

#include <QRegularExpression>

namespace tolvane::docs {

namespace {

struct Release {
    int major;
    int minor;
    const char* yearMonth;
};

// Releases before the year.month numbering, with the year and month of their
// first release. 3.0 to 3.2 are the OpenOffice.org releases LibreOffice grew
// from.
constexpr Release kReleases[] = {
    {3, 0, "8.10"}, {3, 1, "9.5"},  {3, 2, "10.2"}, {3, 3, "11.1"}, {3, 4, "11.6"}, {3, 5, "12.2"},
    {3, 6, "12.8"}, {4, 0, "13.2"}, {4, 1, "13.7"}, {4, 2, "14.1"}, {4, 3, "14.7"}, {4, 4, "15.1"},
    {5, 0, "15.8"}, {5, 1, "16.2"}, {5, 2, "16.8"}, {5, 3, "17.2"}, {5, 4, "17.7"}, {6, 0, "18.1"},
    {6, 1, "18.8"}, {6, 2, "19.2"}, {6, 3, "19.8"}, {6, 4, "20.1"}, {7, 0, "20.8"}, {7, 1, "21.2"},
    {7, 2, "21.8"}, {7, 3, "22.2"}, {7, 4, "22.8"}, {7, 5, "23.2"}, {7, 6, "23.8"},
};

// The first release numbered by year and month.
constexpr int kFirstYearMajor = 24;

} // namespace

QString yearMonthVersion(const QString& officeVersion, const QString& decimalPoint) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch m = pattern.match(officeVersion);
    if (!m.hasMatch())
        return officeVersion;
    const int major = m.captured(1).toInt();
    const int minor = m.captured(2).toInt();

    QString result;
    if (major >= kFirstYearMajor || major < kReleases[0].major) {
        // Already year.month; or older than any LibreOffice, whose own
        // number is below 10 anyway.
        result = QStringLiteral("%1.%2").arg(major).arg(minor);
    } else {
        // A minor release unknown here is no older than the last known one
        // before it.
        const Release* found = &kReleases[0];
        for (const Release& r : kReleases) {
            if (r.major < major || (r.major == major && r.minor <= minor))
                found = &r;
        }
        result = QString::fromLatin1(found->yearMonth);
    }
    return result.replace(QLatin1Char('.'), decimalPoint);
}

} // namespace tolvane::docs
