#include "tests/support/TestBank.h"

#include "core/AppPaths.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>

namespace tolvane::test {

TestBank::TestBank(bool openDataModule) {
    const QString root = m_dir.path();
    QDir(root).mkpath(QStringLiteral("DB"));
    QDir(root).mkpath(QStringLiteral("Doc"));
    {
        db::Connection c;
        c.create(root + QStringLiteral("/DB/TiKu.mdb"));
        db::createSchema(c);
        db::insertRequiredRows(c);
        c.execScript(QStringLiteral("INSERT INTO YH (UserName, Password, QXID) VALUES "
                                    "('admin', 'admin', 1)"));
    }
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(root);
    AppPaths::setExeDirOverride(root);
    if (openDataModule) {
        m_dm = std::make_unique<db::TZenlo_DM>();
        db::Zenlo_DM = m_dm.get();
    }
}

TestBank::~TestBank() {
    m_dm.reset();
    db::Zenlo_DM = nullptr;
    AppPaths::setExeDirOverride(QString());
    QDir::setCurrent(m_oldCwd);
}

QString TestBank::dir() const {
    return m_dir.path() + '/';
}
QString TestBank::bankPath() const {
    return dir() + QStringLiteral("DB/TiKu.mdb");
}

db::Connection& TestBank::connection() {
    return db::bank();
}

void TestBank::exec(const QString& sql) {
    db::Query q(&connection());
    q.setSql(sql);
    q.execSql();
}

qint64 TestBank::count(const QString& sql) {
    db::Query q(&connection());
    q.setSql(sql);
    q.open();
    return q.value(0, 0).toLongLong();
}

QString TestBank::text(const QString& sql) {
    db::Query q(&connection());
    q.setSql(sql);
    q.open();
    return db::Query::displayText(q.value(0, 0));
}

QStringList TestBank::rows(const QString& sql) {
    db::Query q(&connection());
    q.setSql(sql);
    q.open();
    QStringList out;
    for (; !q.eof(); q.next()) {
        QStringList fields;
        for (const QString& c : q.columnNames())
            fields << q.fieldText(c);
        out << fields.join('|');
    }
    return out;
}

void TestBank::addDoc(const QString& name, const QByteArray& content) {
    QFile f(dir() + QStringLiteral("Doc/") + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
}

} // namespace tolvane::test
