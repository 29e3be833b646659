#include "tools/backup/CommandLine.h"

namespace tolvane::backup {

Arguments parseArguments(const QStringList& arguments) {
    Arguments a;
    int operations = 0;
    for (int i = 0; i < arguments.size() && a.error.isEmpty(); ++i) {
        const QString& arg = arguments[i];
        // An option's value never begins with "--": that is the next option.
        const bool hasValue =
            i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--"));
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            a.help = true;
        } else if (arg == QLatin1String("han_backup")) {
            a.request.kind = Request::FromSettings;
            ++operations;
        } else if (arg == QLatin1String("--backup")) {
            a.request.kind = Request::Backup;
            ++operations;
        } else if (arg == QLatin1String("--restore")) {
            if (!hasValue)
                a.error = QStringLiteral("--restore needs the label of a backup.");
            else
                a.request = {Request::Restore, arguments[++i]};
            ++operations;
        } else if (arg == QLatin1String("--no-window")) {
            // Looked for before the application is made, which it decides.
        } else if (arg == QLatin1String("--dir")) {
            if (!hasValue || arguments[i + 1].isEmpty())
                a.error = QStringLiteral("--dir needs a folder.");
            else
                a.dir = arguments[++i];
        } else if (arg == QLatin1String("--wait")) {
            bool ok = false;
            a.waitSeconds = hasValue ? arguments[++i].toInt(&ok) : -1;
            if (!ok || a.waitSeconds < 0)
                a.error = QStringLiteral("--wait needs a number of seconds.");
        } else {
            a.error = QStringLiteral("Unknown argument \"%1\".").arg(arg);
        }
    }
    if (a.error.isEmpty() && !a.help) {
        if (operations == 0)
            a.error = QStringLiteral("Nothing to do: give han_backup, --backup or --restore.");
        else if (operations > 1)
            a.error = QStringLiteral("Give only one of han_backup, --backup and --restore.");
    }
    return a;
}

QString usageText() {
    return QStringLiteral(
        "Usage: BackUp.exe han_backup|--backup|--restore LABEL [--no-window] [--wait SECONDS]\n"
        "                  [--dir DIR]\n"
        "\n"
        "Backs up or restores the question bank DB/TiKu.mdb and the documents of Doc/.\n"
        "\n"
        "  han_backup        do what Tolvane asked for in set.ini: [bakup] CZ=0 a backup,\n"
        "                    CZ=1 a restore of the backup labelled RQ; the request is then\n"
        "                    cleared (CZ=0, RQ empty), so it is carried out once\n"
        "  --backup          make a new backup under BakPath and record it in set.ini\n"
        "                    (for a scheduled task)\n"
        "  --restore LABEL   put back the recorded backup labelled LABEL\n"
        "  --no-window       work without a window and print the outcome\n"
        "  --wait SECONDS    how long to wait for Tolvane to close the bank (default 60)\n"
        "  --dir DIR         the folder holding DB/, Doc/ and set.ini (default: the folder\n"
        "                    of this program when it holds DB/, else ~/.local/share/Tolvane)\n"
        "  --help            print this text\n"
        "\n"
        "A restore that was interrupted is finished or undone first. The exit code is 0 on\n"
        "success, 1 on any failure and 2 for a command line that makes no sense.\n");
}

} // namespace tolvane::backup
