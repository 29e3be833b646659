#pragma once

#include <QString>

namespace tolvane {

// The one place that knows where the program's files are. Two kinds:
//
// - the program's own files (the help file, the backup program, the office
//   module) are found from the executable's directory;
// - the lecturer's data (the bank DB/TiKu.mdb, Doc/, set.ini, the default
//   backup folder) lives in the data folder.
//
// The data folder is the executable's directory when that holds a folder DB/
// (a portable copy, and the build folder, which the build gives one), so such
// a copy keeps everything beside itself. Otherwise the program is installed,
// and the data folder is "Tolvane" in the user's data folder
// (~/.local/share/Tolvane/, or under $XDG_DATA_HOME when that is set).
//
// Every program of the project (Zenlo, BackUp.exe, tolvane-makebank,
// tolvane-exchange) asks here, so they all agree. Tests point the
// executable's directory at a temporary folder.
class AppPaths {
public:
    // The executable's directory, with a trailing '/'.
    static QString exeDir();
    // A program file beside the executable.
    static QString beside(const QString& relative);

    // Whether the data lives beside the program (its folder holds DB/).
    static bool isPortable();
    // The data folder, with a trailing '/'. It may not exist yet for an
    // installed program that has never run.
    static QString dataDir();
    // The data folder a program in `programDir` uses, by the rule above.
    static QString dataDirFor(const QString& programDir);
    // The user's data folder for an installed program, with a trailing '/'.
    static QString userDataDir();

    static QString docDir();   // the document folder Doc/, with a trailing '/'
    static QString bankFile(); // DB/TiKu.mdb in the data folder

    // The help file Zenlo.chm: beside the executable, or where the package
    // installs it (share/tolvane of the installation), whichever exists;
    // beside the executable when neither does.
    static QString helpFile();

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
