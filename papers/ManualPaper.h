#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace tolvane::papers {

// The six type buttons of the manual page and the rows of its Test Setup, in
// the order the page shows them: the type name whose code a button carries,
// the table it browses, and the part its controls are named by.
struct ManualType {
    const char* typeName; // its TypeName in the bank's type list
    const char* table;
    const char* namePart; // XZT, TKT, ...
    const char* caption;  // of the type button
    const char* rowLabel; // of the Test Setup row
};
extern const std::array<ManualType, 6> kManualTypes;

// The statement that shows the grid's titles and no row.
QString emptyBrowseStatement();
// The statements that list a table's questions of one section (its text
// compared as the bank compares text, without regard to letter case), or of
// one chapter with its sections: chapter 1 holds the questions whose chapter
// code is 1 or begins with "1." (or "1," where the decimal separator is a
// comma), never those of chapters 10 to 19. The chapter statement takes the
// code as `char` and its length plus one as `num`.
QStringList browseSectionStatement(const QString& table);
QStringList browseChapterStatement(const QString& table);
// The filter texts of a section node and of a chapter node: the node's text
// trimmed, and the chapter code the node's text begins with.
QString sectionFilter(const QString& nodeText);
QString chapterFilter(const QString& nodeText);

// The marks of the paper being assembled, as the Test Setup holds them.
struct ManualMarks {
    std::array<int, 6> counts{};
    std::array<int, 6> marks{};
    int total = 100;
};

// A message for the lecturer: text and caption, with an error icon.
struct MarkProblem {
    QString text;
    QString caption;
    bool isEmpty() const { return text.isEmpty(); }
};
// The first thing wrong with the marks: a row with questions and no mark,
// then a total that is not the sum of count times mark (computed so that no
// pair of values can wrap it), then a negative mark or total. Empty when
// the marks are right.
MarkProblem checkManualMarks(const ManualMarks& marks);

// A paper's difficulty weight from its questions' difficulty names and
// marks: easy marks once, medium twice, hard three times, any other name
// not at all. Held at the limits of 64 bits.
qint64 manualWeight(const QStringList& difficulties, const QList<int>& marks);

} // namespace tolvane::papers
