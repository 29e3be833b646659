#include "exchange/Exchange.h"

#include <QHash>
#include <QRegularExpression>
#include <QUrl>

namespace tolvane::exchange {

namespace {

// Characters of the private use area stand for gaps while a cloze text is
// made plain: no real question text holds them.
constexpr char16_t kGapBase = 0xE000;
constexpr int kMaxGaps = 0x100;

bool isControl(char16_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F || c == 0xFFFE ||
           c == 0xFFFF;
}

bool isFoldingSpace(QChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

const QHash<QString, char16_t>& namedEntities() {
    static const QHash<QString, char16_t> table = {
        {"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
        {"apos", '\''},     {"nbsp", ' '},      {"ndash", 0x2013},  {"mdash", 0x2014},
        {"hellip", 0x2026}, {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"ldquo", 0x201C},
        {"rdquo", 0x201D},  {"laquo", 0x00AB},  {"raquo", 0x00BB},  {"copy", 0x00A9},
        {"reg", 0x00AE},    {"deg", 0x00B0},    {"plusmn", 0x00B1}, {"times", 0x00D7},
        {"divide", 0x00F7}, {"middot", 0x00B7}, {"bull", 0x2022},   {"euro", 0x20AC},
        {"pound", 0x00A3},  {"sect", 0x00A7},   {"para", 0x00B6},   {"shy", 0x00AD},
        {"eacute", 0x00E9}, {"egrave", 0x00E8}, {"agrave", 0x00E0}, {"aacute", 0x00E1},
        {"uuml", 0x00FC},   {"ouml", 0x00F6},   {"auml", 0x00E4},   {"szlig", 0x00DF},
        {"ccedil", 0x00E7}, {"ntilde", 0x00F1}, {"iacute", 0x00ED}, {"oacute", 0x00F3},
        {"uacute", 0x00FA}, {"larr", 0x2190},   {"rarr", 0x2192},   {"le", 0x2264},
        {"ge", 0x2265},     {"ne", 0x2260},     {"frac12", 0x00BD}, {"sup2", 0x00B2},
    };
    return table;
}

// Decodes the entity starting at text[i] == '&'; on success appends it,
// moves i past it and returns true.
bool decodeEntityAt(const QString& text, qsizetype& i, QString& out) {
    const qsizetype semi = text.indexOf(';', i + 1);
    if (semi < 0 || semi - i > 12)
        return false;
    const QString body = text.mid(i + 1, semi - i - 1);
    if (body.startsWith('#')) {
        bool ok = false;
        uint code = body.size() > 1 && (body[1] == 'x' || body[1] == 'X')
                        ? body.mid(2).toUInt(&ok, 16)
                        : body.mid(1).toUInt(&ok, 10);
        if (!ok || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
    } else {
        const auto it = namedEntities().constFind(body);
        if (it == namedEntities().constEnd())
            return false;
        out += QChar(it.value());
    }
    i = semi + 1;
    return true;
}

// One piece of plain text under construction: a character as written, a
// folded run of whitespace, or a paragraph boundary.
enum class Piece { Char, Space, Block };

struct Builder {
    QList<std::pair<Piece, QChar>> pieces;
    void ch(QChar c) { pieces.append({Piece::Char, c}); }
    void text(const QString& s) {
        for (QChar c : s)
            ch(c);
    }
    void space() { pieces.append({Piece::Space, QChar()}); }
    void block() { pieces.append({Piece::Block, QChar()}); }

    // Folded spaces vanish at the start and end, and beside line breaks;
    // paragraph boundaries become one line break between text.
    QString finish() const {
        QString out;
        qsizetype i = 0;
        const qsizetype n = pieces.size();
        while (i < n) {
            if (pieces[i].first == Piece::Char) {
                out += pieces[i].second;
                ++i;
                continue;
            }
            bool anyBlock = false;
            while (i < n && pieces[i].first != Piece::Char) {
                anyBlock = anyBlock || pieces[i].first == Piece::Block;
                ++i;
            }
            if (out.isEmpty() || i == n)
                continue;
            const QChar next = pieces[i].second;
            if (anyBlock) {
                if (!out.endsWith('\n'))
                    out += '\n';
            } else if (!out.endsWith('\n') && next != '\n') {
                out += ' ';
            }
        }
        return out;
    }
};

const QSet<QString>& blockTags() {
    static const QSet<QString> tags = {"p",     "div",        "li",      "ul", "ol", "tr",
                                       "table", "h1",         "h2",      "h3", "h4", "h5",
                                       "h6",    "blockquote", "pre",     "dd", "dt", "dl",
                                       "hr",    "section",    "article", "td", "th", "caption"};
    return tags;
}

QString attribute(const QString& tag, const QString& name) {
    static QHash<QString, QRegularExpression> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(
            name, QRegularExpression(
                      QStringLiteral("\\b%1\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
                      QRegularExpression::CaseInsensitiveOption));
    const QRegularExpressionMatch m = it->match(tag);
    if (!m.hasMatch())
        return QString();
    for (int g = 2; g <= 4; ++g)
        if (m.capturedStart(g) >= 0)
            return decodeEntities(m.captured(g));
    return QString();
}

// The file name an @@PLUGINFILE@@ address names, or nothing.
QString pluginFileName(const QString& src) {
    static const QString prefix = QStringLiteral("@@PLUGINFILE@@/");
    if (!src.startsWith(prefix))
        return QString();
    QString path = src.mid(prefix.size());
    const qsizetype q = path.indexOf('?');
    if (q >= 0)
        path.truncate(q);
    return QUrl::fromPercentEncoding(path.toUtf8());
}

} // namespace

QChar gapMark(int index) {
    return QChar(static_cast<char16_t>(kGapBase + index));
}

int gapIndex(QChar c) {
    const int d = c.unicode() - kGapBase;
    return d >= 0 && d < kMaxGaps ? d : -1;
}

bool isDocumentName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("\\.(doc|docx|odt|rtf|docm|dot|dotx)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!isControl(c.unicode()))
            out += c;
    return out;
}

QString textToHtml(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '{':
            // A brace written out could be read as a cloze gap.
            out += QLatin1String("&#123;");
            break;
        case '}':
            out += QLatin1String("&#125;");
            break;
        case '\n':
            out += QLatin1String("<br>");
            break;
        case ' ': {
            // A browser folds a space beside another, at either end or beside
            // a line break: only a single space between words stays literal.
            const bool literal =
                i > 0 && i + 1 < n && !isFoldingSpace(text[i - 1]) && !isFoldingSpace(text[i + 1]);
            out += literal ? QStringLiteral(" ") : QStringLiteral("&#32;");
            break;
        }
        default:
            if (c == '\t' || c == '\r' || c == '\f' || isControl(c.unicode()))
                out += QStringLiteral("&#%1;").arg(c.unicode());
            else
                out += c;
        }
    }
    return out;
}

QString decodeEntities(const QString& text) {
    if (!text.contains('&'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == '&' && decodeEntityAt(text, i, out))
            continue;
        out += text[i++];
    }
    return out;
}

HtmlText htmlToText(const QString& html) {
    HtmlText result;
    Builder b;
    int skipDepth = 0;    // inside <script> or <style>
    int documentLink = 0; // inside a link to an embedded document
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = html[i];
        if (c == '<') {
            if (html.mid(i, 4) == QLatin1String("<!--")) {
                const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            const qsizetype end = html.indexOf('>', i + 1);
            if (end < 0) { // a lone '<' is text
                if (!skipDepth && !documentLink)
                    b.ch(c);
                ++i;
                continue;
            }
            const QString tag = html.mid(i + 1, end - i - 1);
            i = end + 1;
            const bool closing = tag.startsWith('/');
            static const QRegularExpression nameRe(QStringLiteral("^/?\\s*([A-Za-z][A-Za-z0-9]*)"));
            const QString name = nameRe.match(tag).captured(1).toLower();
            if (name == QLatin1String("script") || name == QLatin1String("style")) {
                skipDepth += closing ? (skipDepth > 0 ? -1 : 0) : 1;
                continue;
            }
            if (skipDepth)
                continue;
            if (name == QLatin1String("a")) {
                if (closing) {
                    if (documentLink > 0)
                        --documentLink;
                } else {
                    const QString file = pluginFileName(attribute(tag, QStringLiteral("href")));
                    if (!file.isEmpty() && isDocumentName(file)) {
                        result.documents << file;
                        ++documentLink;
                    } else if (documentLink) {
                        ++documentLink;
                    }
                }
                continue;
            }
            if (documentLink)
                continue;
            if (name == QLatin1String("br")) {
                b.ch('\n');
            } else if (name == QLatin1String("img") && !closing) {
                const QString src = attribute(tag, QStringLiteral("src"));
                QString file = pluginFileName(src);
                if (!file.isEmpty()) {
                    result.images << file;
                } else {
                    file = attribute(tag, QStringLiteral("alt"));
                    if (file.isEmpty() && !src.startsWith(QLatin1String("data:")))
                        file = QUrl(src).fileName();
                }
                b.text(file.isEmpty() ? QStringLiteral("[image]")
                                      : QStringLiteral("[image: %1]").arg(file));
            } else if (blockTags().contains(name)) {
                b.block();
            }
            continue;
        }
        if (skipDepth || documentLink) {
            ++i;
            continue;
        }
        if (isFoldingSpace(c)) {
            while (i < n && isFoldingSpace(html[i]))
                ++i;
            b.space();
            continue;
        }
        if (c == '&') {
            QString decoded;
            if (decodeEntityAt(html, i, decoded)) {
                b.text(decoded);
                continue;
            }
        }
        b.ch(c);
        ++i;
    }
    result.text = b.finish();
    return result;
}

QStringList splitCategoryPath(const QString& path) {
    QStringList segments;
    QString current;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == '/') {
            if (i + 1 < path.size() && path[i + 1] == '/') {
                current += '/';
                ++i;
                continue;
            }
            segments << current.trimmed();
            current.clear();
            continue;
        }
        current += path[i];
    }
    segments << current.trimmed();
    segments.removeAll(QString());
    // $course$, $system$, ... name the context, and "top" the root.
    if (!segments.isEmpty() && segments.first().startsWith('$') && segments.first().endsWith('$') &&
        segments.first().size() > 1)
        segments.removeFirst();
    if (!segments.isEmpty() &&
        segments.first().compare(QLatin1String("top"), Qt::CaseInsensitive) == 0)
        segments.removeFirst();
    return segments;
}

QString joinCategoryPath(const QStringList& segments) {
    QStringList escaped;
    for (QString s : segments)
        escaped << s.replace('/', QLatin1String("//"));
    return QStringLiteral("$course$/top") +
           (escaped.isEmpty() ? QString() : QStringLiteral("/") + escaped.join('/'));
}

} // namespace tolvane::exchange
