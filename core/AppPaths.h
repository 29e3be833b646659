#pragma once

#include <QString>

namespace tolvane {

// The one place that knows the executable's directory. Everything the program
// keeps beside itself (the bank, Doc/, the help file, set.ini, the backup
// program) is found from here. Tests point it at a temporary folder.
class AppPaths {
public:
    // The executable's directory, with a trailing '/'.
    static QString exeDir();
    // Paths beside the executable.
    static QString beside(const QString& relative);
    static QString docDir(); // the document folder Doc/, with a trailing '/'

    // Test seam: use this directory instead of the executable's. An empty
    // text goes back to the real one.
    static void setExeDirOverride(const QString& dir);
};

} // namespace tolvane
