#include "exchange/Exchange.h"

#include <QRegularExpression>

namespace tolvane::exchange {

namespace {

// The text with GIFT's escapes undone: \n is a line break, a backslash before
// any other character keeps that character.
QString unescape(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const QChar next = s[++i];
            if (next == 'n')
                out += '\n';
            else if (QStringLiteral("~=#{}:\\").contains(next))
                out += next;
            else {
                out += '\\';
                out += next;
            }
            continue;
        }
        out += s[i];
    }
    return out;
}

// The first position of `what` at or after `from` that is not escaped.
qsizetype findUnescaped(const QString& s, const QString& what, qsizetype from = 0) {
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
            continue;
        }
        if (QStringView(s).mid(i).startsWith(what))
            return i;
    }
    return -1;
}

struct Part {
    QChar marker; // '=' or '~'
    QString body; // still escaped
};

// Splits an answer section at the = and ~ that are not escaped.
QList<Part> splitAnswers(const QString& s) {
    QList<Part> parts;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            if (!parts.isEmpty()) {
                parts.last().body += s[i];
                parts.last().body += s[i + 1];
            }
            ++i;
            continue;
        }
        if (s[i] == '=' || s[i] == '~') {
            parts << Part{s[i], QString()};
            continue;
        }
        if (!parts.isEmpty())
            parts.last().body += s[i];
    }
    return parts;
}

// One answer: an optional %weight%, the text, an optional #feedback.
Answer answerOf(const Part& part) {
    static const QRegularExpression weight(QStringLiteral("^\\s*%(-?[0-9.]+)%"));
    QString body = part.body;
    Answer a;
    a.fraction = part.marker == '=' ? 100 : 0;
    if (const auto m = weight.match(body); m.hasMatch()) {
        a.fraction = m.captured(1).toDouble();
        body.remove(0, m.capturedLength());
    }
    const qsizetype hash = findUnescaped(body, QStringLiteral("#"));
    if (hash >= 0)
        body.truncate(hash);
    a.text = unescape(body.trimmed());
    return a;
}

void parseNumerical(const QString& section, ExchangedQuestion& e) {
    QList<Part> parts = splitAnswers(section);
    if (parts.isEmpty())
        parts << Part{'=', section};
    for (const Part& p : parts) {
        Answer a = answerOf(p);
        const QString value = a.text;
        const qsizetype colon = value.indexOf(':');
        const qsizetype range = value.indexOf(QLatin1String(".."));
        if (colon >= 0) {
            a.text = value.left(colon).trimmed();
            a.tolerance = value.mid(colon + 1).trimmed();
        } else if (range >= 0) {
            bool ok1 = false, ok2 = false;
            const double lo = value.left(range).toDouble(&ok1);
            const double hi = value.mid(range + 2).toDouble(&ok2);
            if (ok1 && ok2) {
                a.text = QString::number((lo + hi) / 2);
                a.tolerance = QString::number((hi - lo) / 2);
            }
        }
        e.answers << a;
    }
}

void parseBlock(const QString& block, int line, const QStringList& comments,
                QList<ExchangedQuestion>& out) {
    ExchangedQuestion e;
    e.line = line;
    static const QRegularExpression idRe(QStringLiteral("\\[id:([^\\]]*)\\]"));
    static const QRegularExpression tagRe(QStringLiteral("\\[tag:([^\\]]*)\\]"));
    for (const QString& c : comments) {
        if (const auto m = idRe.match(c); m.hasMatch())
            e.idNumber = m.captured(1).trimmed();
        auto it = tagRe.globalMatch(c);
        while (it.hasNext())
            e.tags << it.next().captured(1).trimmed();
    }

    QString s = block.trimmed();
    if (s.startsWith(QLatin1String("::"))) {
        const qsizetype end = findUnescaped(s, QStringLiteral("::"), 2);
        if (end >= 0) {
            e.name = unescape(s.mid(2, end - 2).trimmed());
            s = s.mid(end + 2).trimmed();
        }
    }
    const qsizetype open = findUnescaped(s, QStringLiteral("{"));
    if (open < 0) {
        e.type = QStringLiteral("description");
        e.text = unescape(s);
        out << e;
        return;
    }
    const qsizetype close = findUnescaped(s, QStringLiteral("}"), open + 1);
    if (close < 0) {
        e.type = QStringLiteral("unknown");
        e.text = unescape(s.left(open).trimmed());
        e.problem = QStringLiteral("its answers are not closed with \"}\"");
        out << e;
        return;
    }
    QString text = s.left(open).trimmed();
    const QString tail = s.mid(close + 1).trimmed();
    QString section = s.mid(open + 1, close - open - 1);

    bool html = false;
    static const QRegularExpression formatRe(QStringLiteral("^\\[(html|moodle|plain|markdown)\\]"));
    if (const auto m = formatRe.match(text); m.hasMatch()) {
        html = m.captured(1) == QLatin1String("html");
        text = text.mid(m.capturedLength()).trimmed();
    }
    QString plainText = unescape(text);
    QString plainTail = unescape(tail);
    if (html) {
        const HtmlText h = htmlToText(plainText);
        plainText = h.text;
        plainTail = htmlToText(plainTail).text;
    }
    // The missing-word form: answers in the middle of the sentence stand for
    // a blank there.
    e.text = plainTail.isEmpty() ? plainText : plainText + QStringLiteral(" ____ ") + plainTail;

    const qsizetype general = findUnescaped(section, QStringLiteral("####"));
    if (general >= 0) {
        QString feedback = unescape(section.mid(general + 4).trimmed());
        if (html)
            feedback = htmlToText(feedback).text;
        e.graderInfo = feedback;
        section.truncate(general);
    }
    const QString trimmed = section.trimmed();
    static const QRegularExpression tfRe(QStringLiteral("^(T|F|TRUE|FALSE)\\s*(#.*)?$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    if (trimmed.isEmpty()) {
        e.type = QStringLiteral("essay");
    } else if (trimmed.startsWith('#')) {
        e.type = QStringLiteral("numerical");
        parseNumerical(trimmed.mid(1), e);
    } else if (const auto m = tfRe.match(trimmed); m.hasMatch()) {
        e.type = QStringLiteral("truefalse");
        const bool truth = m.captured(1).startsWith('T');
        e.answers << Answer{QStringLiteral("True"), truth ? 100.0 : 0.0, {}}
                  << Answer{QStringLiteral("False"), truth ? 0.0 : 100.0, {}};
    } else if (findUnescaped(trimmed, QStringLiteral("->")) >= 0) {
        e.type = QStringLiteral("matching");
    } else if (findUnescaped(trimmed, QStringLiteral("~")) >= 0) {
        e.type = QStringLiteral("multichoice");
        for (const Part& p : splitAnswers(trimmed))
            e.answers << answerOf(p);
        int positive = 0;
        for (const Answer& a : e.answers)
            positive += a.fraction > 0 ? 1 : 0;
        e.single = positive <= 1;
    } else if (trimmed.startsWith('=')) {
        e.type = QStringLiteral("shortanswer");
        for (const Part& p : splitAnswers(trimmed))
            e.answers << answerOf(p);
    } else {
        e.type = QStringLiteral("unknown");
        e.problem = QStringLiteral("its answers \"{%1}\" are not GIFT").arg(trimmed.left(40));
    }
    out << e;
}

} // namespace

QString giftEscape(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == '\n') {
            out += QLatin1String("\\n");
            continue;
        }
        if (c == '\\' || c == '~' || c == '=' || c == '#' || c == '{' || c == '}' || c == ':')
            out += '\\';
        out += c;
    }
    return out;
}

QList<ExchangedQuestion> readGift(const QByteArray& data) {
    requireUtf8(data);
    QString all = QString::fromUtf8(data);
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList lines = all.split('\n');

    QList<ExchangedQuestion> out;
    QStringList comments;
    QStringList block;
    int blockLine = 0;
    auto flush = [&] {
        if (!block.isEmpty())
            parseBlock(block.join('\n'), blockLine, comments, out);
        block.clear();
        comments.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (trimmed.isEmpty()) {
            flush();
            continue;
        }
        if (trimmed.startsWith(QLatin1String("//"))) {
            comments << trimmed;
            continue;
        }
        if (block.isEmpty() && trimmed.startsWith(QLatin1String("$CATEGORY:"))) {
            ExchangedQuestion c;
            c.type = QStringLiteral("category");
            c.line = i + 1;
            c.category = splitCategoryPath(trimmed.mid(10).trimmed());
            out << c;
            comments.clear();
            continue;
        }
        if (block.isEmpty())
            blockLine = i + 1;
        block << lines[i];
    }
    flush();
    return out;
}

QByteArray writeGift(const QList<ExchangedQuestion>& questions) {
    QString out;
    for (const ExchangedQuestion& q : questions) {
        if (q.type == QLatin1String("category")) {
            out += QStringLiteral("$CATEGORY: %1\n\n").arg(joinCategoryPath(q.category));
            continue;
        }
        QString comment = QStringLiteral("//");
        if (!q.idNumber.isEmpty())
            comment += QStringLiteral(" [id:%1]").arg(q.idNumber);
        for (const QString& t : q.tags)
            comment += QStringLiteral(" [tag:%1]").arg(t);
        out += comment + '\n';
        out += QStringLiteral("::%1::%2").arg(giftEscape(q.name), giftEscape(q.text));
        if (q.type == QLatin1String("multichoice")) {
            out += '{';
            for (const Answer& a : q.answers)
                out += QStringLiteral("\n\t%1%2")
                           .arg(a.fraction >= 100 ? '=' : '~')
                           .arg(giftEscape(a.text));
            out += QStringLiteral("\n}");
        } else if (q.type == QLatin1String("shortanswer")) {
            out += QStringLiteral("{=%1}").arg(giftEscape(q.answers.value(0).text));
        } else if (q.type == QLatin1String("essay")) {
            QString info = q.graderInfo;
            if (!q.subAnswers.isEmpty()) {
                QStringList items;
                for (int i = 0; i < q.subAnswers.size(); ++i)
                    items << QStringLiteral("%1. %2").arg(i + 1).arg(q.subAnswers[i].text);
                info = items.join('\n');
            }
            out += info.isEmpty() ? QStringLiteral("{}")
                                  : QStringLiteral("{####%1}").arg(giftEscape(info));
        }
        out += QStringLiteral("\n\n");
    }
    return out.toUtf8();
}

} // namespace tolvane::exchange
