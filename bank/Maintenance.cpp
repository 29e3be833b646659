#include "bank/Maintenance.h"

#include "bank/QuestionEntry.h"
#include "core/AppPaths.h"
#include "core/Shell.h"
#include "db/Query.h"

#include <QFileInfo>

namespace tolvane::bank {

namespace {

const QString kQuestionNo = QStringLiteral("Question No.");
const QString kType = QStringLiteral("Type");
const QString kQuestion = QStringLiteral("Question");
const QString kAnswer = QStringLiteral("Answer");
const QString kDifficulty = QStringLiteral("Difficulty");
const QString kChapter = QStringLiteral("Chapter belongs");

const char kTypeBlank[] = "Type cannot be blank!";
const char kAnswerBlank[] = "Answer cannot be blank!";
const char kChapterBlank[] = "\"Chapter belongs\" cannot be blank!";
const char kQuestionBlank[] = "Question cannot be blank!";
const char kDifficultyBlank[] = "Difficulty cannot be blank!";

const QuestionPage kPages[kQuestionPages] = {
    {"XuanZeTi",
     1,
     "Select * from XuanZeTi",
     "Select * from XuanZeTi where CZ=:temp",
     {{0, kQuestionNo},
      {1, kType},
      {2, kQuestion},
      {3, QStringLiteral("Choice A")},
      {4, QStringLiteral("Choice B")},
      {5, QStringLiteral("Choice C")},
      {6, QStringLiteral("Choice D")},
      {7, kAnswer},
      {8, kChapter},
      {9, kDifficulty}},
     {{2, 30}, {3, 10}, {4, 10}, {5, 10}, {6, 10}},
     "Update successfull"},
    {"TianKong",
     2,
     "Select * from TianKong",
     "Select * from TianKong where CZ=:temp",
     {{0, kQuestionNo},
      {1, kType},
      {2, kQuestion},
      {3, QStringLiteral("Blank 1")},
      {4, QStringLiteral("Blank 2")},
      {5, QStringLiteral("Blank 3")},
      {6, QStringLiteral("Blank 4")},
      {7, QStringLiteral("Blank 5")},
      {8, QStringLiteral("No. of Blank")},
      {9, kDifficulty},
      {10, kChapter}},
     {{2, 30}, {3, 15}, {4, 15}, {5, 15}, {6, 15}, {7, 15}},
     "Update successful"},
    {"JianDaTi",
     3,
     "Select * from JianDaTi",
     "Select * from JianDaTi where CZ=:temp",
     {{0, kQuestionNo}, {1, kType}, {2, kQuestion}, {3, kAnswer}, {4, kDifficulty}, {5, kChapter}},
     {},
     "Update successful"},
    {"YuanLiLunShu",
     5,
     "Select * from YuanLiLunShu",
     "Select * from YuanLiLunShu where CZ=:temp",
     {{0, kQuestionNo}, {1, kType}, {2, kQuestion}, {3, kAnswer}, {4, kDifficulty}, {5, kChapter}},
     {},
     "Update successful"},
    {"XiTongSheJi",
     4,
     "Select * from XiTongSheJi",
     "Select * from XiTongSheJi where CZ=:temp",
     {{0, kQuestionNo}, {1, kType}, {2, kQuestion}, {3, kAnswer}, {4, kDifficulty}, {5, kChapter}},
     {},
     "Update successful"},
    {"XiTongCZ",
     6,
     "Select * from XiTongCZ",
     "Select * from XiTongCZ where CZ=:temp",
     {{0, kQuestionNo},
      {1, kType},
      {2, kQuestion},
      {3, kDifficulty},
      {4, kChapter},
      {15, QStringLiteral("No. of sub-questions")}},
     {{2, 30}},
     "Update successful"},
};

// The count column of a page, if it has one.
QString countColumn(int page) {
    if (page == 1)
        return QStringLiteral("YTS");
    if (page == 5)
        return QStringLiteral("WTS");
    return QString();
}

// The editors an Update needs filled, in the order they are tested.
std::vector<std::pair<QString, const char*>> requiredEditors(int page) {
    const QString type = QStringLiteral("TypeID"), da = QStringLiteral("DA"),
                  cz = QStringLiteral("CZ"), tm = QStringLiteral("TM"), ny = QStringLiteral("NY");
    switch (page) {
    case 0:
        return {{type, kTypeBlank},
                {da, kAnswerBlank},
                {cz, kChapterBlank},
                {tm, kQuestionBlank},
                {ny, kDifficultyBlank},
                {QStringLiteral("A"), "Choice A cannot be blank!"},
                {QStringLiteral("B"), "Choice B cannot be blank!"},
                {QStringLiteral("C"), "Choice C cannot be blank!"},
                {QStringLiteral("D"), "Choice D cannot be blank!"}};
    case 1:
        return {{type, kTypeBlank},
                {QStringLiteral("YTS"), "\"No. of blank\" cannot be blank!"},
                {cz, kChapterBlank},
                {tm, kQuestionBlank},
                {ny, kDifficultyBlank}};
    case 5:
        return {{type, kTypeBlank},
                {cz, kChapterBlank},
                {tm, kQuestionBlank},
                {ny, kDifficultyBlank},
                {QStringLiteral("WTS"), "\"No. of question\" cannot be blank!"},
                {QStringLiteral("W1DA"), kAnswerBlank}};
    default:
        return {{type, kTypeBlank},
                {da, kAnswerBlank},
                {cz, kChapterBlank},
                {tm, kQuestionBlank},
                {ny, kDifficultyBlank}};
    }
}

void checkPage(int page) {
    if (page < 0 || page >= kQuestionPages)
        throw db::DbError(QStringLiteral("There is no question page %1.").arg(page));
}

// The first row's text of a one-parameter lookup, or empty text without one.
QString lookupText(db::Query& lookup, const char* sql, const char* param, qint64 value,
                   const char* column) {
    lookup.close();
    lookup.clearParams();
    lookup.setSql(QString::fromLatin1(sql));
    lookup.bindInt(QString::fromLatin1(param), value);
    lookup.open();
    const QString text =
        lookup.eof() ? QString(QLatin1String("")) : lookup.fieldText(QString::fromLatin1(column));
    lookup.close();
    return text;
}

// The first row's number of a lookup by name; a name that names no row is
// an error, reported with `missing`.
qint64 lookupNumber(db::Query& lookup, const char* sql, const QString& name, const char* column,
                    const QString& missing) {
    lookup.close();
    lookup.clearParams();
    lookup.setSql(QString::fromLatin1(sql));
    lookup.bindText(QStringLiteral("temp"), name);
    lookup.open();
    if (lookup.eof())
        throw db::DbError(missing);
    const qint64 n = lookup.fieldInt(QString::fromLatin1(column));
    lookup.close();
    return n;
}

// Writes the pending row; a failure leaves nothing pending on it.
template <typename Fill> void writeRow(db::Query& rows, Fill fill) {
    if (rows.eof())
        rows.append();
    else
        rows.edit();
    try {
        fill();
        rows.post();
    } catch (...) {
        rows.cancel();
        throw;
    }
}

} // namespace

const char kChapterSelect[] = "Select * from ZhangJie";
const char kChapterSearch[] = "select * from ZhangJie where ZJ=:temp";

const QuestionPage& questionPage(int page) {
    checkPage(page);
    return kPages[page];
}

std::vector<std::pair<int, QString>> chapterTitles() {
    return {{0, QStringLiteral("ID")},
            {1, QStringLiteral("Chapter ID")},
            {2, QStringLiteral("Chapter Name")}};
}

QStringList textColumns(int page) {
    checkPage(page);
    switch (page) {
    case 0:
        return {"TM", "A", "B", "C", "D", "DA", "CZ"};
    case 1:
        return {"TM", "K1", "K2", "K3", "K4", "K5", "CZ"};
    case 4:
        return {"TM", "DA", "CZ", "DABG", "TMBG"};
    case 5: {
        QStringList columns{"TM", "CZ", "TMBG"};
        for (int k = 1; k <= 5; ++k)
            columns << QStringLiteral("W%1DA").arg(k);
        for (int k = 1; k <= 5; ++k)
            columns << QStringLiteral("W%1DABG").arg(k);
        return columns;
    }
    default:
        return {"TM", "DA", "CZ"};
    }
}

QuestionEditors loadQuestion(const db::Query& rows, db::Query& lookup, int page) {
    QuestionEditors editors;
    editors.insert(QStringLiteral("BH"), QString::number(rows.fieldInt(QStringLiteral("BH"))));
    const qint64 typeId = rows.fieldInt(QStringLiteral("TypeID"));
    const qint64 ny = rows.fieldInt(QStringLiteral("NY"));
    for (const QString& column : textColumns(page))
        editors.insert(column, rows.fieldText(column));
    const QString count = countColumn(page);
    if (!count.isEmpty())
        editors.insert(count, QString::number(rows.fieldInt(count)));
    editors.insert(QStringLiteral("TypeID"),
                   lookupText(lookup, "Select TypeName From Type Where TypeID=:temp1", "temp1",
                              typeId, "TypeName"));
    editors.insert(QStringLiteral("NY"),
                   lookupText(lookup, "Select NYD From NYD Where BH=:temp11", "temp11", ny, "NYD"));
    return editors;
}

UpdateResult updateQuestion(db::Query& rows, db::Query& lookup, int page,
                            const QuestionEditors& editors) {
    const QuestionPage& info = questionPage(page);
    for (const auto& [column, message] : requiredEditors(page))
        if (editors.value(column).isEmpty())
            return {false, QString::fromLatin1(message)};

    const QString typeName = editors.value(QStringLiteral("TypeID"));
    const qint64 typeId = lookupNumber(
        lookup, "Select TypeID from Type where TypeName=:temp", typeName, "TypeID",
        QStringLiteral("The question bank has no question type named '%1'.").arg(typeName));
    // Papers find a question through the table of its type code: a code
    // foreign to this table would send them to the wrong table.
    if (typeId != info.typeId)
        return {false, QStringLiteral("The type \"%1\" is not the type of the questions on this "
                                      "page; a question cannot change its type here.")
                           .arg(typeName)};
    const QString countName = countColumn(page);
    const int count = countName.isEmpty() ? 0 : toInteger(editors.value(countName));
    const QString difficulty = editors.value(QStringLiteral("NY"));
    const qint64 ny = lookupNumber(
        lookup, "Select BH from NYD where NYD=:temp", difficulty, "BH",
        QStringLiteral("The question bank has no difficulty named '%1'.").arg(difficulty));

    writeRow(rows, [&] {
        rows.setFieldInt(QStringLiteral("TypeID"), typeId);
        for (const QString& column : textColumns(page))
            rows.setFieldText(column, editors.value(column, QString(QLatin1String(""))));
        if (!countName.isEmpty())
            rows.setFieldInt(countName, count);
        rows.setFieldInt(QStringLiteral("NY"), ny);
    });
    return {true, QString::fromLatin1(info.updated)};
}

void openPage(db::Query& rows, int page) {
    rows.close();
    rows.clearParams();
    rows.setSql(page == kChapterPage ? QString::fromLatin1(kChapterSelect)
                                     : QString::fromLatin1(questionPage(page).select));
    rows.open();
}

void searchPage(db::Query& rows, int page, const QString& chapter) {
    const QuestionPage& info = questionPage(page);
    rows.close();
    rows.clearParams();
    rows.setSql(QString::fromLatin1(info.search));
    rows.bindText(QStringLiteral("temp"), chapter);
    rows.open();
}

ChapterEditors loadChapter(const db::Query& rows) {
    return {QString::number(rows.fieldInt(QStringLiteral("ID"))),
            rows.fieldText(QStringLiteral("ZJ")), rows.fieldText(QStringLiteral("ZJName"))};
}

std::optional<QString> chapterBlank(ChapterAction action, const QString& code,
                                    const QString& name) {
    if (code.isEmpty())
        return QStringLiteral("\"Chapter ID\" cannot be balnk!");
    if (name.isEmpty())
        return action == ChapterAction::Add ? QStringLiteral("\"Chapter Name\" cannot be blank!")
                                            : QStringLiteral("\"Chapter Name\" cannot be balnk!");
    return std::nullopt;
}

void addChapter(db::Query& rows, const QString& code, const QString& name) {
    rows.close();
    rows.clearParams();
    rows.setSql(QStringLiteral("INSERT INTO ZhangJie(ZJ,ZJName) values(:ZJ,:ZJName)"));
    rows.bindText(QStringLiteral("ZJ"), code);
    rows.bindText(QStringLiteral("ZJName"), name);
    rows.execSql();
    openPage(rows, kChapterPage);
    rows.fetchAll();
    // The new chapter is numbered after every other: make it the current
    // row, so that the edits, which still hold it, show the row a Modify
    // would write.
    const int idColumn = rows.columnIndex(QStringLiteral("ID"));
    int newest = -1;
    qint64 newestId = 0;
    for (int row = 0; row < rows.recordCount(); ++row) {
        const qint64 id = rows.value(row, idColumn).toLongLong();
        if (newest < 0 || id > newestId) {
            newest = row;
            newestId = id;
        }
    }
    if (newest >= 0)
        rows.setCurrentRow(newest);
}

void modifyChapter(db::Query& rows, const QString& code, const QString& name) {
    writeRow(rows, [&] {
        rows.setFieldText(QStringLiteral("ZJ"), code);
        rows.setFieldText(QStringLiteral("ZJName"), name);
    });
}

void searchChapters(db::Query& rows, const QString& code) {
    rows.close();
    rows.clearParams();
    rows.setSql(QString::fromLatin1(kChapterSearch));
    rows.bindText(QStringLiteral("temp"), code);
    rows.open();
}

std::optional<QString> openQuotedDocument(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("Sorry, File not exist!");
    // Only a file that lies in Doc/ itself is handed to the desktop: a name
    // with a folder part could reach any file, and a missing one would fail
    // without a word.
    const QString found = findInFolder(AppPaths::docDir(), name);
    if (found.isEmpty())
        return QStringLiteral("The file \"%1\" is not in the document folder Doc.").arg(name);
    // A link in Doc may lead anywhere: the desktop is handed the file it
    // leads to, and only when that lies in Doc.
    const QString docDir = QFileInfo(AppPaths::docDir()).canonicalFilePath();
    const QString target = QFileInfo(found).canonicalFilePath();
    if (docDir.isEmpty() || !target.startsWith(docDir + QLatin1Char('/')))
        return QStringLiteral("The file \"%1\" leads outside the document folder Doc, so it is "
                              "not opened.")
            .arg(name);
    if (!shellOpen(target))
        return QStringLiteral("The desktop has no program that opens the file \"%1\".").arg(name);
    return std::nullopt;
}

} // namespace tolvane::bank
