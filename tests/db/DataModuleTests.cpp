#include "db/DataModule.h"
#include "db/Query.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

using namespace tolvane;

TEST(DataModule, OpensTheBankBesideTheWorkingDirectory) {
    test::MessageRecorder messages;
    test::TestBank bank;
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(db::Zenlo_DM->TiKu_ADOC.isOpen());
    EXPECT_EQ(db::TZenlo_DM::dataSourceOf(db::Zenlo_DM->ConnectionString), "DB/TiKu.mdb");
    EXPECT_EQ(db::TZenlo_DM::passwordOf(db::Zenlo_DM->ConnectionString), "40517263");
    db::Zenlo_DM->DataModuleDestroy();
    EXPECT_FALSE(db::Zenlo_DM->TiKu_ADOC.isOpen());
    db::Query q(&db::bank());
    q.setSql("SELECT 1");
    EXPECT_THROW(q.open(), db::DbError) << "a closed connection reports, not crashes";
}

TEST(DataModule, MissingFileAndWrongKeyAreReportedAndNothingIsCreated) {
    test::TestBank bank(false);
    {
        test::MessageRecorder messages;
        QFile::rename("DB/TiKu.mdb", "DB/elsewhere.mdb");
        db::TZenlo_DM dm;
        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages.last().icon, MsgIcon::Error);
        EXPECT_TRUE(messages.last().text.contains("Could not find file"))
            << messages.last().text.toStdString();
        EXPECT_FALSE(dm.TiKu_ADOC.isOpen());
        EXPECT_FALSE(QFile::exists("DB/TiKu.mdb")) << "opening never makes an empty bank";
        QFile::rename("DB/elsewhere.mdb", "DB/TiKu.mdb");
    }
    {
        db::Connection wrong;
        EXPECT_THROW(wrong.open("DB/TiKu.mdb", "12345678"), db::DbError);
        EXPECT_FALSE(wrong.isOpen());
    }
    // Without the key the file is no database at all.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2("DB/TiKu.mdb", &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
              SQLITE_NOTADB);
    sqlite3_close(raw);
    {
        QFile f("DB/TiKu.mdb");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    }
    test::MessageRecorder messages;
    db::TZenlo_DM dm;
    EXPECT_EQ(messages.count(), 1);
    EXPECT_FALSE(dm.TiKu_ADOC.isOpen());
}
