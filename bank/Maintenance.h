#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace tolvane::db {
class Query;
}

namespace tolvane::bank {

// The question bank maintenance window's work, apart from its controls: what
// a question or chapter row loads into, what an Update or Modify writes, the
// checks before it, and the opening of quoted documents.

// The six question pages, by page index; the chapter page follows them.
constexpr int kQuestionPages = 6;
constexpr int kChapterPage = 6;

// One question page: its table, the type code the table holds, its
// statements, its grid's titles and widths, and its success message.
struct QuestionPage {
    const char* table;
    int typeId;
    const char* select;
    const char* search;
    std::vector<std::pair<int, QString>> titles; // column position -> title
    std::vector<std::pair<int, int>> widths;     // column position -> characters
    const char* updated;
};
const QuestionPage& questionPage(int page);

// The chapter page's statements and titles.
extern const char kChapterSelect[];
extern const char kChapterSearch[];
std::vector<std::pair<int, QString>> chapterTitles();

// What a question page's editors hold, keyed by the column each is loaded
// from and written to: "BH" the question number, "TypeID" the type's name,
// "NY" the difficulty's name, "YTS" and "WTS" the counts as decimal text, and
// every text column its text.
using QuestionEditors = QMap<QString, QString>;

// The text columns of a page, which its editors show and write as they are.
QStringList textColumns(int page);

// Reads the current row of `rows` (a result of the page's table) into the
// page's editors, looking the type and difficulty names up with `lookup`. A
// lookup that finds nothing gives empty text; a null column gives 0 or empty
// text.
QuestionEditors loadQuestion(const db::Query& rows, db::Query& lookup, int page);

// How an Update ended: written, or refused with a message and nothing
// written.
struct UpdateResult {
    bool written = false;
    QString message;
};

// Writes the editors into the current row of `rows`, or into a new row when
// there is none. Required editors are tested first, in the page's order; a
// type box that names another type than the page's own is refused, since the
// question would stay in this table under a foreign type code. A type or
// difficulty that names no row, or a count that is no whole number, throws
// before anything is written, and a write that fails is undone, so that
// nothing of a failed Update is left pending on the row.
UpdateResult updateQuestion(db::Query& rows, db::Query& lookup, int page,
                            const QuestionEditors& editors);

// Opens the page's statement on `rows`, or its search by chapter text.
void openPage(db::Query& rows, int page);
void searchPage(db::Query& rows, int page, const QString& chapter);

// A chapter row as the chapter page's edits show it.
struct ChapterEditors {
    QString id;
    QString code;
    QString name;
};
ChapterEditors loadChapter(const db::Query& rows);

// The message for an empty code or name, if any: Add and Modify word the
// empty name differently.
enum class ChapterAction { Add, Modify };
std::optional<QString> chapterBlank(ChapterAction action, const QString& code, const QString& name);

// Adds a chapter and lists the chapters again with the new one current.
void addChapter(db::Query& rows, const QString& code, const QString& name);
// Writes code and name into the current chapter row, or a new one when there
// is none; a failed write leaves nothing pending.
void modifyChapter(db::Query& rows, const QString& code, const QString& name);
void searchChapters(db::Query& rows, const QString& code);

// Opens a quoted document, Doc/ and the name as typed, through the desktop.
// Returns the message to show: for an empty name, a name that is no file in
// Doc/, or a file the desktop has no program for; nothing when it opened.
std::optional<QString> openQuotedDocument(const QString& name);

} // namespace tolvane::bank
