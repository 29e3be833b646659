#pragma once

#include "docs/WordApi.h"

#include <QList>
#include <QString>

#include <iosfwd>

namespace tolvane::docs {

// One paragraph of a document as it reads back: its text without the
// paragraph end and the font it begins with.
struct WordParagraph {
    QString text;
    WordFont font;
};

bool operator==(const WordFont& a, const WordFont& b);
inline bool operator!=(const WordFont& a, const WordFont& b) {
    return !(a == b);
}
bool operator==(const WordParagraph& a, const WordParagraph& b);
inline bool operator!=(const WordParagraph& a, const WordParagraph& b) {
    return !(a == b);
}

// The whole text: the paragraphs joined by "\r", the way text is appended.
QString joinParagraphs(const QList<WordParagraph>& paragraphs);

// Readable forms for test failure output.
std::ostream& operator<<(std::ostream& out, const WordFont& font);
std::ostream& operator<<(std::ostream& out, const WordParagraph& paragraph);

} // namespace tolvane::docs
