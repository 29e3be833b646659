#include "docs/WordText.h"

#include <cmath>
#include <ostream>

namespace tolvane::docs {

bool operator==(const WordFont& a, const WordFont& b) {
    // Sizes come back from the office as floats in points.
    return a.name == b.name && a.bold == b.bold && a.italic == b.italic && a.shadow == b.shadow &&
           std::fabs(a.size - b.size) < 0.01;
}

bool operator==(const WordParagraph& a, const WordParagraph& b) {
    return a.text == b.text && a.font == b.font;
}

QString joinParagraphs(const QList<WordParagraph>& paragraphs) {
    QStringList texts;
    for (const WordParagraph& p : paragraphs)
        texts << p.text;
    return texts.join(QLatin1Char('\r'));
}

std::ostream& operator<<(std::ostream& out, const WordFont& font) {
    out << font.name.toStdString() << ' ' << font.size << "pt";
    if (font.bold)
        out << " bold";
    if (font.italic)
        out << " italic";
    if (font.shadow)
        out << " shadow";
    return out;
}

std::ostream& operator<<(std::ostream& out, const WordParagraph& paragraph) {
    QString text = paragraph.text;
    return out << '"' << text.replace(QLatin1Char('\r'), QLatin1String("\\r")).toStdString()
               << "\" [" << paragraph.font << ']';
}

} // namespace tolvane::docs
