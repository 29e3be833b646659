#include "db/Schema.h"

#include "db/Query.h"

namespace tolvane::db {

// Text compares without regard to letter case, as the bank always has.
#define TXT " TEXT COLLATE NOCASE"
#define KEY " INTEGER PRIMARY KEY AUTOINCREMENT"

QStringList schemaStatements() {
    return {
        QStringLiteral("CREATE TABLE XuanZeTi (BH" KEY ", TypeID INTEGER, TM" TXT ", A" TXT
                       ", B" TXT ", C" TXT ", D" TXT ", DA" TXT ", CZ" TXT ", NY INTEGER)"),
        QStringLiteral("CREATE TABLE TianKong (BH" KEY ", TypeID INTEGER, TM" TXT ", K1" TXT
                       ", K2" TXT ", K3" TXT ", K4" TXT ", K5" TXT
                       ", YTS INTEGER, NY INTEGER, CZ" TXT ")"),
        QStringLiteral("CREATE TABLE JianDaTi (BH" KEY ", TypeID INTEGER, TM" TXT ", DA" TXT
                       ", NY INTEGER, CZ" TXT ")"),
        QStringLiteral("CREATE TABLE YuanLiLunShu (BH" KEY ", TypeID INTEGER, TM" TXT ", DA" TXT
                       ", NY INTEGER, CZ" TXT ")"),
        QStringLiteral("CREATE TABLE XiTongSheJi (BH" KEY ", TypeID INTEGER, TM" TXT ", DA" TXT
                       ", NY INTEGER, CZ" TXT ", DABG" TXT ", TMBG" TXT ")"),
        QStringLiteral("CREATE TABLE XiTongCZ (BH" KEY ", TypeID INTEGER, TM" TXT
                       ", NY INTEGER, CZ" TXT ", W1DA" TXT ", W1DABG" TXT ", W2DA" TXT
                       ", W2DABG" TXT ", W3DA" TXT ", W3DABG" TXT ", W4DA" TXT ", W4DABG" TXT
                       ", W5DA" TXT ", W5DABG" TXT ", WTS INTEGER, TMBG" TXT ")"),
        QStringLiteral("CREATE TABLE ZhangJie (ID" KEY ", ZJ" TXT ", ZJName" TXT ")"),
        QStringLiteral("CREATE TABLE NYD (BH INTEGER PRIMARY KEY, NYD" TXT ")"),
        QStringLiteral("CREATE TABLE Type (TypeID INTEGER PRIMARY KEY, TypeName" TXT ")"),
        // No index on the name: the login lists the users in the order they
        // were stored, and the user management keeps the names unique.
        QStringLiteral("CREATE TABLE YH (UserName" TXT ", Password TEXT, QXID INTEGER)"),
        QStringLiteral("CREATE TABLE QX (QXID INTEGER PRIMARY KEY, QXM" TXT ")"),
        // Identifiers have a resolution of one second: a second paper saved
        // in the same second must fail rather than mix its questions with
        // the first one's.
        QStringLiteral("CREATE TABLE SJ (SJDH" TXT " UNIQUE, CJLS" TXT ", ND" TXT ")"),
        QStringLiteral("CREATE TABLE SJT (SJDH" TXT ", TypeID INTEGER, BH INTEGER, FZ INTEGER)"),
    };
}

#undef TXT
#undef KEY

QStringList tableNames() {
    return {
        QStringLiteral("XuanZeTi"),     QStringLiteral("TianKong"),    QStringLiteral("JianDaTi"),
        QStringLiteral("YuanLiLunShu"), QStringLiteral("XiTongSheJi"), QStringLiteral("XiTongCZ"),
        QStringLiteral("ZhangJie"),     QStringLiteral("NYD"),         QStringLiteral("Type"),
        QStringLiteral("YH"),           QStringLiteral("QX"),          QStringLiteral("SJ"),
        QStringLiteral("SJT")};
}

QStringList indexStatements() {
    QStringList statements;
    for (const QString& table : tableNames().mid(0, 6))
        statements << QStringLiteral("CREATE INDEX IF NOT EXISTS %1_NY ON %1 (NY)").arg(table);
    return statements;
}

void ensureIndexes(Connection& connection) {
    try {
        for (const QString& statement : indexStatements())
            connection.execScript(statement);
    } catch (const DbError&) {
    }
}

void createSchema(Connection& connection) {
    for (const QString& statement : schemaStatements() + indexStatements())
        connection.execScript(statement);
}

QString chapterItemText(const QString& code, const QString& name) {
    return code + QStringLiteral("  ") + name;
}

QString permissionName(int qxid) {
    return qxid == 1 ? QStringLiteral("Administrator") : QStringLiteral("Lecturer");
}

void insertRequiredRows(Connection& connection) {
    Query q(&connection);
    q.setSql(QStringLiteral("INSERT INTO NYD (BH, NYD) VALUES (:BH, :NYD)"));
    const struct {
        int bh;
        const char* name;
    } levels[] = {{12, "Easy"}, {13, "Medium"}, {14, "Hard"}};
    for (const auto& l : levels) {
        q.bindInt(QStringLiteral("BH"), l.bh);
        q.bindText(QStringLiteral("NYD"), QString::fromLatin1(l.name));
        q.execSql();
    }
    q.setSql(QStringLiteral("INSERT INTO Type (TypeID, TypeName) VALUES (:ID, :Name)"));
    const char* types[] = {"Multi-choice", "Fill-in-Blank", "Type 3", "Type 4", "Type 5", "Type 6"};
    for (int i = 0; i < 6; ++i) {
        q.bindInt(QStringLiteral("ID"), i + 1);
        q.bindText(QStringLiteral("Name"), QString::fromLatin1(types[i]));
        q.execSql();
    }
    // Stored in this order: a user's QXID is the position of the chosen
    // permission name in "SELECT QXM FROM QX".
    q.setSql(QStringLiteral("INSERT INTO QX (QXID, QXM) VALUES (:ID, :Name)"));
    for (int id = 0; id <= 1; ++id) {
        q.bindInt(QStringLiteral("ID"), id);
        q.bindText(QStringLiteral("Name"), permissionName(id));
        q.execSql();
    }
}

} // namespace tolvane::db
