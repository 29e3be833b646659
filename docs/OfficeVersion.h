#pragma once

#include <QString>

namespace tolvane::docs {

// Reads LibreOffice's version (ooSetupVersion, "7.4", "24.2") in the
// year.month scheme that LibreOffice itself has used since 24.2: an older
// release becomes the year and month it came out (7.4 → 22.8, 3.3 → 11.1),
// so that start-up's threshold of 10.0 still means "released in 2010 or
// later". The result is written with decimalPoint as its separator, so the
// locale's own number conversion reads it back. A text that is no version
// comes back as it is, for the caller's conversion to report.
QString yearMonthVersion(const QString& officeVersion, const QString& decimalPoint);

} // namespace tolvane::docs
