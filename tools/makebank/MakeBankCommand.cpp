#include "tools/makebank/MakeBankCommand.h"
#include "core/ArgumentScanner.h"

#include <QDir>

namespace tolvane::tools {

using bank::demoCourseName;
using bank::demoLecturerName;
using bank::demoLecturerPassword;
using bank::DemoSummary;
using bank::makeBank;

QString usageText() {
    return QStringLiteral(
        "Usage: tolvane-makebank [--dir DIR] [--admin NAME] [--password PW] [--demo] [--force]\n"
        "\n"
        "Writes a new question bank DIR/DB/TiKu.mdb for Zenlo: the tables, the rows the\n"
        "program needs and one administrator.\n"
        "\n"
        "  --dir DIR          the data folder (default: the folder of this program when\n"
        "                     it holds DB/, a portable copy; else ~/.local/share/Tolvane,\n"
        "                     or $XDG_DATA_HOME/Tolvane)\n"
        "  --admin NAME       the administrator's user name (default: admin)\n"
        "  --password PW      the administrator's password (default: admin)\n"
        "  --demo             also write a demo course, a lecturer \"lecturer\" with the\n"
        "                     password \"lecturer\", and the documents its questions quote\n"
        "                     into DIR/Doc (needs LibreOffice)\n"
        "  --force            replace an existing bank (and demo documents); if anything\n"
        "                     fails the old bank stays as it was\n"
        "  --office PROGRAM   the LibreOffice program that writes the demo documents\n"
        "                     (default: soffice)\n"
        "  -h, --help         show this text\n");
}

CommandLine parseCommandLine(const QStringList& arguments, const QString& defaultDir) {
    CommandLine cl;
    cl.options.dir = defaultDir;
    bool officeGiven = false;
    ArgumentScanner<UsageError> scan(arguments);
    while (scan.next()) {
        const QString arg = scan.name();
        if (arg == QLatin1String("--dir")) {
            cl.options.dir = scan.value(&cl.dirGiven);
            if (cl.options.dir.isEmpty())
                throw UsageError(QStringLiteral("The option --dir needs a folder."));
        } else if (arg == QLatin1String("--admin")) {
            cl.options.adminName = scan.value(&cl.options.adminNameGiven);
        } else if (arg == QLatin1String("--password")) {
            cl.options.adminPassword = scan.value(&cl.options.adminPasswordGiven);
        } else if (arg == QLatin1String("--office")) {
            cl.options.officeProgram = scan.value(&officeGiven);
        } else if (arg == QLatin1String("--demo")) {
            scan.noValue();
            cl.options.demo = true;
        } else if (arg == QLatin1String("--force")) {
            scan.noValue();
            cl.options.force = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            scan.noValue();
            cl.help = true;
        } else if (arg.startsWith('-')) {
            throw UsageError(QStringLiteral("Unknown option \"%1\".").arg(scan.argument()));
        } else {
            throw UsageError(QStringLiteral("Unexpected argument \"%1\".").arg(arg));
        }
    }
    return cl;
}

int runMakeBank(const QStringList& arguments, const QString& defaultDir, QTextStream& out,
                QTextStream& err) {
    const QString me = QStringLiteral("tolvane-makebank");
    CommandLine cl;
    try {
        cl = parseCommandLine(arguments, defaultDir);
    } catch (const UsageError& e) {
        err << me << ": " << e.text() << "\n"
            << "Try \"" << me << " --help\".\n";
        err.flush();
        return 2;
    }
    if (cl.help) {
        out << usageText();
        out.flush();
        return 0;
    }

    // The default data folder of an installed program is made on first use;
    // a folder named with --dir must exist.
    if (!cl.dirGiven)
        QDir().mkpath(cl.options.dir);

    MakeBankResult r;
    try {
        cl.options.onProgress = [&out](const QString& text) {
            out << text << "\n";
            out.flush();
        };
        r = makeBank(cl.options);
    } catch (const UsageError& e) {
        err << me << ": " << e.text() << "\n";
        err.flush();
        return 2;
    } catch (const std::exception& e) {
        err << me << ": " << QString::fromUtf8(e.what()) << "\n";
        err.flush();
        return 1;
    }

    const MakeBankOptions& o = cl.options;
    out << "Question bank written: " << r.bankPath << "\n";
    out << "Administrator: \"" << o.adminName << "\"" << (o.adminNameGiven ? "" : " (default)");
    if (o.adminPasswordGiven)
        out << ", with the password given\n";
    else
        out << ", password \"" << o.adminPassword << "\" (default; change it after logging in)\n";
    if (r.demo) {
        const DemoSummary& s = r.summary;
        out << "Demo course \"" << demoCourseName() << "\": " << s.chapters << " chapters, "
            << s.sections << " sections, " << s.totalQuestions() << " questions (multiple choice "
            << s.questions[1] << ", fill-in-blank " << s.questions[2] << ", type 3 "
            << s.questions[3] << ", type 4 " << s.questions[5] << ", type 5 " << s.questions[4]
            << ", type 6 " << s.questions[6] << "), " << s.papers << " saved papers\n";
        out << "Lecturer: \"" << demoLecturerName() << "\", password \"" << demoLecturerPassword()
            << "\"\n";
        out << "Documents written into " << r.docDir << ": " << r.documents.size() << "\n";
    }
    out.flush();
    return 0;
}

} // namespace tolvane::tools
