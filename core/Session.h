#pragma once

#include <QString>

namespace tolvane {

// Who is logged in, set once by the login and read by the windows for the
// rest of the process.
extern QString CurrentUserName;
extern int CurrentPermission; // the user's QXID; 0 locks the programme options

} // namespace tolvane
