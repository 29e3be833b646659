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

// The file `name` in `folder` (which ends in '/'), found as the bank compares
// names, without regard to letter case: a question quoting "Q5.DOC" finds
// the file q5.doc. A file of exactly that name is preferred; among several
// that differ only in case, the first in name order is taken. Empty when
// there is none, and for a name the folder cannot hold (one with a folder
// part), so that a quoted name never reaches a file outside the folder.
QString findInFolder(const QString& folder, const QString& name);

} // namespace tolvane
