#include "exchange/Exchange.h"

#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>

namespace tolvane::exchange {

namespace {

// A question element read whole: small, and read in any order.
struct Node {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    std::vector<std::unique_ptr<Node>> children;

    const Node* child(const char* n) const {
        for (const auto& c : children)
            if (c->name == QLatin1String(n))
                return c.get();
        return nullptr;
    }
    QList<const Node*> all(const char* n) const {
        QList<const Node*> list;
        for (const auto& c : children)
            if (c->name == QLatin1String(n))
                list << c.get();
        return list;
    }
    // The text of <n><text>...</text></n>.
    QString textOf(const char* n) const {
        const Node* c = child(n);
        if (!c)
            return QString();
        const Node* t = c->child("text");
        return t ? t->text : c->text;
    }
    QString attr(const char* n) const { return attributes.value(QLatin1String(n)).toString(); }
};

std::unique_ptr<Node> readNode(QXmlStreamReader& xml) {
    auto node = std::make_unique<Node>();
    node->name = xml.name().toString();
    node->attributes = xml.attributes();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement)
            node->children.push_back(readNode(xml));
        else if (token == QXmlStreamReader::Characters)
            node->text += xml.text();
        else if (token == QXmlStreamReader::EndElement)
            break;
    }
    return node;
}

QString where(qint64 line, qint64 column) {
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

// A text element in the format it names: HTML made plain, anything else as
// written.
HtmlText plain(const Node* holder) {
    if (!holder)
        return {};
    const Node* t = holder->child("text");
    const QString raw = t ? t->text : holder->text;
    const QString format = holder->attr("format");
    if (format.isEmpty() || format == QLatin1String("html"))
        return htmlToText(raw);
    HtmlText h;
    h.text = raw;
    return h;
}

void collectFiles(const Node* holder, QList<EmbeddedFile>& files) {
    if (!holder)
        return;
    for (const Node* f : holder->all("file")) {
        EmbeddedFile file;
        file.name = f->attr("name");
        file.data = QByteArray::fromBase64(f->text.trimmed().toLatin1());
        files << file;
    }
}

double fractionOf(const Node* answer) {
    bool ok = false;
    const double f = answer->attr("fraction").toDouble(&ok);
    return ok ? f : 0;
}

// The gaps of a cloze text, on the HTML as written: each becomes a gap mark
// before the rest is made plain.
QString takeGaps(const QString& html, QList<Gap>& gaps);

QList<Answer> gapAnswers(const QString& body) {
    // Answers are separated by ~ that is not escaped; each may start with =
    // or %n% and end in #feedback.
    QList<Answer> answers;
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] == '\\' && i + 1 < body.size()) {
            current += body[i];
            current += body[++i];
        } else if (body[i] == '~') {
            parts << current;
            current.clear();
        } else {
            current += body[i];
        }
    }
    parts << current;
    static const QRegularExpression weight(QStringLiteral("^%(-?[0-9.]+)%"));
    for (QString part : parts) {
        Answer a;
        if (part.startsWith('=')) {
            a.fraction = 100;
            part.remove(0, 1);
        } else if (const auto m = weight.match(part); m.hasMatch()) {
            a.fraction = m.captured(1).toDouble();
            part.remove(0, m.capturedLength());
        }
        // Cut the feedback at the first # that is not escaped, then undo the
        // escapes.
        QString text;
        for (qsizetype i = 0; i < part.size(); ++i) {
            if (part[i] == '\\' && i + 1 < part.size()) {
                text += part[++i];
                continue;
            }
            if (part[i] == '#')
                break;
            text += part[i];
        }
        a.text = decodeEntities(text);
        if (a.text.trimmed().isEmpty() && a.fraction == 0)
            continue;
        answers << a;
    }
    return answers;
}

QString takeGaps(const QString& html, QList<Gap>& gaps) {
    static const QRegularExpression re(
        QStringLiteral("\\{([0-9]*):([A-Za-z_]+):((?:\\\\.|[^\\\\}])*)\\}"));
    QString out;
    qsizetype last = 0;
    auto it = re.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        out += html.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        Gap gap;
        gap.type = m.captured(2).toUpper();
        gap.answers = gapAnswers(m.captured(3));
        if (gaps.size() < 0x100)
            out += gapMark(static_cast<int>(gaps.size()));
        gaps << gap;
    }
    out += html.mid(last);
    return out;
}

// The marker's information of one of our own Type 6 exports: an ordered list,
// one item a sub-answer with its document.
QList<SubAnswer> listItems(const QString& html) {
    QList<SubAnswer> items;
    static const QRegularExpression li(QStringLiteral("<li[^>]*>(.*?)</li>"),
                                       QRegularExpression::DotMatchesEverythingOption |
                                           QRegularExpression::CaseInsensitiveOption);
    auto it = li.globalMatch(html);
    while (it.hasNext()) {
        const HtmlText h = htmlToText(it.next().captured(1));
        items << SubAnswer{h.text, h.documents.value(0)};
    }
    return items;
}

ExchangedQuestion readQuestion(const Node& q, int line) {
    ExchangedQuestion e;
    e.type = q.attr("type");
    e.line = line;
    if (e.type == QLatin1String("category")) {
        e.category = splitCategoryPath(q.textOf("category"));
        return e;
    }
    e.name = q.textOf("name").trimmed();
    e.idNumber = q.child("idnumber") ? q.child("idnumber")->text.trimmed() : QString();
    if (const Node* tags = q.child("tags"))
        for (const Node* t : tags->all("tag"))
            e.tags << (t->child("text") ? t->child("text")->text : t->text).trimmed();

    const Node* qt = q.child("questiontext");
    collectFiles(qt, e.files);
    if (e.type == QLatin1String("cloze") || e.type == QLatin1String("multianswer")) {
        e.type = QStringLiteral("cloze");
        const Node* t = qt ? qt->child("text") : nullptr;
        const QString raw = takeGaps(t ? t->text : QString(), e.gaps);
        const QString format = qt ? qt->attr("format") : QString();
        const HtmlText h = format.isEmpty() || format == QLatin1String("html")
                               ? htmlToText(raw)
                               : HtmlText{raw, {}, {}};
        e.text = h.text;
        e.textDocuments = h.documents;
    } else {
        const HtmlText h = plain(qt);
        e.text = h.text;
        e.textDocuments = h.documents;
    }

    for (const Node* a : q.all("answer")) {
        Answer answer;
        answer.fraction = fractionOf(a);
        const HtmlText h =
            a->attr("format") == QLatin1String("html")
                ? plain(a)
                : HtmlText{a->child("text") ? a->child("text")->text : a->text, {}, {}};
        answer.text = h.text;
        if (const Node* tol = a->child("tolerance"))
            answer.tolerance = tol->text.trimmed();
        collectFiles(a, e.files);
        e.answers << answer;
    }
    if (const Node* single = q.child("single"))
        e.single = single->text.trimmed() != QLatin1String("false") &&
                   single->text.trimmed() != QLatin1String("0");

    if (const Node* gi = q.child("graderinfo")) {
        collectFiles(gi, e.files);
        const Node* t = gi->child("text");
        const QString raw = t ? t->text : QString();
        const HtmlText h = plain(gi);
        e.graderInfo = h.text;
        e.graderDocuments = h.documents;
        if (raw.contains(QLatin1String("<ol"), Qt::CaseInsensitive))
            e.subAnswers = listItems(raw);
    }
    return e;
}

} // namespace

void requireUtf8(const QByteArray& data) {
    // Find the first byte that is not UTF-8, to name its line and column.
    qsizetype line = 1, lineStart = 0;
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const qsizetype n = data.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k)
            ok = (static_cast<unsigned char>(data[i + k]) & 0xC0) == 0x80;
        if (ok && len > 1) {
            // Overlong forms and surrogates decode to U+FFFD; the character
            // U+FFFD itself, written as it should be, is text like any other.
            const QByteArray bytes = data.mid(i, len);
            const QString s = QString::fromUtf8(bytes);
            ok = s.size() >= 1 &&
                 (!s.contains(QChar::ReplacementCharacter) || bytes == "\xEF\xBF\xBD");
        }
        if (!ok)
            throw ExchangeError(QStringLiteral("The file is not UTF-8 text: an invalid byte at %1. "
                                               "Save it as UTF-8 and import it again.")
                                    .arg(where(line, i - lineStart + 1)));
        if (c == '\n') {
            ++line;
            lineStart = i + 1;
        }
        i += len;
    }
}

QList<ExchangedQuestion> readMoodleXml(const QByteArray& data) {
    requireUtf8(data);
    QXmlStreamReader xml(data);
    QList<ExchangedQuestion> questions;
    bool sawQuiz = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!sawQuiz) {
            if (xml.name() != QLatin1String("quiz"))
                throw ExchangeError(
                    QStringLiteral(
                        "This is no Moodle XML file: its root element is <%1>, not <quiz>.")
                        .arg(xml.name().toString()));
            sawQuiz = true;
            continue;
        }
        if (xml.name() == QLatin1String("question")) {
            const int line = static_cast<int>(xml.lineNumber());
            const auto node = readNode(xml);
            if (xml.hasError())
                break;
            questions << readQuestion(*node, line);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        throw ExchangeError(
            QStringLiteral("The file is not well-formed XML at %1: %2.")
                .arg(where(xml.lineNumber(), xml.columnNumber()), xml.errorString()));
    if (!sawQuiz)
        throw ExchangeError(QStringLiteral("The file holds no <quiz> element."));
    return questions;
}

namespace {

void writeText(QXmlStreamWriter& w, const char* element, const QString& text, bool html,
               const QList<EmbeddedFile>& files = {}) {
    w.writeStartElement(QLatin1String(element));
    if (html)
        w.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    w.writeStartElement(QStringLiteral("text"));
    if (text.isEmpty())
        w.writeCharacters(QString());
    else if (html)
        w.writeCDATA(text); // a "]]>" inside is split by the writer
    else
        w.writeCharacters(xmlSafe(text));
    w.writeEndElement();
    for (const EmbeddedFile& f : files) {
        w.writeStartElement(QStringLiteral("file"));
        w.writeAttribute(QStringLiteral("name"), xmlSafe(f.name));
        w.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        w.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        w.writeCharacters(QString::fromLatin1(f.data.toBase64()));
        w.writeEndElement();
    }
    w.writeEndElement();
}

void writeSimple(QXmlStreamWriter& w, const char* element, const QString& value) {
    w.writeTextElement(QLatin1String(element), value);
}

QString documentLinks(const QStringList& names) {
    QString html;
    for (const QString& name : names) {
        const QString escaped = name.toHtmlEscaped();
        html += QStringLiteral("<p><a href=\"@@PLUGINFILE@@/%1\">%2</a></p>")
                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(name)), escaped);
    }
    return html;
}

QList<EmbeddedFile> filesNamed(const ExchangedQuestion& q, const QStringList& names) {
    QList<EmbeddedFile> files;
    for (const EmbeddedFile& f : q.files)
        if (names.contains(f.name))
            files << f;
    return files;
}

// A cloze gap written so that Moodle and this reader take its answer back:
// HTML first, then the cloze escapes.
QString clozeGap(const QString& answer) {
    QString html;
    for (QChar c : answer) {
        if (c == '&')
            html += QLatin1String("&amp;");
        else if (c == '<')
            html += QLatin1String("&lt;");
        else if (c == '>')
            html += QLatin1String("&gt;");
        else if (c == '\n' || c == '\t' || c == '\r' || c.unicode() < 0x20)
            html += QStringLiteral("&#%1;").arg(c.unicode());
        else
            html += c;
    }
    QString escaped;
    for (QChar c : html) {
        if (c == '\\' || c == '}' || c == '#' || c == '~' || c == '/' || c == '"' || c == '{')
            escaped += '\\';
        escaped += c;
    }
    return QStringLiteral("{1:SHORTANSWER:=%1}").arg(escaped);
}

} // namespace

QByteArray writeMoodleXml(const QList<ExchangedQuestion>& questions) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("quiz"));
    for (const ExchangedQuestion& q : questions) {
        w.writeStartElement(QStringLiteral("question"));
        w.writeAttribute(QStringLiteral("type"), q.type);
        if (q.type == QLatin1String("category")) {
            writeText(w, "category", joinCategoryPath(q.category), false);
            w.writeEndElement();
            continue;
        }
        writeText(w, "name", q.name, false);

        QString textHtml;
        if (q.type == QLatin1String("cloze")) {
            // Plain runs between the gaps go through textToHtml whole, so that
            // only spaces a browser would fold become references.
            QString run;
            auto flush = [&] {
                textHtml += textToHtml(run);
                run.clear();
            };
            for (QChar c : q.text) {
                const int g = gapIndex(c);
                if (g >= 0 && g < q.gaps.size()) {
                    flush();
                    textHtml += clozeGap(q.gaps[g].answers.value(0).text);
                } else {
                    run += c;
                }
            }
            flush();
        } else {
            textHtml = textToHtml(q.text);
        }
        textHtml += documentLinks(q.textDocuments);
        writeText(w, "questiontext", textHtml, true, filesNamed(q, q.textDocuments));
        writeText(w, "generalfeedback", QString(), true);
        writeSimple(w, "defaultgrade", QStringLiteral("1.0000000"));
        const bool essay = q.type == QLatin1String("essay");
        writeSimple(w, "penalty",
                    essay ? QStringLiteral("0.0000000") : QStringLiteral("0.3333333"));
        writeSimple(w, "hidden", QStringLiteral("0"));
        writeSimple(w, "idnumber", xmlSafe(q.idNumber));

        if (q.type == QLatin1String("multichoice")) {
            writeSimple(w, "single", QStringLiteral("true"));
            writeSimple(w, "shuffleanswers", QStringLiteral("false"));
            writeSimple(w, "answernumbering", QStringLiteral("ABCD"));
            writeSimple(w, "showstandardinstruction", QStringLiteral("0"));
            for (const char* fb :
                 {"correctfeedback", "partiallycorrectfeedback", "incorrectfeedback"})
                writeText(w, fb, QString(), true);
            for (const Answer& a : q.answers) {
                w.writeStartElement(QStringLiteral("answer"));
                w.writeAttribute(QStringLiteral("fraction"), a.fraction >= 100 ? "100" : "0");
                w.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
                w.writeStartElement(QStringLiteral("text"));
                if (!a.text.isEmpty())
                    w.writeCDATA(textToHtml(a.text));
                w.writeEndElement();
                writeText(w, "feedback", QString(), true);
                w.writeEndElement();
            }
        } else if (q.type == QLatin1String("shortanswer")) {
            writeSimple(w, "usecase", QStringLiteral("0"));
            for (const Answer& a : q.answers) {
                w.writeStartElement(QStringLiteral("answer"));
                w.writeAttribute(QStringLiteral("fraction"), a.fraction >= 100 ? "100" : "0");
                w.writeAttribute(QStringLiteral("format"), QStringLiteral("moodle_auto_format"));
                w.writeTextElement(QStringLiteral("text"), xmlSafe(a.text));
                writeText(w, "feedback", QString(), true);
                w.writeEndElement();
            }
        } else if (essay) {
            writeSimple(w, "responseformat", QStringLiteral("editor"));
            writeSimple(w, "responserequired", QStringLiteral("1"));
            writeSimple(w, "responsefieldlines", QStringLiteral("15"));
            writeSimple(w, "minwordlimit", QString());
            writeSimple(w, "maxwordlimit", QString());
            writeSimple(w, "attachments", QStringLiteral("0"));
            writeSimple(w, "attachmentsrequired", QStringLiteral("0"));
            writeSimple(w, "maxbytes", QStringLiteral("0"));
            writeSimple(w, "filetypeslist", QString());
            QString info;
            QStringList infoDocuments = q.graderDocuments;
            if (!q.subAnswers.isEmpty()) {
                info = QStringLiteral("<ol>");
                for (const SubAnswer& s : q.subAnswers) {
                    info += QStringLiteral("<li>") + textToHtml(s.text);
                    if (!s.document.isEmpty()) {
                        info += documentLinks({s.document});
                        infoDocuments << s.document;
                    }
                    info += QStringLiteral("</li>");
                }
                info += QStringLiteral("</ol>");
            } else {
                info = textToHtml(q.graderInfo);
            }
            info += documentLinks(q.graderDocuments);
            infoDocuments.removeDuplicates();
            writeText(w, "graderinfo", info, true, filesNamed(q, infoDocuments));
            writeText(w, "responsetemplate", QString(), true);
        }
        if (!q.tags.isEmpty()) {
            w.writeStartElement(QStringLiteral("tags"));
            for (const QString& t : q.tags) {
                w.writeStartElement(QStringLiteral("tag"));
                w.writeTextElement(QStringLiteral("text"), xmlSafe(t));
                w.writeEndElement();
            }
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

Format detectFormat(const QByteArray& data) {
    // A file that starts as XML is read as Moodle XML, so that one with
    // another root, or a broken one, is refused with the place of its fault
    // rather than read as GIFT.
    QByteArray head = data.left(512);
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.mid(3);
    return head.trimmed().startsWith('<') ? Format::MoodleXml : Format::Gift;
}

QList<ExchangedQuestion> readQuestions(const QByteArray& data, Format* format) {
    const Format f = detectFormat(data);
    if (format)
        *format = f;
    return f == Format::MoodleXml ? readMoodleXml(data) : readGift(data);
}

} // namespace tolvane::exchange
