#pragma once

#include <QStringList>
#include <QTextStream>

namespace tolvane::tools {

QString exchangeUsage();

// The whole program tolvane-exchange: import or export questions in Moodle XML
// or GIFT. Returns the exit code: 0 done (questions may have been left out),
// 1 nothing could be done (unreadable file, bank not open), 2 a command line it
// cannot use. `lockWaitMs` is how long an import waits for a locked bank.
int runExchange(const QStringList& arguments, QTextStream& out, QTextStream& err,
                int lockWaitMs = 10000);

} // namespace tolvane::tools
