#pragma once

#include "docs/WordApi.h"

#include <QChar>
#include <QString>

namespace tolvane {

// A decimal number written with `separator` as its decimal separator:
// optional sign, digits, optionally the separator and more digits. Anything
// else (another separator, letters, spaces, an empty text) is no number.
bool parseLocaleDecimal(const QString& text, QChar separator, double* value);

// The word-processor check that runs before any window exists: create the
// application object, read its version, quit and release it, and refuse a
// missing or too old one with its message. Returns whether start-up may go
// on. The version text is converted with `separator` (the locale's).
bool checkWordProcessor(docs::WordVersionProbe& probe, QChar separator);

// Sets right a restore of the backup program that was interrupted (killed,
// a power cut) before the bank is opened: it is finished or undone, and the
// user is told which. Returns false, after saying why, when it cannot be set
// right or the backup program is still at work: the program must not start
// on a bank and documents that may not belong together.
bool recoverInterruptedRestore();

// An installed program (AppPaths::isPortable() false) with no bank in the
// user's data folder shows the first-start window; returns whether there is a
// bank to go on with, or a portable copy that reports its missing bank as
// ever.
bool ensureBank();

// The rest of start-up once the check has passed: an interrupted restore set
// right, the first-start window when it is needed (ensureBank()), then the working directory is
// made the data folder (AppPaths::dataDir(), the executable's directory in a portable copy), the
// data module, the login window and the progress window are created, and the event loop runs.
// Returns the exit code.
int runApplication();

} // namespace tolvane
