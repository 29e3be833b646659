#include "tools/exchange/ExchangeTool.h"

#include "core/AppPaths.h"
#include "core/ArgumentScanner.h"
#include "db/Database.h"
#include "exchange/BankExchange.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace tolvane::tools {

namespace {

const char* const kMe = "tolvane-exchange";
constexpr qint64 kLargestFile = 256ll * 1024 * 1024;

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

struct Command {
    QString action; // "import" or "export"
    QString dir;
    QStringList chapters;
    QString difficulty;
    bool dryRun = false;
    QString format;
    bool noDocuments = false;
    QString output;
    QString file;
    bool help = false;
};

Command parse(const QStringList& arguments) {
    Command c;
    bool dirGiven = false, difficultyGiven = false, formatGiven = false, outputGiven = false;
    ArgumentScanner<UsageError> scan(arguments);
    while (scan.next()) {
        const QString arg = scan.name();
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            scan.noValue();
            c.help = true;
        } else if (c.action.isEmpty() && !arg.startsWith('-')) {
            if (arg != QLatin1String("import") && arg != QLatin1String("export"))
                throw UsageError(
                    QStringLiteral("Unknown command \"%1\": use import or export.").arg(arg));
            c.action = arg;
        } else if (arg == QLatin1String("--dir")) {
            c.dir = scan.value(&dirGiven);
            if (c.dir.isEmpty())
                throw UsageError(QStringLiteral("The option --dir needs a folder."));
        } else if (arg == QLatin1String("--chapter")) {
            c.chapters << scan.value();
        } else if (arg == QLatin1String("--difficulty")) {
            c.difficulty = scan.value(&difficultyGiven).toLower();
        } else if (arg == QLatin1String("--dry-run")) {
            scan.noValue();
            c.dryRun = true;
        } else if (arg == QLatin1String("--format")) {
            c.format = scan.value(&formatGiven).toLower();
        } else if (arg == QLatin1String("--no-documents")) {
            scan.noValue();
            c.noDocuments = true;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            c.output = scan.value(&outputGiven);
        } else if (arg.startsWith('-') && arg != QLatin1String("-")) {
            throw UsageError(QStringLiteral("Unknown option \"%1\".").arg(scan.argument()));
        } else if (c.file.isEmpty()) {
            c.file = arg;
        } else {
            throw UsageError(QStringLiteral("Unexpected argument \"%1\".").arg(arg));
        }
    }
    if (c.help)
        return c;
    if (c.action.isEmpty())
        throw UsageError(QStringLiteral("Say import or export."));
    if (c.action == QLatin1String("import")) {
        if (c.file.isEmpty())
            throw UsageError(QStringLiteral("Name the file to import."));
        if (c.chapters.size() > 1)
            throw UsageError(QStringLiteral("An import takes one --chapter."));
        if (!c.difficulty.isEmpty() && c.difficulty != QLatin1String("easy") &&
            c.difficulty != QLatin1String("medium") && c.difficulty != QLatin1String("hard"))
            throw UsageError(QStringLiteral("--difficulty is easy, medium or hard."));
        if (formatGiven || outputGiven || c.noDocuments)
            throw UsageError(
                QStringLiteral("--format, -o and --no-documents belong to an export."));
    } else {
        if (!c.file.isEmpty())
            throw UsageError(QStringLiteral("Unexpected argument \"%1\": an export writes the "
                                            "file named by -o.")
                                 .arg(c.file));
        if (c.format != QLatin1String("moodle") && c.format != QLatin1String("gift"))
            throw UsageError(QStringLiteral("An export needs --format moodle or --format gift."));
        if (c.output.isEmpty())
            throw UsageError(QStringLiteral("An export needs -o FILE."));
        if (c.dryRun || difficultyGiven)
            throw UsageError(QStringLiteral("--dry-run and --difficulty belong to an import."));
    }
    return c;
}

int difficultyCode(const QString& name) {
    if (name == QLatin1String("easy"))
        return 12;
    if (name == QLatin1String("hard"))
        return 14;
    return 13;
}

} // namespace

QString exchangeUsage() {
    return QStringLiteral(
        "Usage: tolvane-exchange import [--dir DIR] [--chapter CODE]\n"
        "                               [--difficulty easy|medium|hard] [--dry-run] FILE\n"
        "       tolvane-exchange export [--dir DIR] --format moodle|gift [--chapter CODE]...\n"
        "                               [--no-documents] -o FILE\n"
        "\n"
        "Imports questions from a Moodle XML or GIFT file into the question bank, or\n"
        "exports questions of the bank to one. The format of an imported file is told\n"
        "from its content: a <quiz> root is Moodle XML, anything else GIFT.\n"
        "\n"
        "  --dir DIR          the folder that holds DB/TiKu.mdb and Doc/ (default: the\n"
        "                     folder Zenlo keeps them in)\n"
        "  --chapter CODE     import: the chapter or section for questions the file\n"
        "                     files under no category; export: a chapter (with its\n"
        "                     sections) or a section to export, and may be given again\n"
        "                     (default: every question)\n"
        "  --difficulty D     import: the difficulty of questions without a\n"
        "                     difficulty:easy|medium|hard tag (default: medium)\n"
        "  --dry-run          import: read and report, write nothing\n"
        "  --format F         export: moodle (Moodle XML) or gift\n"
        "  --no-documents     export: name the quoted documents without embedding them\n"
        "  -o FILE            export: the file to write\n"
        "  -h, --help         show this text\n"
        "\n"
        "An import prints a line for each question it leaves out and why, then the\n"
        "counts. Exit status: 0 done (even with questions left out), 1 nothing could be\n"
        "imported or exported, 2 a command line that cannot be used.\n");
}

int runExchange(const QStringList& arguments, QTextStream& out, QTextStream& err, int lockWaitMs) {
    Command c;
    try {
        c = parse(arguments);
    } catch (const UsageError& e) {
        err << kMe << ": " << e.what() << "\nTry \"" << kMe << " --help\".\n";
        err.flush();
        return 2;
    }
    if (c.help) {
        out << exchangeUsage();
        out.flush();
        return 0;
    }
    if (!c.dir.isEmpty()) {
        if (!QFileInfo(c.dir).isDir()) {
            err << kMe << ": The folder \"" << c.dir << "\" does not exist.\n";
            err.flush();
            return 2;
        }
    }
    // The folder --dir names, or the one Zenlo keeps its data in (beside the
    // program in a portable copy, the user's data folder when installed).
    const QString dataDir =
        c.dir.isEmpty() ? AppPaths::dataDir() : QDir(c.dir).absolutePath() + QLatin1Char('/');
    const QString bankPath = dataDir + QStringLiteral("DB/TiKu.mdb");
    const QString docDir = dataDir + QStringLiteral("Doc/");

    try {
        db::Connection bank;
        bank.open(bankPath);
        if (c.action == QLatin1String("import")) {
            exchange::ImportOptions options;
            options.dryRun = c.dryRun;
            options.defaultDifficulty = difficultyCode(c.difficulty);
            options.lockWaitMs = lockWaitMs;
            options.onWaiting = [&err](const QString& text) {
                err << kMe << ": " << text << "\n";
                err.flush();
            };
            if (!c.chapters.isEmpty()) {
                options.defaultChapter = exchange::chapterTextForCode(bank, c.chapters.first());
                if (options.defaultChapter.isEmpty()) {
                    err << kMe << ": The bank holds no chapter with the code \""
                        << c.chapters.first() << "\".\n";
                    err.flush();
                    return 2;
                }
            }
            QFile file(c.file);
            if (!file.open(QIODevice::ReadOnly))
                throw exchange::ExchangeError(
                    QStringLiteral("Cannot read \"%1\": %2.").arg(c.file, file.errorString()));
            if (file.size() > kLargestFile)
                throw exchange::ExchangeError(
                    QStringLiteral("\"%1\" is larger than %2 MB; split it and import the parts.")
                        .arg(c.file)
                        .arg(kLargestFile / (1024 * 1024)));
            const exchange::ImportReport report =
                exchange::importFile(bank, docDir, file.readAll(), options);
            if (report.total() == 0 && report.leftOut.isEmpty())
                throw exchange::ExchangeError(
                    QStringLiteral("\"%1\" holds no questions.").arg(c.file));
            for (const QString& line : report.lines())
                out << line << "\n";
            if (!report.newChapters.isEmpty())
                out << "Chapters made: " << report.newChapters.join(QStringLiteral(", ")) << "\n";
            if (c.dryRun)
                out << "Dry run: nothing was written.\n";
        } else {
            exchange::ExportOptions options;
            options.format = c.format == QLatin1String("gift") ? exchange::Format::Gift
                                                               : exchange::Format::MoodleXml;
            options.embedDocuments = !c.noDocuments;
            if (!c.chapters.isEmpty()) {
                try {
                    options.chapters = exchange::chapterTextsForCodes(bank, c.chapters);
                } catch (const exchange::ExchangeError& e) {
                    err << kMe << ": " << e.text() << "\n";
                    err.flush();
                    return 2;
                }
            }
            const exchange::ExportReport report = exchange::exportBank(bank, docDir, options);
            QSaveFile file(c.output);
            if (!file.open(QIODevice::WriteOnly) || file.write(report.data) != report.data.size() ||
                !file.commit())
                throw exchange::ExchangeError(
                    QStringLiteral("Cannot write \"%1\": %2.").arg(c.output, file.errorString()));
            for (const QString& line : report.lines())
                out << line << "\n";
            out << "Written: " << c.output << "\n";
        }
    } catch (const std::exception& e) {
        out.flush();
        err << kMe << ": " << QString::fromUtf8(e.what()) << "\n";
        err.flush();
        return 1;
    }
    out.flush();
    return 0;
}

} // namespace tolvane::tools
