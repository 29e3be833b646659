#include "db/Query.h"
#include "db/ResultModel.h"
#include "db/Schema.h"
#include "tests/support/TestBank.h"

#include <gtest/gtest.h>

using namespace tolvane;
using tolvane::db::DbError;
using tolvane::db::Query;

TEST(Query, NamedParametersMultiLineStatementsAndNavigation) {
    test::TestBank bank;
    bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics'), ('1.1', 'Words'), "
              "('2', 'Grammar')");
    Query q(&bank.connection());
    // A parameter used twice is bound once; lines are joined with line breaks.
    q.setSql(QStringList{"SELECT ZJ, ZJName AS Name FROM ZhangJie",
                         "WHERE ZJ = :Code OR ZJName = :Name OR ZJ = :Code order by ID asc"});
    q.bindText("Code", "1.1");
    q.bindText("name", "Grammar");
    q.open();
    EXPECT_EQ(q.sql(), "SELECT ZJ, ZJName AS Name FROM ZhangJie\nWHERE ZJ = :Code OR ZJName = "
                       ":Name OR ZJ = :Code order by ID asc");
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.columnNames(), (QStringList{"ZJ", "Name"}));
    EXPECT_FALSE(q.eof());
    EXPECT_EQ(q.fieldText("zj"), "1.1");
    q.next();
    EXPECT_EQ(q.fieldText("NAME"), "Grammar");
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_THROW(q.fieldInt("ZJ"), DbError);
    EXPECT_TRUE(q.isNull("ZJ")) << "no current row reads as null";
    EXPECT_EQ(q.fieldText("ZJ"), "");
    EXPECT_THROW(q.fieldText("Nope"), DbError);
}

TEST(Query, IntegerAndNullFieldsAndAMissingParameter) {
    test::TestBank bank;
    Query q(&bank.connection());
    q.setSql("SELECT Password, QXID FROM YH WHERE UserName = :Name");
    EXPECT_THROW(q.open(), DbError) << "an unbound parameter";
    q.bindText("Name", "admin");
    q.open();
    EXPECT_EQ(q.fieldInt("QXID"), 1);
    EXPECT_EQ(q.fieldText("QXID"), "1");
    bank.exec("INSERT INTO YH (UserName, Password, QXID) VALUES ('nopass', NULL, 0)");
    q.bindText("Name", "nopass");
    q.open();
    EXPECT_TRUE(q.isNull("Password"));
    EXPECT_EQ(q.fieldText("Password"), "");
    EXPECT_EQ(q.fieldInt("QXID"), 0);
    q.setSql("SELECT 'abc' AS T");
    q.open();
    EXPECT_THROW(q.fieldInt("T"), DbError);
}

TEST(Query, JetFunctionsAndCaseInsensitiveText) {
    test::TestBank bank;
    bank.exec("INSERT INTO JianDaTi (TypeID, TM, DA, NY, CZ) VALUES "
              "(3, 'Q', 'A', 12, '1.1  Données de base')");
    struct Case {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT LEFT(CZ, 5) FROM JianDaTi", "1.1  "},
        {"SELECT LEFT(CZ, 7) FROM JianDaTi", "1.1  Do"},
        {"SELECT LEFT(CZ, 9) FROM JianDaTi", "1.1  Donn"}, // counts characters, not bytes
        {"SELECT LEFT(CZ, 0) FROM JianDaTi", ""},
        {"SELECT LEFT(CZ, 99) FROM JianDaTi", "1.1  Données de base"},
        {"SELECT TRIM('  x y  ')", "x y"},
        {"SELECT 'left(' || Left (CZ, 1) FROM JianDaTi", "left(1"},
        {"SELECT count(*) FROM JianDaTi j LEFT JOIN NYD n ON n.BH = j.NY", "1"},
        {"SELECT count(*) FROM YH WHERE UserName = 'ADMIN'", "1"},
        {"SELECT count(*) FROM Type WHERE TypeName = 'multi-CHOICE'", "1"},
        {"SELECT count(*) FROM JianDaTi WHERE LEFT(CZ, 3) = '1.1'", "1"},
        {"SELECT MIN(BH) FROM NYD", "12"},
        {"SELECT MAX(BH) AS M FROM NYD", "14"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bank.text(c.sql), QString::fromUtf8(c.expected)) << c.sql;
    Query q(&bank.connection());
    q.setSql("SELECT 1 FROM YH WHERE UserName = :N");
    q.bindText("N", "Admin");
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
}

TEST(Query, AppendPostFailureCancelAndEdit) {
    test::TestBank bank;
    Query q(&bank.connection());
    q.setSql("SELECT * FROM SJ Where SJDH = :D");
    q.bindText("D", "2026-12-10 10:00:00");
    q.open();
    ASSERT_TRUE(q.isUpdatable());
    EXPECT_EQ(q.columnNames(), (QStringList{"SJDH", "CJLS", "ND"})) << "the rowid stays hidden";
    q.append();
    q.setFieldText("SJDH", "2026-12-10 10:00:00");
    q.setFieldText("CJLS", "admin");
    q.setFieldText("ND", "Easy");
    q.post();
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldText("ND"), "Easy");

    // The same identifier a second time fails on posting, then is cancelled.
    q.append();
    q.setFieldText("SJDH", "2026-12-10 10:00:00");
    q.setFieldText("CJLS", "other");
    EXPECT_THROW(q.post(), DbError);
    EXPECT_TRUE(q.isEditing());
    q.cancel();
    EXPECT_FALSE(q.isEditing());
    EXPECT_EQ(bank.count("SELECT count(*) FROM SJ"), 1);

    q.edit();
    q.setFieldText("ND", "Hard");
    q.post();
    EXPECT_EQ(bank.text("SELECT ND FROM SJ"), "Hard");
    EXPECT_EQ(q.fieldText("ND"), "Hard");

    q.deleteCurrent();
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_EQ(bank.count("SELECT count(*) FROM SJ"), 0);

    Query notUpdatable(&bank.connection());
    notUpdatable.setSql("SELECT SJDH FROM SJ");
    notUpdatable.open();
    EXPECT_THROW(notUpdatable.append(), DbError);
}

TEST(Query, AutoNumberOpenTableAndStoredTextsKeptWhole) {
    test::TestBank bank;
    Query t(&bank.connection());
    t.openTable("XiTongCZ");
    EXPECT_EQ(t.columnNames().size(), 17);
    const QString longText = QString(100000, QChar(0x4E2D)) + "\r\n  end  ";
    t.append();
    t.setFieldInt("TypeID", 6);
    t.setFieldText("TM", longText);
    t.setFieldInt("WTS", 2);
    t.post();
    EXPECT_EQ(t.fieldInt("BH"), 1);
    EXPECT_EQ(t.fieldText("TM"), longText);
    EXPECT_TRUE(t.isNull("TMBG"));
    Query again(&bank.connection());
    again.setSql("SELECT TM FROM XiTongCZ WHERE BH = :BH");
    again.bindInt("BH", 1);
    again.open();
    EXPECT_EQ(again.fieldText("TM"), longText);
    EXPECT_THROW(t.openTable("YH; DROP TABLE YH"), DbError);
}

TEST(Query, ResultModelFollowsTheQuery) {
    test::TestBank bank;
    Query q(&bank.connection());
    db::ResultModel model(&q);
    q.setSql("SELECT BH AS Number, NYD AS Difficulty FROM NYD order by BH asc");
    q.open();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Difficulty");
    EXPECT_EQ(model.data(model.index(2, 1)).toString(), "Hard");
    q.close();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(Schema, TablesAndRequiredRows) {
    test::TestBank bank;
    Query q(&bank.connection());
    q.setSql("SELECT name FROM sqlite_master WHERE type = 'table' AND name <> 'sqlite_sequence' "
             "ORDER BY rowid");
    q.open();
    QStringList names;
    for (; !q.eof(); q.next())
        names << q.fieldText("name");
    EXPECT_EQ(names, db::tableNames());
    EXPECT_EQ(bank.text("SELECT group_concat(BH || '=' || NYD, ',') FROM NYD"),
              "12=Easy,13=Medium,14=Hard");
    EXPECT_EQ(bank.text("SELECT group_concat(TypeID || '=' || TypeName, ',') FROM Type"),
              "1=Multi-choice,2=Fill-in-Blank,3=Type 3,4=Type 4,5=Type 5,6=Type 6");
    q.setSql("SELECT QXM FROM QX");
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldText("QXM"), db::permissionName(0));
    Query xz(&bank.connection());
    xz.openTable("XuanZeTi");
    EXPECT_EQ(xz.columnNames(),
              (QStringList{"BH", "TypeID", "TM", "A", "B", "C", "D", "DA", "CZ", "NY"}));
    xz.openTable("TianKong");
    EXPECT_EQ(xz.columnNames(),
              (QStringList{"BH", "TypeID", "TM", "K1", "K2", "K3", "K4", "K5", "YTS", "NY", "CZ"}));
}

TEST(Query, ReopenedStatementsRebindAndLeaveTheBankFreeForWriters) {
    test::TestBank bank;
    bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics'), ('2', 'Grammar'), "
              "('3', 'Reading')");
    Query q(&bank.connection());
    q.setSql("SELECT * FROM ZhangJie WHERE ID >= :ID");
    q.setMaxRows(1);
    for (int id : {2, 1, 3}) {
        q.bindInt("ID", id);
        q.open();
        ASSERT_EQ(q.recordCount(), 1) << id;
        EXPECT_EQ(q.fieldInt("ID"), id);
        EXPECT_TRUE(q.isUpdatable());
    }
    q.setMaxRows(0);
    q.bindInt("ID", 2);
    q.open();
    EXPECT_EQ(q.recordCount(), 2);

    // Another connection can write at once: no statement is left on a row.
    db::Connection other;
    other.open(bank.bankPath());
    EXPECT_NO_THROW(other.execScript("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('4', 'Poetry')"));
    q.open();
    EXPECT_EQ(q.recordCount(), 3);

    // A transaction rolled back leaves nothing; one committed keeps its rows.
    {
        db::Transaction t(bank.connection());
        bank.exec("DELETE FROM ZhangJie");
    }
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM ZhangJie"), 4);
    {
        db::Transaction t(bank.connection());
        bank.exec("DELETE FROM ZhangJie WHERE ID = 4");
        t.commit();
    }
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM ZhangJie"), 3);
    EXPECT_FALSE(bank.connection().inTransaction());
}

TEST(Query, OpeningABankAddsTheDifficultyIndexesItLacks) {
    test::TestBank bank(false);
    {
        db::Connection c;
        c.open(bank.bankPath());
        c.execScript("DROP INDEX XuanZeTi_NY; DROP INDEX XiTongCZ_NY");
    }
    db::TZenlo_DM dm;
    db::Zenlo_DM = &dm;
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name LIKE "
                         "'%\\_NY' ESCAPE '\\'"),
              6);
    db::Zenlo_DM = nullptr;
}

TEST(Query, ABlockReadingQueryReadsOnDemandAndCommitsItsWritesAtOnce) {
    test::TestBank bank;
    for (int i = 1; i <= 7; ++i)
        bank.exec(QString("INSERT INTO JianDaTi (TypeID, TM) VALUES (3, 'Q%1')").arg(i));
    Query q(&bank.connection());
    q.setFetchBlock(3);
    q.setSql("Select * from JianDaTi");
    q.open();
    db::ResultModel model(&q);
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_TRUE(model.canFetchMore(QModelIndex()));
    model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), 6);

    // Walking the rows reads the rest.
    QStringList seen;
    for (q.first(); !q.eof(); q.next())
        seen << q.fieldText("TM");
    EXPECT_EQ(seen, (QStringList{"Q1", "Q2", "Q3", "Q4", "Q5", "Q6", "Q7"}));
    EXPECT_FALSE(q.canFetchMore());

    // A write while rows are still unread is committed at once: another
    // connection sees it.
    q.open();
    ASSERT_TRUE(q.canFetchMore());
    q.setCurrentRow(1);
    q.setFieldText("TM", "Changed");
    q.post();
    EXPECT_EQ(q.recordCount(), 7);
    q.deleteCurrent();
    db::Connection other;
    other.open(bank.bankPath());
    Query check(&other);
    check.setSql("SELECT COUNT(*) AS N FROM JianDaTi WHERE TM IN ('Q2', 'Changed')");
    check.open();
    EXPECT_EQ(check.fieldInt("N"), 0);
    check.setSql("SELECT COUNT(*) AS N FROM JianDaTi");
    check.open();
    EXPECT_EQ(check.fieldInt("N"), 6);
}
