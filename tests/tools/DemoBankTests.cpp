// The demo bank, made once with a real LibreOffice and read back the way the
// program reads it.

#include "bank/MakeBank.h"
#include "bank/OfficeConvert.h"
#include "db/Query.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace tolvane;

namespace {

struct QuestionTable {
    const char* table;
    int typeId;
};

// Each table holds the questions of one type code; codes 4 and 5 are crossed.
const QuestionTable kTables[] = {{"XuanZeTi", 1},    {"TianKong", 2},     {"JianDaTi", 3},
                                 {"XiTongSheJi", 4}, {"YuanLiLunShu", 5}, {"XiTongCZ", 6}};

const char* tableOf(int typeId) {
    for (const QuestionTable& t : kTables)
        if (t.typeId == typeId)
            return t.table;
    return nullptr;
}

int blankRuns(const QString& text) {
    int n = 0;
    for (auto it = QRegularExpression(QStringLiteral("_{2,}")).globalMatch(text); it.hasNext();
         it.next())
        ++n;
    return n;
}

class DemoBank : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp = new QTemporaryDir;
        bank::MakeBankOptions o;
        o.dir = tmp->path();
        o.demo = true;
        try {
            result = new bank::MakeBankResult(bank::makeBank(o));
            connection = new db::Connection;
            connection->open(tmp->path() + QStringLiteral("/DB/TiKu.mdb"));
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
    }
    static void TearDownTestSuite() {
        delete connection;
        delete result;
        delete tmp;
    }
    void SetUp() override { ASSERT_TRUE(failure.isEmpty()) << failure.toStdString(); }

    std::unique_ptr<db::Query> query(const QString& sql) {
        auto q = std::make_unique<db::Query>(connection);
        q->setSql(sql);
        q->open();
        return q;
    }
    QString docPath(const QString& name) const {
        return tmp->path() + QStringLiteral("/Doc/") + name;
    }

    static QTemporaryDir* tmp;
    static bank::MakeBankResult* result;
    static db::Connection* connection;
    static QString failure;
};

QTemporaryDir* DemoBank::tmp = nullptr;
bank::MakeBankResult* DemoBank::result = nullptr;
db::Connection* DemoBank::connection = nullptr;
QString DemoBank::failure;

TEST_F(DemoBank, ChaptersHaveTwoToFourSectionsAndAreStoredOutOfOrder) {
    auto q = query(QStringLiteral("SELECT ID, ZJ, ZJName FROM ZhangJie ORDER BY ID"));
    QMap<int, int> sectionsOf; // chapter -> sections
    QList<double> storedOrder;
    for (; !q->eof(); q->next()) {
        const QString zj = q->fieldText(QStringLiteral("ZJ"));
        bool ok = false;
        const double code = zj.toDouble(&ok);
        ASSERT_TRUE(ok) << zj.toStdString();
        // The tree writes codes in their shortest form and questions must
        // match it, so the stored code has to be that form already.
        EXPECT_EQ(QString::number(code), zj);
        EXPECT_FALSE(q->fieldText(QStringLiteral("ZJName")).trimmed().isEmpty());
        storedOrder << code;
        const int chapter = zj.section('.', 0, 0).toInt();
        if (zj.contains('.'))
            ++sectionsOf[chapter];
        else
            sectionsOf.insert(chapter, sectionsOf.value(chapter));
    }
    EXPECT_GE(sectionsOf.size(), 4);
    for (auto it = sectionsOf.begin(); it != sectionsOf.end(); ++it) {
        EXPECT_GE(it.value(), 2) << "chapter " << it.key();
        EXPECT_LE(it.value(), 4) << "chapter " << it.key();
    }
    QList<double> sorted = storedOrder;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_NE(storedOrder, sorted);
    // Every section belongs to a chapter row.
    for (double code : storedOrder)
        EXPECT_TRUE(storedOrder.contains(double(int(code)))) << code;
}

TEST_F(DemoBank, EveryTypeHasEnoughQuestionsOfEachDifficultyFiledUnderChapterItems) {
    QSet<QString> items;
    QSet<QString> sections;
    for (auto q = query(QStringLiteral("SELECT ZJ, ZJName FROM ZhangJie")); !q->eof(); q->next()) {
        const QString item = q->fieldText(QStringLiteral("ZJ")) + QStringLiteral("  ") +
                             q->fieldText(QStringLiteral("ZJName"));
        items.insert(item);
        if (q->fieldText(QStringLiteral("ZJ")).contains('.'))
            sections.insert(item);
    }
    for (const QuestionTable& t : kTables) {
        SCOPED_TRACE(t.table);
        auto q = query(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t.table)));
        EXPECT_GE(q->recordCount(), 12);
        QMap<qint64, int> byDifficulty;
        QSet<QString> texts;
        QSet<QString> sectionsUsed;
        for (; !q->eof(); q->next()) {
            const QString tm = q->fieldText(QStringLiteral("TM"));
            EXPECT_EQ(q->fieldInt(QStringLiteral("TypeID")), t.typeId) << tm.toStdString();
            ++byDifficulty[q->fieldInt(QStringLiteral("NY"))];
            const QString cz = q->fieldText(QStringLiteral("CZ"));
            EXPECT_TRUE(items.contains(cz)) << cz.toStdString();
            if (sections.contains(cz))
                sectionsUsed.insert(cz);
            EXPECT_FALSE(tm.trimmed().isEmpty());
            EXPECT_FALSE(texts.contains(tm)) << "twice: " << tm.toStdString();
            texts.insert(tm);
            if (q->columnIndex(QStringLiteral("DA")) >= 0) {
                EXPECT_FALSE(q->fieldText(QStringLiteral("DA")).trimmed().isEmpty())
                    << tm.toStdString();
            }
        }
        EXPECT_EQ(byDifficulty.keys(), QList<qint64>({12, 13, 14}));
        for (int n : byDifficulty)
            EXPECT_GE(n, 3);
        // Spread over the sections, so the covering draw has something to do.
        EXPECT_GE(sectionsUsed.size(), 8);
        EXPECT_EQ(result->summary.questions[t.typeId], texts.size());
    }
}

TEST_F(DemoBank, AnswersMatchTheShapeOfEachQuestion) {
    for (auto q = query(QStringLiteral("SELECT * FROM XuanZeTi")); !q->eof(); q->next()) {
        for (const char* c : {"A", "B", "C", "D"})
            EXPECT_FALSE(q->fieldText(QLatin1String(c)).isEmpty());
        EXPECT_TRUE(QStringList({"A", "B", "C", "D"}).contains(q->fieldText(QStringLiteral("DA"))));
    }
    QSet<qint64> blankCounts;
    for (auto q = query(QStringLiteral("SELECT * FROM TianKong")); !q->eof(); q->next()) {
        const qint64 yts = q->fieldInt(QStringLiteral("YTS"));
        ASSERT_TRUE(yts >= 1 && yts <= 5) << yts;
        blankCounts.insert(yts);
        for (int k = 1; k <= yts; ++k)
            EXPECT_FALSE(q->fieldText(QStringLiteral("K%1").arg(k)).isEmpty())
                << q->fieldText(QStringLiteral("TM")).toStdString() << " K" << k;
        // The text shows as many blanks as it has answers.
        EXPECT_EQ(blankRuns(q->fieldText(QStringLiteral("TM"))), yts)
            << q->fieldText(QStringLiteral("TM")).toStdString();
    }
    EXPECT_TRUE(blankCounts.contains(1) && blankCounts.contains(5));
    QSet<qint64> partCounts;
    for (auto q = query(QStringLiteral("SELECT * FROM XiTongCZ")); !q->eof(); q->next()) {
        const qint64 wts = q->fieldInt(QStringLiteral("WTS"));
        ASSERT_TRUE(wts >= 1 && wts <= 5) << wts;
        partCounts.insert(wts);
        for (int k = 1; k <= wts; ++k)
            EXPECT_FALSE(q->fieldText(QStringLiteral("W%1DA").arg(k)).isEmpty())
                << q->fieldText(QStringLiteral("TM")).toStdString() << " W" << k;
    }
    EXPECT_TRUE(partCounts.contains(2) && partCounts.contains(5));
}

TEST_F(DemoBank, EveryQuotedDocumentIsAWordFileInDoc) {
    const struct {
        const char* sql;
        int atLeast;
    } refs[] = {
        {"SELECT TMBG FROM XiTongSheJi WHERE TMBG<>''", 3},
        {"SELECT DABG FROM XiTongSheJi WHERE DABG<>''", 3},
        {"SELECT TMBG FROM XiTongCZ WHERE TMBG<>''", 3},
        {"SELECT W1DABG FROM XiTongCZ WHERE W1DABG<>'' UNION ALL "
         "SELECT W2DABG FROM XiTongCZ WHERE W2DABG<>'' UNION ALL "
         "SELECT W3DABG FROM XiTongCZ WHERE W3DABG<>'' UNION ALL "
         "SELECT W4DABG FROM XiTongCZ WHERE W4DABG<>'' UNION ALL "
         "SELECT W5DABG FROM XiTongCZ WHERE W5DABG<>''",
         3},
    };
    QSet<QString> quoted;
    for (const auto& r : refs) {
        auto q = query(QLatin1String(r.sql));
        EXPECT_GE(q->recordCount(), r.atLeast) << r.sql;
        for (; !q->eof(); q->next()) {
            const QString name = db::Query::displayText(q->value(q->currentRow(), 0));
            EXPECT_TRUE(name.endsWith(QLatin1String(".doc"))) << name.toStdString();
            EXPECT_FALSE(name.contains('/') || name.contains('\\')) << name.toStdString();
            EXPECT_TRUE(bank::isOleCompoundFile(docPath(name))) << name.toStdString();
            quoted.insert(name);
        }
    }
    // Everything written is quoted somewhere, and nothing else lies in Doc/.
    QStringList written = result->documents;
    QStringList inDoc =
        QDir(tmp->path() + QStringLiteral("/Doc")).entryList(QDir::Files | QDir::Hidden);
    QStringList quotedList = quoted.values();
    written.sort();
    inDoc.sort();
    quotedList.sort();
    EXPECT_EQ(written, quotedList);
    EXPECT_EQ(inDoc, quotedList);
}

TEST_F(DemoBank, UsersAndSavedPapers) {
    QStringList users;
    for (auto q =
             query(QStringLiteral("SELECT UserName, Password, QXID FROM YH ORDER BY QXID DESC"));
         !q->eof(); q->next())
        users << q->fieldText(QStringLiteral("UserName")) + '/' +
                     q->fieldText(QStringLiteral("Password")) + '/' +
                     QString::number(q->fieldInt(QStringLiteral("QXID")));
    EXPECT_EQ(users, QStringList({"admin/admin/1", "lecturer/lecturer/0"}));

    auto papers = query(QStringLiteral("SELECT SJDH, CJLS, ND FROM SJ"));
    EXPECT_GE(papers->recordCount(), 1);
    for (; !papers->eof(); papers->next()) {
        const QString sjdh = papers->fieldText(QStringLiteral("SJDH"));
        SCOPED_TRACE(sjdh.toStdString());
        EXPECT_TRUE(
            QStringList({"admin", "lecturer"}).contains(papers->fieldText(QStringLiteral("CJLS"))));
        EXPECT_TRUE(QStringList({"Easy", "Medium", "Hard"})
                        .contains(papers->fieldText(QStringLiteral("ND"))));
        db::Query rows(connection);
        rows.setSql(QStringLiteral("SELECT TypeID, BH FROM SJT WHERE SJDH=:DH"));
        rows.bindText(QStringLiteral("DH"), sjdh);
        rows.open();
        EXPECT_GT(rows.recordCount(), 0);
        for (; !rows.eof(); rows.next()) {
            const int type = int(rows.fieldInt(QStringLiteral("TypeID")));
            ASSERT_TRUE(type >= 1 && type <= 6);
            db::Query one(connection);
            one.setSql(
                QStringLiteral("SELECT 1 FROM %1 WHERE BH=:BH").arg(QLatin1String(tableOf(type))));
            one.bindInt(QStringLiteral("BH"), rows.fieldInt(QStringLiteral("BH")));
            one.open();
            EXPECT_EQ(one.recordCount(), 1)
                << "type " << type << " BH " << rows.fieldInt(QStringLiteral("BH"));
        }
    }
    EXPECT_EQ(query(QStringLiteral("SELECT 1 FROM SJT WHERE SJDH NOT IN (SELECT SJDH FROM SJ)"))
                  ->recordCount(),
              0);
}

} // namespace
