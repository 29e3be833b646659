#include "bank/MakeBank.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "tools/makebank/MakeBankCommand.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolvane;
using bank::MakeBankError;
using bank::MakeBankOptions;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class MakeBankTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString dir() const { return tmp.path(); }
    QString bank() const { return tmp.path() + QStringLiteral("/DB/TiKu.mdb"); }

    MakeBankOptions options() const {
        MakeBankOptions o;
        o.dir = dir();
        return o;
    }

    QStringList entries(const QString& sub) const {
        return QDir(dir() + '/' + sub)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // Rows of a statement as "a|b|c" lines.
    QStringList rows(const QString& sql) {
        db::Connection c;
        c.open(bank());
        db::Query q(&c);
        q.setSql(sql);
        q.open();
        QStringList out;
        for (; !q.eof(); q.next()) {
            QStringList cells;
            for (int i = 0; i < q.columnNames().size(); ++i)
                cells << db::Query::displayText(q.value(q.currentRow(), i));
            out << cells.join('|');
        }
        return out;
    }
};

TEST_F(MakeBankTest, WritesTheTablesTheRequiredRowsAndTheAdministrator) {
    MakeBankOptions o = options();
    o.adminName = QStringLiteral("dean");
    o.adminPassword = QStringLiteral("S3cret pw");
    const auto result = bank::makeBank(o);
    EXPECT_EQ(QDir::cleanPath(result.bankPath), QDir::cleanPath(bank()));

    QStringList tables = rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' "
                                             "AND name NOT LIKE 'sqlite_%'"));
    QStringList expected = db::tableNames();
    tables.sort();
    expected.sort();
    EXPECT_EQ(tables, expected);

    EXPECT_EQ(rows(QStringLiteral("SELECT BH, NYD FROM NYD ORDER BY BH")),
              QStringList({"12|Easy", "13|Medium", "14|Hard"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT TypeID, TypeName FROM Type ORDER BY TypeID")),
              QStringList({"1|Multi-choice", "2|Fill-in-Blank", "3|Type 3", "4|Type 4", "5|Type 5",
                           "6|Type 6"}));
    // The user management stores a permission's position in this result.
    const QStringList qx = rows(QStringLiteral("SELECT QXID FROM QX"));
    EXPECT_EQ(qx, QStringList({"0", "1"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT UserName, Password, QXID FROM YH")),
              QStringList({"dean|S3cret pw|1"}));
    for (const char* t : {"XuanZeTi", "TianKong", "JianDaTi", "YuanLiLunShu", "XiTongSheJi",
                          "XiTongCZ", "ZhangJie", "SJ", "SJT"})
        EXPECT_EQ(rows(QStringLiteral("SELECT 1 FROM %1").arg(QLatin1String(t))).size(), 0) << t;

    // Only the bank is left in DB/, and Doc/ is there for quoted documents.
    EXPECT_EQ(entries(QStringLiteral("DB")), QStringList({"TiKu.mdb"}));
    EXPECT_TRUE(QFileInfo(dir() + QStringLiteral("/Doc")).isDir());

    // Encrypted: no plain SQLite header, and another key does not open it.
    EXPECT_FALSE(readAll(bank()).startsWith("SQLite format 3"));
    db::Connection wrong;
    EXPECT_THROW(wrong.open(bank(), QStringLiteral("12345678")), db::DbError);
}

TEST_F(MakeBankTest, RefusesAnExistingBankAndReplacesItOnlyWithForce) {
    bank::makeBank(options());
    const QByteArray before = readAll(bank());
    ASSERT_FALSE(before.isEmpty());

    MakeBankOptions again = options();
    again.adminName = QStringLiteral("second");
    try {
        bank::makeBank(again);
        FAIL() << "an existing bank was overwritten";
    } catch (const MakeBankError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("already exists"))) << e.what();
        EXPECT_TRUE(e.text().contains(QStringLiteral("--force"))) << e.what();
    }
    EXPECT_EQ(readAll(bank()), before);

    again.force = true;
    bank::makeBank(again);
    EXPECT_EQ(rows(QStringLiteral("SELECT UserName FROM YH")), QStringList({"second"}));
    EXPECT_EQ(entries(QStringLiteral("DB")), QStringList({"TiKu.mdb"}));
}

// The demo's documents are made before the bank: an office that cannot run
// leaves no bank behind, and an old bank exactly as it was.
TEST_F(MakeBankTest, DemoWithoutAWorkingOfficeMakesNoBankAndKeepsTheOldOne) {
    MakeBankOptions demo = options();
    demo.demo = true;
    demo.officeProgram = dir() + QStringLiteral("/no-such-office");
    try {
        bank::makeBank(demo);
        FAIL() << "no error without an office";
    } catch (const MakeBankError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("No bank was written"))) << e.what();
    }
    EXPECT_FALSE(QFileInfo::exists(bank()));
    EXPECT_TRUE(entries(QStringLiteral("Doc")).isEmpty());

    bank::makeBank(options());
    const QByteArray before = readAll(bank());
    demo.force = true;
    EXPECT_THROW(bank::makeBank(demo), MakeBankError);
    EXPECT_EQ(readAll(bank()), before);
    EXPECT_EQ(entries(QStringLiteral("DB")), QStringList({"TiKu.mdb"}));
    EXPECT_TRUE(entries(QStringLiteral("Doc")).isEmpty());
}

TEST_F(MakeBankTest, DemoRefusesToReplaceDocumentsWithoutForce) {
    QDir(dir()).mkpath(QStringLiteral("Doc"));
    QFile own(dir() + QStringLiteral("/Doc/sonnet18.doc"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("the lecturer's own file");
    own.close();

    MakeBankOptions demo = options();
    demo.demo = true;
    demo.officeProgram = dir() + QStringLiteral("/no-such-office");
    try {
        bank::makeBank(demo);
        FAIL() << "a document in Doc/ would have been replaced";
    } catch (const MakeBankError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("sonnet18.doc"))) << e.what();
    }
    EXPECT_EQ(readAll(own.fileName()), QByteArray("the lecturer's own file"));
    EXPECT_FALSE(QFileInfo::exists(bank()));
}

TEST_F(MakeBankTest, RejectsOptionsThatCannotMakeAUsableBank) {
    MakeBankOptions blank = options();
    blank.adminName = QStringLiteral("  ");
    EXPECT_THROW(bank::makeBank(blank), bank::UsageError);

    MakeBankOptions clash = options();
    clash.demo = true;
    clash.adminName = QStringLiteral("Lecturer");
    EXPECT_THROW(bank::makeBank(clash), bank::UsageError);

    MakeBankOptions missing = options();
    missing.dir = dir() + QStringLiteral("/not/there");
    EXPECT_THROW(bank::makeBank(missing), MakeBankError);
    EXPECT_FALSE(QFileInfo::exists(missing.dir));
    EXPECT_FALSE(QFileInfo::exists(bank()));
}

TEST(MakeBankCommandLine, ReadsOptionsAndRejectsBadArguments) {
    const QString def = QStringLiteral("/opt/tolvane");
    auto cl = tools::parseCommandLine({}, def);
    EXPECT_EQ(cl.options.dir, def);
    EXPECT_EQ(cl.options.adminName, QStringLiteral("admin"));
    EXPECT_EQ(cl.options.adminPassword, QStringLiteral("admin"));
    EXPECT_FALSE(cl.options.adminNameGiven || cl.options.adminPasswordGiven || cl.options.demo ||
                 cl.options.force || cl.help);

    cl = tools::parseCommandLine({"--dir", "/srv/x", "--admin=boss", "--password", "-dash-",
                                  "--demo", "--force", "--office", "/usr/bin/soffice"},
                                 def);
    EXPECT_EQ(cl.options.dir, QStringLiteral("/srv/x"));
    EXPECT_EQ(cl.options.adminName, QStringLiteral("boss"));
    EXPECT_EQ(cl.options.adminPassword, QStringLiteral("-dash-"));
    EXPECT_TRUE(cl.options.adminNameGiven && cl.options.adminPasswordGiven);
    EXPECT_TRUE(cl.options.demo && cl.options.force);
    EXPECT_EQ(cl.options.officeProgram, QStringLiteral("/usr/bin/soffice"));
    // An empty password is a password.
    EXPECT_EQ(tools::parseCommandLine({"--password="}, def).options.adminPassword, QString(""));
    EXPECT_TRUE(tools::parseCommandLine({"-h"}, def).help);

    const struct {
        QStringList args;
        const char* says;
    } bad[] = {
        {{"--dir"}, "needs a value"},
        {{"--dir", ""}, "--dir"},
        {{"--admin", "a", "--admin", "b"}, "twice"},
        {{"--demo=yes"}, "takes no value"},
        {{"--frce"}, "Unknown option"},
        {{"-x"}, "Unknown option"},
        {{"stray"}, "Unexpected argument"},
    };
    for (const auto& b : bad) {
        try {
            tools::parseCommandLine(b.args, def);
            ADD_FAILURE() << "accepted " << b.args.join(' ').toStdString();
        } catch (const bank::UsageError& e) {
            EXPECT_TRUE(e.text().contains(QLatin1String(b.says)))
                << b.args.join(' ').toStdString() << ": " << e.what();
        }
    }
}

TEST(MakeBankCommandLine, ExitCodesAndMessages) {
    QTemporaryDir tmp;
    QString outText, errText;
    QTextStream out(&outText), err(&errText);

    EXPECT_EQ(tools::runMakeBank({"--bogus"}, tmp.path(), out, err), 2);
    EXPECT_TRUE(errText.contains(QStringLiteral("--bogus")));
    EXPECT_TRUE(errText.contains(QStringLiteral("--help")));
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/DB")));

    errText.clear();
    EXPECT_EQ(tools::runMakeBank({"--password", "pw"}, tmp.path(), out, err), 0)
        << errText.toStdString();
    // Tells which administrator it made; a password given is not echoed.
    EXPECT_TRUE(outText.contains(QStringLiteral("\"admin\" (default)"))) << outText.toStdString();
    EXPECT_FALSE(outText.contains(QStringLiteral("\"pw\""))) << outText.toStdString();

    EXPECT_EQ(tools::runMakeBank({}, tmp.path(), out, err), 1);
    EXPECT_TRUE(errText.contains(QStringLiteral("already exists"))) << errText.toStdString();

    outText.clear();
    EXPECT_EQ(tools::runMakeBank({"--help"}, tmp.path(), out, err), 0);
    EXPECT_TRUE(outText.startsWith(QStringLiteral("Usage: tolvane-makebank")));
}

// Without --dir the bank goes beside the program itself when its folder holds
// DB/ (a portable copy).
TEST(MakeBankProgram, WritesBesideItselfByDefault) {
    QTemporaryDir tmp;
    ASSERT_TRUE(QDir(tmp.path()).mkpath(QStringLiteral("DB")));
    const QString exe = tmp.path() + QStringLiteral("/tolvane-makebank");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TOLVANE_MAKEBANK_EXE), exe));

    QProcess p;
    p.start(exe, {});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString bank = tmp.path() + QStringLiteral("/DB/TiKu.mdb");
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardOutput()).contains(bank));
    db::Connection c;
    c.open(bank);
    db::Query q(&c);
    q.setSql(QStringLiteral("SELECT Password, QXID FROM YH WHERE UserName='admin'"));
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.fieldText(QStringLiteral("Password")), QStringLiteral("admin"));
    EXPECT_EQ(q.fieldInt(QStringLiteral("QXID")), 1);

    p.start(exe, {});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError())
                    .contains(QStringLiteral("already exists")));
}

} // namespace
