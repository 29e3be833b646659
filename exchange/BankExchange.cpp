#include "exchange/BankExchange.h"

#include "core/Progress.h"
#include "db/Database.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "widgets/ChapterTree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace tolvane::exchange {

namespace {

const char* const kTables[7] = {
    "", "XuanZeTi", "TianKong", "JianDaTi", "XiTongSheJi", "YuanLiLunShu", "XiTongCZ"};

// The columns an import writes, besides BH and TypeID. Made once: the write
// loop asks for them for every row.
const QStringList& columnsOf(int typeId) {
    static const std::array<QStringList, 7> columns = {
        QStringList(),
        QStringList{"TM", "A", "B", "C", "D", "DA", "CZ", "NY"},
        QStringList{"TM", "K1", "K2", "K3", "K4", "K5", "YTS", "NY", "CZ"},
        QStringList{"TM", "DA", "NY", "CZ"},
        QStringList{"TM", "DA", "NY", "CZ", "DABG", "TMBG"},
        QStringList{"TM", "DA", "NY", "CZ"},
        QStringList{"TM", "NY", "CZ", "W1DA", "W1DABG", "W2DA", "W2DABG", "W3DA", "W3DABG", "W4DA",
                    "W4DABG", "W5DA", "W5DABG", "WTS", "TMBG"},
    };
    return columns[typeId >= 1 && typeId <= 6 ? typeId : 0];
}

QString difficultyTag(int ny) {
    switch (ny) {
    case 12:
        return QStringLiteral("difficulty:easy");
    case 13:
        return QStringLiteral("difficulty:medium");
    case 14:
        return QStringLiteral("difficulty:hard");
    }
    return QString();
}

std::optional<int> difficultyOf(const QStringList& tags) {
    for (const QString& t : tags) {
        const QString v = t.trimmed().toLower();
        if (v == QLatin1String("difficulty:easy"))
            return 12;
        if (v == QLatin1String("difficulty:medium"))
            return 13;
        if (v == QLatin1String("difficulty:hard"))
            return 14;
    }
    return std::nullopt;
}

// A question's name in a file: the start of its text on one line.
QString nameFor(const QString& text, int typeId, qint64 number) {
    QString name = text.simplified();
    for (int i = 0; i < name.size(); ++i)
        if (gapIndex(name[i]) >= 0)
            name[i] = '_';
    if (name.size() > 60) {
        name.truncate(60);
        const qsizetype space = name.lastIndexOf(' ');
        if (space > 30)
            name.truncate(space);
        name += QStringLiteral("...");
    }
    if (name.isEmpty())
        name = QStringLiteral("%1 %2").arg(typeLabel(typeId)).arg(number);
    return name;
}

// Our own exports name each question "tolvane:<type>:<number>[:<more>]".
struct OwnId {
    int typeId = 0;
    qint64 number = 0;
    QString more;
};

std::optional<OwnId> ownId(const QString& id) {
    static const QRegularExpression re(QStringLiteral("^tolvane:([1-6]):([0-9]{1,12})(?::(.*))?$"));
    const auto m = re.match(id);
    if (!m.hasMatch())
        return std::nullopt;
    return OwnId{m.captured(1).toInt(), m.captured(2).toLongLong(), m.captured(3)};
}

QString bareName(QString name) {
    name.replace('\\', '/');
    name = name.mid(name.lastIndexOf('/') + 1);
    QString clean;
    for (QChar c : name)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            clean += c;
    clean = clean.trimmed();
    if (clean.isEmpty() || clean == QLatin1String(".") || clean == QLatin1String(".."))
        clean = QStringLiteral("file");
    if (clean.size() > 200)
        clean = clean.right(200);
    return clean;
}

bool isZeroTolerance(const QString& t) {
    bool ok = false;
    const double v = t.toDouble(&ok);
    return t.trimmed().isEmpty() || (ok && v == 0);
}

QString numericalAnswer(const Answer& a) {
    return isZeroTolerance(a.tolerance) ? a.text
                                        : QStringLiteral("%1 \u00B1 %2").arg(a.text, a.tolerance);
}

const Answer* firstCorrect(const QList<Answer>& answers) {
    for (const Answer& a : answers)
        if (a.fraction >= 99.999)
            return &a;
    return nullptr;
}

// The outcome of mapping one imported question.
struct Mapped {
    BankQuestion q;
    QString reason; // set when left out
    // Document columns and the file names they were given in the file.
    QMap<QString, QString> documents;
};

// The sub-answers of a Type 6 question written as a numbered list in plain
// text (GIFT): a line "n. " starts item n; other lines continue an item.
QList<SubAnswer> numberedItems(const QString& text) {
    QList<SubAnswer> items;
    static const QRegularExpression re(QStringLiteral("^([0-9]+)\\. ?"));
    for (const QString& line : text.split('\n')) {
        const auto m = re.match(line);
        if (m.hasMatch() && m.captured(1).toInt() == items.size() + 1) {
            items << SubAnswer{line.mid(m.capturedLength()), {}};
        } else if (!items.isEmpty()) {
            items.last().text += '\n' + line;
        }
    }
    return items;
}

Mapped mapImported(const ExchangedQuestion& e, const ImportOptions& options) {
    Mapped m;
    BankQuestion& q = m.q;
    if (!e.problem.isEmpty()) {
        m.reason = e.problem;
        return m;
    }
    const std::optional<OwnId> own = ownId(e.idNumber);
    const QString& type = e.type;
    auto leaveOut = [&](const QString& reason) {
        m.reason = reason;
        return m;
    };
    if (type == QLatin1String("multichoice")) {
        if (e.answers.size() > 4)
            return leaveOut(QStringLiteral("it has %1 choices; a multiple-choice question holds "
                                           "at most four")
                                .arg(e.answers.size()));
        if (e.answers.size() < 2)
            return leaveOut(QStringLiteral("it has fewer than two choices"));
        int full = 0, positive = 0, correct = -1;
        for (int i = 0; i < e.answers.size(); ++i) {
            if (e.answers[i].fraction >= 99.999) {
                ++full;
                correct = i;
            }
            if (e.answers[i].fraction > 0)
                ++positive;
        }
        if (positive > 1 || full > 1)
            return leaveOut(QStringLiteral("it has several correct choices"));
        if (full != 1)
            return leaveOut(QStringLiteral("no choice is fully correct"));
        q.typeId = 1;
        const char* letters[4] = {"A", "B", "C", "D"};
        for (int i = 0; i < 4; ++i)
            q.columns[letters[i]] = i < e.answers.size() ? e.answers[i].text : QString();
        q.columns["DA"] = QString::fromLatin1(letters[correct]);
    } else if (type == QLatin1String("truefalse") || type == QLatin1String("shortanswer") ||
               type == QLatin1String("numerical")) {
        const Answer* a = firstCorrect(e.answers);
        if (!a)
            return leaveOut(QStringLiteral("no answer is fully correct"));
        QString answer = a->text;
        if (type == QLatin1String("truefalse"))
            answer = answer.left(1).toUpper() + answer.mid(1);
        else if (type == QLatin1String("numerical"))
            answer = numericalAnswer(*a);
        q.typeId = 2;
        q.columns["K1"] = answer;
        q.columns["YTS"] = 1;
    } else if (type == QLatin1String("cloze")) {
        if (e.gaps.isEmpty())
            return leaveOut(QStringLiteral("it has no gaps"));
        if (e.gaps.size() > 5)
            return leaveOut(QStringLiteral("it has %1 gaps; a fill-in-blank question holds at "
                                           "most five")
                                .arg(e.gaps.size()));
        QStringList answers;
        for (int i = 0; i < e.gaps.size(); ++i) {
            const Gap& g = e.gaps[i];
            if (g.type.startsWith(QLatin1String("MULTIRESPONSE")) ||
                g.type.startsWith(QLatin1String("MR")))
                return leaveOut(QStringLiteral("gap %1 accepts several responses").arg(i + 1));
            const Answer* a = firstCorrect(g.answers);
            if (!a)
                return leaveOut(QStringLiteral("gap %1 has no fully correct answer").arg(i + 1));
            answers << (g.type == QLatin1String("NUMERICAL") || g.type == QLatin1String("NM")
                            ? [&] {
                                  Answer n = *a;
                                  const qsizetype colon = n.text.indexOf(':');
                                  if (colon >= 0) {
                                      n.tolerance = n.text.mid(colon + 1).trimmed();
                                      n.text = n.text.left(colon).trimmed();
                                  }
                                  return numericalAnswer(n);
                              }()
                            : a->text);
        }
        q.typeId = 2;
        for (int i = 0; i < 5; ++i)
            q.columns[QStringLiteral("K%1").arg(i + 1)] =
                i < answers.size() ? QVariant(answers[i]) : QVariant();
        q.columns["YTS"] = static_cast<int>(answers.size());
    } else if (type == QLatin1String("essay")) {
        const int ownType = own ? own->typeId : 0;
        if (ownType == 6) {
            QList<SubAnswer> items = e.subAnswers;
            if (items.isEmpty())
                items = numberedItems(e.graderInfo);
            if (items.size() > 5)
                return leaveOut(QStringLiteral("it has %1 sub-answers; a Type 6 question holds "
                                               "at most five")
                                    .arg(items.size()));
            if (items.isEmpty())
                items << SubAnswer{e.graderInfo, {}};
            q.typeId = 6;
            for (int i = 0; i < 5; ++i) {
                const bool used = i < items.size();
                q.columns[QStringLiteral("W%1DA").arg(i + 1)] =
                    used ? QVariant(items[i].text) : QVariant();
                q.columns[QStringLiteral("W%1DABG").arg(i + 1)] =
                    used ? QVariant(QString()) : QVariant();
                if (used && !items[i].document.isEmpty())
                    m.documents[QStringLiteral("W%1DABG").arg(i + 1)] = items[i].document;
            }
            q.columns["WTS"] = static_cast<int>(items.size());
            q.columns["TMBG"] = QString();
            if (!e.textDocuments.isEmpty())
                m.documents["TMBG"] = e.textDocuments.first();
        } else if (ownType == 4 || (ownType != 3 && ownType != 5 &&
                                    !(e.textDocuments.isEmpty() && e.graderDocuments.isEmpty()))) {
            q.typeId = 4;
            q.columns["DA"] = e.graderInfo;
            q.columns["TMBG"] = QString();
            q.columns["DABG"] = QString();
            if (!e.textDocuments.isEmpty())
                m.documents["TMBG"] = e.textDocuments.first();
            if (!e.graderDocuments.isEmpty())
                m.documents["DABG"] = e.graderDocuments.first();
        } else {
            q.typeId = ownType == 3 || ownType == 5 ? ownType : (options.essayTypeId == 5 ? 5 : 3);
            q.columns["DA"] = e.graderInfo;
        }
    } else if (type == QLatin1String("description")) {
        return leaveOut(QStringLiteral("a description asks no question"));
    } else if (type == QLatin1String("matching") || type == QLatin1String("match") ||
               type == QLatin1String("ddmatch")) {
        return leaveOut(QStringLiteral("matching questions have no place in this bank"));
    } else if (type == QLatin1String("calculated") ||
               type.startsWith(QLatin1String("calculated"))) {
        return leaveOut(QStringLiteral("calculated questions have no place in this bank"));
    } else {
        return leaveOut(QStringLiteral("the question type \"%1\" has no place in this bank")
                            .arg(type.isEmpty() ? QStringLiteral("(none)") : type));
    }

    // The question text; a cloze's gaps become runs of underscores again.
    QString text = e.text;
    if (type == QLatin1String("cloze")) {
        QList<int> runs;
        bool tail = false;
        if (own && own->typeId == 2) {
            if (own->more == QLatin1String("t"))
                tail = true;
            else if (own->more.startsWith('u'))
                for (const QString& n : own->more.mid(1).split('.'))
                    runs << n.toInt();
        }
        if (tail) {
            const qsizetype first = [&] {
                for (qsizetype i = 0; i < text.size(); ++i)
                    if (gapIndex(text[i]) >= 0)
                        return i;
                return text.size();
            }();
            text.truncate(first > 0 && text[first - 1] == ' ' ? first - 1 : first);
        } else {
            QString out;
            for (QChar c : text) {
                const int g = gapIndex(c);
                if (g < 0)
                    out += c;
                else
                    out += QString(g < runs.size() && runs[g] > 0 ? runs[g] : 4, '_');
            }
            text = out;
        }
    }
    if (text.trimmed().isEmpty())
        return leaveOut(QStringLiteral("its text is empty"));
    q.columns["TM"] = text;
    q.columns["NY"] = difficultyOf(e.tags).value_or(options.defaultDifficulty);
    if (own && own->typeId == q.typeId)
        q.number = own->number;
    return m;
}

QString sectionCodeFor(const QString& chapterCode, const QList<double>& taken) {
    // 3.1 ... 3.9, then 3.11 ...: 3.10 would be the same number as 3.1.
    for (int k = 1; k < 100000; ++k) {
        if (k % 10 == 0)
            continue;
        const QString code = chapterCode + QLocale().decimalPoint() + QString::number(k);
        const double number = widgets::chapterNumber(code);
        if (!taken.contains(number))
            return code;
    }
    return chapterCode + QLocale().decimalPoint() + QStringLiteral("99999");
}

// Finds the chapters and sections a category path names, making those the
// bank lacks.
class Chapters {
public:
    explicit Chapters(db::Connection& connection) : m_connection(connection) {
        db::Query q(&connection);
        q.setSql(QStringLiteral("SELECT ZJ, ZJName FROM ZhangJie"));
        q.open();
        for (; !q.eof(); q.next())
            add(q.fieldText("ZJ"), q.fieldText("ZJName"), false);
    }

    // The CZ text of the path's chapter or section.
    QString resolve(const QStringList& path) {
        if (path.isEmpty())
            return QString();
        const QString chapter = find(path.first(), QString());
        if (path.size() == 1)
            return chapter;
        return find(path.last(), codeOf(chapter));
    }

    const QStringList& made() const { return m_madeTexts; }

    void write() {
        db::Query q(&m_connection);
        q.setSql(QStringLiteral("INSERT INTO ZhangJie (ZJ, ZJName) VALUES (:ZJ, :ZJName)"));
        for (const auto& [code, name] : m_made) {
            q.bindText(QStringLiteral("ZJ"), code);
            q.bindText(QStringLiteral("ZJName"), name);
            q.execSql();
        }
    }

private:
    QString codeOf(const QString& text) const { return m_codes.value(text); }

    QString add(const QString& code, const QString& name, bool made) {
        double number = 0;
        try {
            number = widgets::chapterNumber(code);
        } catch (const std::exception&) {
            return QString(); // a malformed code names no tree node
        }
        const QString shortest = widgets::chapterNumberText(number);
        const QString text = db::chapterItemText(shortest, name);
        m_codes.insert(text, shortest);
        m_numbers << number;
        m_rows.append({shortest, name, text, number != std::floor(number)});
        if (made) {
            m_made.append({code, name});
            m_madeTexts << text;
        }
        return text;
    }

    // A segment names an existing node by its text; otherwise it is made, with
    // its own code when it starts with one, or the next free code.
    QString find(const QString& segment, const QString& parentCode) {
        if (m_codes.contains(segment))
            return segment;
        // A name alone names the chapter of that name, or the section of that
        // name in the chapter: importing a file again reuses what the first
        // import made.
        for (const Row& r : m_rows)
            if (r.name == segment &&
                (parentCode.isEmpty() ? !r.section
                                      : r.section && wholeOf(r.code) == wholeOf(parentCode)))
                return r.text;
        static const QRegularExpression coded(QStringLiteral("^([0-9]+(?:[.,][0-9]+)?)  (.+)$"));
        const auto m = coded.match(segment);
        if (m.hasMatch()) {
            const QString code = m.captured(1);
            const bool section = code.contains('.') || code.contains(',');
            const QString whole = code.section(QRegularExpression(QStringLiteral("[.,]")), 0, 0);
            const bool fits = parentCode.isEmpty() ? true
                              : section            ? whole == wholeOf(parentCode)
                                                   : false;
            if (fits) {
                const QString text = add(code, m.captured(2), true);
                if (!text.isEmpty())
                    return text;
            }
        }
        if (parentCode.isEmpty()) {
            int next = 1;
            for (double n : m_numbers)
                if (n >= next)
                    next = static_cast<int>(std::floor(n)) + 1;
            return add(QString::number(next), segment, true);
        }
        return add(sectionCodeFor(wholeOf(parentCode), m_numbers), segment, true);
    }

    static QString wholeOf(const QString& code) {
        return code.section(QRegularExpression(QStringLiteral("[.,]")), 0, 0);
    }

    struct Row {
        QString code;
        QString name;
        QString text;
        bool section;
    };
    db::Connection& m_connection;
    QList<Row> m_rows;
    QHash<QString, QString> m_codes; // node text -> code in shortest form
    QList<double> m_numbers;
    QList<std::pair<QString, QString>> m_made;
    QStringList m_madeTexts;
};

// Where each embedded file goes in Doc/: its bare name, or a new name when a
// different file has it; the same bytes reuse the file.
class Documents {
public:
    explicit Documents(const QString& docDir) : m_dir(docDir) {
        if (!m_dir.endsWith('/'))
            m_dir += '/';
    }

    QString place(const QString& original, const QByteArray& data) {
        const QString bare = bareName(original);
        const qsizetype dot = bare.lastIndexOf('.');
        const QString stem = dot > 0 ? bare.left(dot) : bare;
        const QString ext = dot > 0 ? bare.mid(dot) : QString();
        for (int n = 1;; ++n) {
            const QString name =
                n == 1 ? bare : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(ext);
            const auto planned = m_planned.constFind(name.toLower());
            if (planned != m_planned.constEnd()) {
                if (m_data.value(planned.value()) == data)
                    return planned.value();
                continue;
            }
            QFile existing(m_dir + name);
            if (existing.exists()) {
                if (existing.open(QIODevice::ReadOnly) && existing.size() == data.size() &&
                    existing.readAll() == data) {
                    m_planned.insert(name.toLower(), name);
                    m_data.insert(name, data);
                    return name;
                }
                continue;
            }
            m_planned.insert(name.toLower(), name);
            m_data.insert(name, data);
            m_toWrite << name;
            return name;
        }
    }

    const QStringList& toWrite() const { return m_toWrite; }

    // Writes every new file under a temporary name; throws on failure after
    // removing what it wrote.
    void stage() {
        if (!m_toWrite.isEmpty() && !QDir().mkpath(m_dir))
            throw ExchangeError(
                QStringLiteral("Could not make the document folder \"%1\".").arg(m_dir));
        for (const QString& name : m_toWrite) {
            QFile f(partOf(name));
            if (!f.open(QIODevice::WriteOnly) ||
                f.write(m_data.value(name)) != m_data.value(name).size() || !f.flush()) {
                const QString error = f.errorString();
                f.close();
                unstage();
                throw ExchangeError(
                    QStringLiteral("Could not write the document \"%1\": %2. Nothing "
                                   "was imported.")
                        .arg(m_dir + name, error));
            }
        }
    }
    void unstage() {
        for (const QString& name : m_toWrite)
            QFile::remove(partOf(name));
    }
    void commit() {
        for (const QString& name : m_toWrite)
            QFile::rename(partOf(name), m_dir + name);
    }

private:
    QString partOf(const QString& name) const {
        return m_dir + '.' + name + QStringLiteral(".part");
    }

    QString m_dir;
    QHash<QString, QString> m_planned; // lower-case name -> name
    QHash<QString, QByteArray> m_data;
    QStringList m_toWrite;
};

// Waits for a bank another program is writing to. Tells `onWaiting` once,
// then throws when it stays locked.
void waitForWriteLock(db::Connection& connection, const ImportOptions& options) {
    QElapsedTimer timer;
    timer.start();
    bool told = false;
    for (;;) {
        try {
            connection.execScript(QStringLiteral("BEGIN IMMEDIATE"));
            connection.rollback();
            return;
        } catch (const db::DbError& e) {
            const QString text = e.text();
            if (!text.contains(QLatin1String("locked")) && !text.contains(QLatin1String("busy")))
                throw;
            if (!told && options.onWaiting) {
                options.onWaiting(QStringLiteral("The question bank is locked by another program; "
                                                 "waiting up to %1 seconds...")
                                      .arg((options.lockWaitMs + 999) / 1000));
                told = true;
            }
            if (timer.elapsed() >= options.lockWaitMs)
                throw db::DbError(QStringLiteral("The question bank stayed locked by another "
                                                 "program for %1 seconds; nothing was imported. "
                                                 "Try again when it is done.")
                                      .arg((options.lockWaitMs + 999) / 1000));
            QThread::msleep(100);
        }
    }
}

QString replaceImages(QString text, const QHash<QString, QString>& renamed) {
    for (auto it = renamed.begin(); it != renamed.end(); ++it)
        if (it.key() != it.value())
            text.replace(QStringLiteral("[image: %1]").arg(it.key()),
                         QStringLiteral("[image: %1]").arg(it.value()));
    return text;
}

QString countsText(const TypeCounts& counts) {
    QStringList parts;
    for (int t : typeOrder())
        parts << QStringLiteral("%1 %2").arg(typeLabel(t).toLower()).arg(counts[t]);
    return parts.join(QStringLiteral(", "));
}

int sum(const TypeCounts& counts) {
    int n = 0;
    for (int t = 1; t <= 6; ++t)
        n += counts[t];
    return n;
}

} // namespace

QString tableOf(int typeId) {
    return typeId >= 1 && typeId <= 6 ? QString::fromLatin1(kTables[typeId]) : QString();
}

QString typeLabel(int typeId) {
    switch (typeId) {
    case 1:
        return QStringLiteral("Multiple choice");
    case 2:
        return QStringLiteral("Fill-in-blank");
    case 3:
        return QStringLiteral("Type 3");
    case 4:
        return QStringLiteral("Type 5");
    case 5:
        return QStringLiteral("Type 4");
    case 6:
        return QStringLiteral("Type 6");
    }
    return QString();
}

const std::array<int, 6>& typeOrder() {
    static const std::array<int, 6> order = {1, 2, 3, 5, 4, 6};
    return order;
}

int ImportReport::total() const {
    return sum(imported);
}

QStringList ImportReport::lines() const {
    QStringList out;
    for (const LeftOut& l : leftOut)
        out << QStringLiteral("Left out (line %1): %2 \"%3\": %4.")
                   .arg(l.line)
                   .arg(l.type, l.name, l.reason);
    out << QStringLiteral("Imported %1 questions (%2); left out %3.")
               .arg(total())
               .arg(countsText(imported))
               .arg(leftOut.size());
    return out;
}

int ExportReport::total() const {
    return sum(exported);
}

QStringList ExportReport::lines() const {
    QStringList out;
    for (const LeftOut& l : leftOut)
        out << QStringLiteral("Left out: %1 \"%2\": %3.").arg(l.type, l.name, l.reason);
    for (const QString& d : missingDocuments)
        out << QStringLiteral("Not embedded: the document \"%1\" is not in the document folder.")
                   .arg(d);
    out << QStringLiteral("Exported %1 questions (%2); left out %3.")
               .arg(total())
               .arg(countsText(exported))
               .arg(leftOut.size());
    return out;
}

ImportReport importFile(db::Connection& connection, const QString& docDir, const QByteArray& data,
                        const ImportOptions& options) {
    Format format = Format::MoodleXml;
    const QList<ExchangedQuestion> questions = readQuestions(data, &format);
    return importQuestions(connection, docDir, questions, options, format);
}

ImportReport importQuestions(db::Connection& connection, const QString& docDir,
                             const QList<ExchangedQuestion>& questions,
                             const ImportOptions& options, Format format) {
    ImportReport report;
    report.format = format;
    NullProgress silent;
    Progress& progress = options.progress ? *options.progress : silent;

    if (!options.dryRun)
        waitForWriteLock(connection, options);

    // The texts already in each table, compared exactly as question entry
    // compares them (a null reads as empty text), in a set: a scan per
    // question would cost as much as the whole import.
    std::array<QSet<QString>, 7> texts;
    std::array<qint64, 7> sequence{};
    for (int t = 1; t <= 6; ++t) {
        db::Query q(&connection);
        q.setSql(QStringLiteral("SELECT TM FROM %1").arg(tableOf(t)));
        q.open();
        for (; !q.eof(); q.next())
            texts[t].insert(q.fieldText(QStringLiteral("TM")));
        // Numbers of our own exports come back only above every number the
        // table has ever given: a saved paper may still name a deleted one.
        db::Query s(&connection);
        s.setSql(QStringLiteral("SELECT MAX(BH) AS N FROM %1 UNION ALL SELECT seq FROM "
                                "sqlite_sequence WHERE name=:t")
                     .arg(tableOf(t)));
        s.bindText(QStringLiteral("t"), tableOf(t));
        s.open();
        for (; !s.eof(); s.next())
            sequence[t] = std::max(sequence[t], s.fieldInt(QStringLiteral("N")));
    }

    progress.start();
    progress.setOperation(QStringLiteral("Reading the questions..."));
    progress.setSteps(static_cast<int>(questions.size()) + 1);

    Chapters chapters(connection);
    Documents documents(docDir);
    QList<BankQuestion> kept;
    QStringList category;
    bool haveCategory = false;
    int step = 0;
    for (const ExchangedQuestion& e : questions) {
        if (++step % 256 == 0)
            progress.advance(256);
        if (e.type == QLatin1String("category")) {
            category = e.category;
            haveCategory = !category.isEmpty();
            continue;
        }
        Mapped m = mapImported(e, options);
        const QString name = e.name.isEmpty() ? nameFor(e.text, 0, 0) : e.name;
        if (!m.reason.isEmpty()) {
            report.leftOut << LeftOut{e.type, name, m.reason, e.line};
            continue;
        }
        BankQuestion& q = m.q;
        const QString tm = q.text("TM");
        if (texts[q.typeId].contains(tm)) {
            report.leftOut << LeftOut{
                e.type, name,
                QStringLiteral("the question already exists (%1)").arg(typeLabel(q.typeId)),
                e.line};
            continue;
        }
        texts[q.typeId].insert(tm);

        // Embedded files: documents named by columns, pictures shown in text.
        QHash<QString, QByteArray> embedded;
        for (const EmbeddedFile& f : e.files)
            if (!embedded.contains(f.name))
                embedded.insert(f.name, f.data);
        QHash<QString, QString> renamed;
        auto placed = [&](const QString& original) {
            if (renamed.contains(original))
                return renamed.value(original);
            const QString name = embedded.contains(original)
                                     ? documents.place(original, embedded.value(original))
                                     : bareName(original);
            renamed.insert(original, name);
            return name;
        };
        for (auto it = m.documents.begin(); it != m.documents.end(); ++it)
            q.columns[it.key()] = placed(it.value());
        static const QRegularExpression image(QStringLiteral("\\[image: ([^\\]]+)\\]"));
        for (auto it = q.columns.begin(); it != q.columns.end(); ++it) {
            if (it.value().typeId() != QMetaType::QString)
                continue;
            const QString value = it.value().toString();
            if (!value.contains(QLatin1String("[image: ")))
                continue;
            auto images = image.globalMatch(value);
            while (images.hasNext()) {
                const QString file = images.next().captured(1);
                if (embedded.contains(file))
                    placed(file);
            }
            it.value() = replaceImages(value, renamed);
        }

        q.columns["CZ"] = haveCategory ? chapters.resolve(category) : options.defaultChapter;
        report.imported[q.typeId]++;
        report.perChapter[q.text("CZ")][q.typeId]++;
        kept << q;
    }
    // Numbers of our own exports are kept when no row has ever had them and
    // the file gives each once. Those rows go in first: the database numbers
    // the others above every number in the table.
    std::array<QSet<qint64>, 7> used;
    for (BankQuestion& q : kept) {
        if (q.number <= sequence[q.typeId] || used[q.typeId].contains(q.number))
            q.number = 0;
        else
            used[q.typeId].insert(q.number);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const BankQuestion& a, const BankQuestion& b) {
        return (a.number != 0) > (b.number != 0);
    });
    report.newChapters = chapters.made();
    report.documents = documents.toWrite();
    if (options.dryRun || kept.isEmpty()) {
        progress.finish();
        return report;
    }

    progress.setOperation(QStringLiteral("Writing the questions..."));
    try {
        db::Transaction transaction(connection);
        chapters.write();
        std::array<std::unique_ptr<db::Query>, 7> plain, numbered;
        for (const BankQuestion& q : kept) {
            auto& slot = q.number ? numbered[q.typeId] : plain[q.typeId];
            const QStringList& columns = columnsOf(q.typeId);
            if (!slot) {
                slot = std::make_unique<db::Query>(&connection);
                QStringList names = columns, values;
                names.prepend(QStringLiteral("TypeID"));
                if (q.number)
                    names.prepend(QStringLiteral("BH"));
                for (const QString& c : names)
                    values << ':' + c;
                slot->setSql(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(tableOf(q.typeId), names.join(','), values.join(',')));
            }
            db::Query& insert = *slot;
            insert.bindInt(QStringLiteral("TypeID"), q.typeId);
            if (q.number)
                insert.bindInt(QStringLiteral("BH"), q.number);
            for (const QString& c : columns) {
                const QVariant v = q.columns.value(c);
                if (!v.isValid() || v.isNull())
                    insert.bindNull(c);
                else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                    insert.bindInt(c, v.toLongLong());
                else
                    insert.bindText(c, v.toString());
            }
            insert.execSql();
            if (++step % 256 == 0)
                progress.advance(256);
        }
        documents.stage();
        try {
            transaction.commit();
        } catch (...) {
            documents.unstage();
            throw;
        }
        documents.commit();
    } catch (...) {
        progress.abort();
        throw;
    }
    progress.finish();
    return report;
}

QList<BankQuestion> readBankQuestions(db::Connection& connection) {
    QList<BankQuestion> list;
    for (int t = 1; t <= 6; ++t) {
        db::Query q(&connection);
        q.setSql(QStringLiteral("SELECT * FROM %1 ORDER BY BH").arg(tableOf(t)));
        q.open();
        const QStringList& columns = columnsOf(t);
        for (; !q.eof(); q.next()) {
            BankQuestion b;
            b.typeId = t;
            b.number = q.fieldInt(QStringLiteral("BH"));
            for (const QString& c : columns)
                b.columns.insert(c, q.field(c));
            list << b;
        }
    }
    return list;
}

ExportItem toExchanged(const BankQuestion& q, Format format, const QString& docDir, bool embed,
                       QStringList* missing) {
    ExportItem item;
    ExchangedQuestion& e = item.question;
    const QString tm = q.text("TM");
    e.name = nameFor(tm, q.typeId, q.number);
    e.text = tm;
    e.idNumber = QStringLiteral("tolvane:%1:%2").arg(q.typeId).arg(q.number);
    const QString tag = difficultyTag(q.columns.value("NY").toInt());
    if (!tag.isEmpty())
        e.tags << tag;
    const bool gift = format == Format::Gift;

    QDir dir(docDir);
    auto attach = [&](const QString& name) {
        if (name.isEmpty() || !embed)
            return;
        for (const EmbeddedFile& f : e.files)
            if (f.name == name)
                return;
        QFile file(dir.filePath(name));
        if (name.contains('/') || name.contains('\\') || !file.open(QIODevice::ReadOnly)) {
            if (missing && !missing->contains(name))
                *missing << name;
            return;
        }
        e.files << EmbeddedFile{name, file.readAll()};
    };
    auto noDocuments = [&](const QStringList& names) {
        for (const QString& n : names)
            if (!n.isEmpty()) {
                item.reason = QStringLiteral("GIFT carries no documents");
                return false;
            }
        return true;
    };

    switch (q.typeId) {
    case 1: {
        const QString letter = q.text("DA").trimmed().toUpper();
        const QStringList letters = {"A", "B", "C", "D"};
        const int correct = static_cast<int>(letters.indexOf(letter));
        if (correct < 0) {
            item.reason =
                QStringLiteral("its answer \"%1\" is not one of A to D").arg(q.text("DA"));
            return item;
        }
        int last = correct;
        for (int i = 0; i < 4; ++i)
            if (!q.text(letters[i].toLatin1().constData()).isEmpty())
                last = std::max(last, i);
        e.type = QStringLiteral("multichoice");
        for (int i = 0; i <= last; ++i)
            e.answers << Answer{
                q.text(letters[i].toLatin1().constData()), i == correct ? 100.0 : 0.0, {}};
        break;
    }
    case 2: {
        const int count = std::clamp(q.columns.value("YTS").toInt(), 1, 5);
        if (count == 1) {
            e.type = QStringLiteral("shortanswer");
            e.answers << Answer{q.text("K1"), 100, {}};
            break;
        }
        if (gift) {
            item.reason = QStringLiteral("GIFT carries no question with several blanks");
            return item;
        }
        e.type = QStringLiteral("cloze");
        for (int i = 0; i < count; ++i)
            e.gaps << Gap{
                QStringLiteral("SHORTANSWER"),
                {Answer{q.text(QStringLiteral("K%1").arg(i + 1).toLatin1().constData()), 100, {}}}};
        static const QRegularExpression runs(QStringLiteral("_+"));
        QList<QRegularExpressionMatch> matches;
        auto it = runs.globalMatch(tm);
        while (it.hasNext())
            matches << it.next();
        if (matches.size() == count) {
            QString text = tm;
            QStringList lengths;
            // Replace from the end, so that earlier positions stay valid.
            for (qsizetype i = matches.size() - 1; i >= 0; --i) {
                text.replace(matches[i].capturedStart(), matches[i].capturedLength(),
                             QString(gapMark(static_cast<int>(i))));
                lengths.prepend(QString::number(matches[i].capturedLength()));
            }
            e.text = text;
            e.idNumber += QStringLiteral(":u") + lengths.join('.');
        } else {
            for (int i = 0; i < count; ++i) {
                e.text += QLatin1Char(' ');
                e.text += gapMark(i);
            }
            e.idNumber += QStringLiteral(":t");
        }
        break;
    }
    case 3:
    case 5:
        e.type = QStringLiteral("essay");
        e.graderInfo = q.text("DA");
        break;
    case 4:
        if (gift && !noDocuments({q.text("TMBG"), q.text("DABG")}))
            return item;
        e.type = QStringLiteral("essay");
        e.graderInfo = q.text("DA");
        if (!q.text("TMBG").isEmpty()) {
            e.textDocuments << q.text("TMBG");
            attach(q.text("TMBG"));
        }
        if (!q.text("DABG").isEmpty()) {
            e.graderDocuments << q.text("DABG");
            attach(q.text("DABG"));
        }
        break;
    case 6: {
        const int count = std::clamp(q.columns.value("WTS").toInt(), 1, 5);
        QStringList docs = {q.text("TMBG")};
        for (int i = 1; i <= count; ++i)
            docs << q.text(QStringLiteral("W%1DABG").arg(i).toLatin1().constData());
        if (gift && !noDocuments(docs))
            return item;
        e.type = QStringLiteral("essay");
        for (int i = 1; i <= count; ++i) {
            const QString doc = q.text(QStringLiteral("W%1DABG").arg(i).toLatin1().constData());
            e.subAnswers << SubAnswer{q.text(QStringLiteral("W%1DA").arg(i).toLatin1().constData()),
                                      doc};
            attach(doc);
        }
        if (!q.text("TMBG").isEmpty()) {
            e.textDocuments << q.text("TMBG");
            attach(q.text("TMBG"));
        }
        break;
    }
    default:
        item.reason = QStringLiteral("unknown type");
        return item;
    }
    item.ok = true;
    return item;
}

ExportReport exportBank(db::Connection& connection, const QString& docDir,
                        const ExportOptions& options) {
    ExportReport report;
    // The chapter tree, so that each question's category is its chapter and
    // section as the tree shows them.
    db::Query table(&connection);
    QList<widgets::ChapterNode> nodes;
    try {
        nodes = widgets::chapterNodes(widgets::readChapterRows(table));
    } catch (const std::exception&) {
        nodes.clear(); // a malformed code: every category is the question's own text
    }
    QHash<QString, QStringList> pathOf;
    // Chapter texts in the tree's order, then the CZ texts no node has in
    // the order they are met; a group's key is its position here.
    QStringList order;
    QHash<QString, int> positionOf;
    QString chapter;
    for (const widgets::ChapterNode& n : nodes) {
        if (!n.section || chapter.isEmpty()) {
            if (!n.section)
                chapter = n.text;
            pathOf.insert(n.text, {n.text});
        } else {
            pathOf.insert(n.text, {chapter, n.text});
        }
        if (!positionOf.contains(n.text))
            positionOf.insert(n.text, static_cast<int>(order.size()));
        order << n.text;
    }
    const QSet<QString> wanted(options.chapters.begin(), options.chapters.end());

    const QList<BankQuestion> all = readBankQuestions(connection);
    QMap<int, QList<const BankQuestion*>> groups; // by position of the chapter
    for (const BankQuestion& q : all) {
        const QString cz = q.text("CZ");
        if (!options.chapters.isEmpty() && !wanted.contains(cz))
            continue;
        auto found = positionOf.constFind(cz);
        if (found == positionOf.constEnd()) {
            found = positionOf.insert(cz, static_cast<int>(order.size()));
            order << cz;
        }
        groups[found.value()] << &q;
    }

    QList<ExchangedQuestion> out;
    for (auto it = groups.begin(); it != groups.end(); ++it) {
        const QString& cz = order[it.key()];
        ExchangedQuestion category;
        category.type = QStringLiteral("category");
        category.category = cz.isEmpty() ? QStringList() : pathOf.value(cz, {cz});
        out << category;
        for (const BankQuestion* q : it.value()) {
            ExportItem item = toExchanged(*q, options.format, docDir, options.embedDocuments,
                                          &report.missingDocuments);
            if (!item.ok) {
                report.leftOut << LeftOut{typeLabel(q->typeId),
                                          nameFor(q->text("TM"), q->typeId, q->number), item.reason,
                                          0};
                continue;
            }
            out << item.question;
            report.exported[q->typeId]++;
        }
    }
    report.data = options.format == Format::Gift ? writeGift(out) : writeMoodleXml(out);
    return report;
}

namespace {

// The item text of the row whose code is the same number as `code`, or
// nothing.
QString chapterTextIn(const QList<widgets::ChapterRow>& rows, const QString& code) {
    double number = 0;
    try {
        number = widgets::chapterNumber(code);
    } catch (const std::exception&) {
        return QString();
    }
    for (const widgets::ChapterRow& r : rows) {
        try {
            if (widgets::chapterNumber(r.code) == number)
                return db::chapterItemText(widgets::chapterNumberText(number), r.name);
        } catch (const std::exception&) {
        }
    }
    return QString();
}

} // namespace

QString chapterTextForCode(db::Connection& connection, const QString& code) {
    db::Query table(&connection);
    return chapterTextIn(widgets::readChapterRows(table), code);
}

QStringList chapterTextsForCodes(db::Connection& connection, const QStringList& codes) {
    db::Query table(&connection);
    const QList<widgets::ChapterRow> rows = widgets::readChapterRows(table);
    const QList<widgets::ChapterNode> nodes = widgets::chapterNodes(rows);
    QStringList texts;
    for (const QString& code : codes) {
        const QString text = chapterTextIn(rows, code);
        if (text.isEmpty())
            throw ExchangeError(
                QStringLiteral("The bank holds no chapter with the code \"%1\".").arg(code));
        texts << text;
        // A chapter takes its sections with it.
        bool inside = false;
        for (const widgets::ChapterNode& n : nodes) {
            if (!n.section)
                inside = n.text == text;
            else if (inside)
                texts << n.text;
        }
    }
    texts.removeDuplicates();
    return texts;
}

} // namespace tolvane::exchange
