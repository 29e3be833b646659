#include "app/Main_Form.h"
#include "core/RateProcess_Form.h"
#include "core/Session.h"
#include "papers/PaperSave.h"
#include "tests/autogen/BankFill.h"
#include "tests/support/MessageRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

using namespace tolvane;
using autogen::TAutoGenPage;
using widgets::TFlatSpinEditInteger;

namespace {

struct PageFixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TRateProcess_F> progress = std::make_unique<TRateProcess_F>();
    std::unique_ptr<TMain_F> main;

    PageFixture() {
        CurrentUserName = "admin";
        CurrentPermission = 1;
        RateProcess_F = progress.get();
        TRateProcess_F::setFinishPauseMsForTests(10);
        bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics'), ('1.1', 'Sounds'), "
                  "('1.2', 'Words'), ('2', 'Grammar'), ('2.1', 'Tenses')");
        const struct {
            const char* table;
            int typeId;
        } tables[] = {{"XuanZeTi", 1}, {"YuanLiLunShu", 5}, {"XiTongSheJi", 4}};
        for (const auto& t : tables)
            for (const char* section : {"1.1  Sounds", "1.2  Words", "2.1  Tenses"})
                test::addQuestion(bank, t.table, t.typeId, 0, section, 12);
        test::addQuestion(bank, "XuanZeTi", 1, 0, "1.1  Sounds", 14);
        test::addQuestion(bank, "XuanZeTi", 1, 0, "1.1  Sounds", 15);
        main = std::make_unique<TMain_F>();
        main->show();
    }
    ~PageFixture() {
        main.reset();
        RateProcess_F = nullptr;
        TRateProcess_F::setFinishPauseMsForTests(1000);
    }
    TAutoGenPage& page() { return *main->AutoGenPage; }
    TFlatSpinEditInteger* edit(const QString& name) {
        auto* e = main->findChild<TFlatSpinEditInteger*>(name);
        EXPECT_TRUE(e) << name.toStdString();
        return e;
    }
    QString label(const QString& name) {
        auto* l = main->findChild<QLabel*>(name);
        EXPECT_TRUE(l) << name.toStdString();
        return l ? l->text() : QString();
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    QList<QTreeWidgetItem*> nodes() {
        QList<QTreeWidgetItem*> all;
        for (int c = 0; c < main->ZDZJ_CT->topLevelItemCount(); ++c) {
            all << main->ZDZJ_CT->topLevelItem(c);
            for (int s = 0; s < all.back()->childCount(); ++s)
                all << main->ZDZJ_CT->topLevelItem(c)->child(s);
        }
        return all;
    }
    QStringList rows(const QString& sql) { return bank.rows(sql); }
};

} // namespace

TEST(AutoGenPage, OpeningCountsTheBankAndTicksEveryNode) {
    PageFixture f;
    TMain_F& m = *f.main;
    f.edit("XZTRY_FSE")->setValue(3);
    f.main->GeneratedTest = {{1, 1}};
    f.click(m.ZDSJ_FBtn);
    EXPECT_EQ(m.SJ_PC->currentWidget(), m.ZDSJ_TS);
    EXPECT_EQ(m.Label1->text(), "Test paper auto-Generation");
    EXPECT_TRUE(m.GeneratedTest.isEmpty());
    EXPECT_EQ(f.messages.count(), 0);

    const QStringList counts{"XZTRY_L",  "XZTZD_L",   "XZTN_L", "XZTG_L",  "YLLSTRY_L",
                             "YLLSTG_L", "XTSJTRY_L", "TKTG_L", "XTCZTN_L"};
    const QStringList expected{"3", "0", "1", "4", "3", "3", "3", "0", "0"};
    for (int i = 0; i < counts.size(); ++i)
        EXPECT_EQ(f.label(counts[i]), expected[i]) << counts[i].toStdString();
    for (QTreeWidgetItem* node : f.nodes())
        EXPECT_EQ(m.ZDZJ_CT->GetNodeState(node), widgets::csChecked) << node->text(0).toStdString();

    // The captions and the controls the lecturer works with.
    EXPECT_EQ(f.page().Info_GB->title(), "Question Bank Info:");
    EXPECT_EQ(f.page().Setup_GB->title(), "Test Paper Setup:");
    EXPECT_EQ(f.page().ZDSC_FBtn->text(), "Generate Test");
    EXPECT_EQ(f.page().ZDYLSJ_FBtn->text(), "Preview Test");
    EXPECT_EQ(f.page().YLDA_FBtn->text(), "Answers");
    EXPECT_EQ(f.page().ZDBCSJ_FBtn->text(), "Save Test");
    EXPECT_EQ(f.edit("ZDZF_FSE")->value(), 100);
    for (const char* row : {"XZT", "TKT", "JDT", "YLLST", "XTSJT", "XTCZT"})
        for (const char* end : {"RY_FSE", "ZD_FSE", "N_FSE", "ZDFZ_FSE"})
            f.edit(QString(row) + end);

    // A section unticked, the page left and opened again: ticked again, and
    // the request kept.
    QTreeWidgetItem* section = m.ZDZJ_CT->topLevelItem(0)->child(1);
    m.ZDZJ_CT->ToggleNode(section);
    EXPECT_EQ(f.page().checkedSections(), QStringList({"1.1  Sounds", "2.1  Tenses"}));
    f.click(m.XYSJ_FBtn);
    f.click(m.ZDSJ_FBtn);
    EXPECT_EQ(m.ZDZJ_CT->GetNodeState(section), widgets::csChecked);
    EXPECT_EQ(f.page().checkedSections(),
              QStringList({"1.1  Sounds", "1.2  Words", "2.1  Tenses"}));
    EXPECT_EQ(f.edit("XZTRY_FSE")->value(), 3);
}

TEST(AutoGenPage, TheMarkHintShowsTheMarksLeft) {
    PageFixture f;
    f.click(f.main->ZDSJ_FBtn);
    const struct {
        const char* count;
        const char* mark;
        const char* hint;
    } cases[] = {
        {"0", "0", "Total 100 Mark, 100 Mark left."},
        {"10", "12", "Total 100 Mark, -20 Mark left."},
        {"1.5", "12", "Total 100 Mark, 100 Mark left."},
        {"", "12", "Total 100 Mark, 100 Mark left."},
    };
    for (const auto& c : cases) {
        f.edit("XZTRY_FSE")->setText(c.count);
        f.edit("XZTZDFZ_FSE")->setText(c.mark);
        // The hint is set on whichever mark edit the mouse moves over.
        TFlatSpinEditInteger* over = f.edit("XTCZTZDFZ_FSE");
        QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), over->mapToGlobal(QPointF(4, 4)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(over, &move);
        EXPECT_EQ(over->toolTip(), c.hint) << c.count;
    }
}

TEST(AutoGenPage, GenerateAndSaveStoreThePaperWithTheMarksOfItsRows) {
    PageFixture f;
    TMain_F& m = *f.main;
    TAutoGenPage& p = f.page();
    f.click(m.ZDSJ_FBtn);
    f.click(p.ZDBCSJ_FBtn);
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "Test not generated yet, please generate test first!");
    EXPECT_EQ(f.messages.last().caption, "No test generated");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    f.messages.clear();

    // Type 4 is the row of YuanLiLunShu (type code 5), Type 5 the row of
    // XiTongSheJi (type code 4).
    f.edit("XZTRY_FSE")->setValue(2);
    f.edit("XZTZDFZ_FSE")->setValue(10);
    f.edit("YLLSTRY_FSE")->setValue(1);
    f.edit("YLLSTZDFZ_FSE")->setValue(30);
    f.edit("XTSJTRY_FSE")->setValue(1);
    f.edit("XTSJTZDFZ_FSE")->setValue(50);
    f.click(p.ZDSC_FBtn);
    EXPECT_EQ(f.messages.texts(), QStringList{"Test paper successfully generated!"});
    EXPECT_FALSE(f.progress->isVisible());
    ASSERT_EQ(m.GeneratedTest.size(), 4);
    QStringList drawn;
    for (const GeneratedEntry& e : m.GeneratedTest)
        drawn << QString("%1|%2").arg(e.TypeID).arg(e.BH);
    EXPECT_EQ(m.GeneratedTest[0].TypeID, 1);
    EXPECT_EQ(m.GeneratedTest[1].TypeID, 1);
    EXPECT_EQ(m.GeneratedTest[2].TypeID, 5);
    EXPECT_EQ(m.GeneratedTest[3].TypeID, 4);

    f.messages.clear();
    const QDateTime before = QDateTime::currentDateTime();
    f.click(p.ZDBCSJ_FBtn);
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "Test successfully saved!");
    EXPECT_EQ(f.messages.last().caption, "Save");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Information);
    const QStringList papers = f.rows("SELECT * FROM SJ");
    ASSERT_EQ(papers.size(), 1);
    const QString id = papers[0].section('|', 0, 0);
    EXPECT_TRUE(id == papers::paperIdentifier(before) ||
                id == papers::paperIdentifier(QDateTime::currentDateTime()))
        << id.toStdString();
    // Weight 2 x 10 + 30 + 50 = 100.
    EXPECT_EQ(papers[0], id + "|admin|Easy");
    const QStringList marks{"10", "10", "30", "50"};
    QStringList expected;
    for (int i = 0; i < 4; ++i)
        expected << id + "|" + drawn[i] + "|" + marks[i];
    EXPECT_EQ(f.rows("SELECT * FROM SJT ORDER BY rowid"), expected);

    // Saving again, a second later, stores a second paper; the drawn paper
    // stays until the page is opened again.
    QThread::msleep(1100);
    f.click(p.ZDBCSJ_FBtn);
    EXPECT_EQ(f.rows("SELECT SJDH FROM SJ").size(), 2);
    EXPECT_EQ(f.rows("SELECT SJDH FROM SJT").size(), 8);
    f.click(m.ZDSJ_FBtn);
    f.messages.clear();
    f.click(p.ZDBCSJ_FBtn);
    EXPECT_EQ(f.messages.texts(),
              QStringList{"Test not generated yet, please generate test first!"});
}

TEST(AutoGenPage, APairIsDrawnToOneRequestAndSavedTogether) {
    PageFixture f;
    TMain_F& m = *f.main;
    TAutoGenPage& p = f.page();
    f.click(m.ZDSJ_FBtn);
    EXPECT_EQ(f.edit("RecentPapers_FSE")->value(), 0);
    EXPECT_EQ(f.edit("Overlap_FSE")->value(), 30);
    auto* pairBox = m.findChild<QCheckBox*>("PaperB_CheckBox");
    ASSERT_TRUE(pairBox);
    EXPECT_EQ(pairBox->text(), "Also draw paper B");
    EXPECT_FALSE(pairBox->isChecked());

    // The bank holds three easy multiple-choice questions in three sections
    // (and two of other difficulties): one for A, one for B, one left.
    f.edit("XZTRY_FSE")->setValue(1);
    f.edit("XZTZDFZ_FSE")->setValue(100);
    pairBox->setChecked(true);
    f.edit("Overlap_FSE")->setValue(0);
    f.click(p.ZDSC_FBtn);
    ASSERT_EQ(m.GeneratedTest.size(), 1);
    ASSERT_EQ(m.GeneratedTestB.size(), 1);
    EXPECT_TRUE(m.GeneratedTestB[0].isFilled());
    EXPECT_FALSE(m.GeneratedTest[0] == m.GeneratedTestB[0]);
    EXPECT_EQ(f.messages.texts(),
              QStringList({"Test paper successfully generated!",
                           "Paper B shares 0 of the 1 question of paper A (at most 0 allowed)."}))
        << f.messages.texts().join(" | ").toStdString();

    // A refused question row of B leaves neither paper.
    f.bank.exec("CREATE TRIGGER refuse BEFORE INSERT ON SJT WHEN NEW.SJDH LIKE '% (B)' "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    f.messages.clear();
    f.click(p.ZDBCSJ_FBtn);
    EXPECT_EQ(f.messages.texts(),
              QStringList{"Unknow error in saving test, database submission failed!"});
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJ"), 0);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJT"), 0);

    f.bank.exec("DROP TRIGGER refuse");
    f.messages.clear();
    f.click(p.ZDBCSJ_FBtn);
    EXPECT_EQ(f.messages.texts(), QStringList{"Test successfully saved!"});
    const QStringList papers = f.rows("SELECT SJDH, ND FROM SJ ORDER BY rowid");
    ASSERT_EQ(papers.size(), 2);
    const QString a = papers[0].section('|', 0, 0);
    EXPECT_EQ(papers[1], a + " (B)|Easy");
    EXPECT_EQ(f.rows("SELECT SJDH, TypeID, BH, FZ FROM SJT ORDER BY rowid"),
              QStringList({QString("%1|1|%2|100").arg(a).arg(m.GeneratedTest[0].BH),
                           QString("%1 (B)|1|%2|100").arg(a).arg(m.GeneratedTestB[0].BH)}));

    // Both questions are now recent: with the last paper left out, A takes
    // the one question left and B reuses the least recently used.
    QThread::msleep(1100);
    f.click(m.ZDSJ_FBtn);
    EXPECT_TRUE(m.GeneratedTestB.isEmpty());
    EXPECT_EQ(f.label("XZTRY_L"), "3");
    f.edit("RecentPapers_FSE")->setValue(2);
    // The statistics tell how many questions are fresh.
    EXPECT_EQ(f.label("XZTRY_L"), "3 (1 fresh)");
    EXPECT_EQ(f.label("XZTN_L"), "1 (1 fresh)");
    EXPECT_EQ(f.label("XZTG_L"), "4 (2 fresh)");
    EXPECT_EQ(f.label("YLLSTRY_L"), "3 (3 fresh)");
    f.messages.clear();
    f.click(p.ZDSC_FBtn);
    ASSERT_EQ(m.GeneratedTest.size(), 1);
    EXPECT_EQ(f.bank.count(QString("SELECT COUNT(*) FROM SJT WHERE TypeID=1 AND BH=%1")
                               .arg(m.GeneratedTest[0].BH)),
              0);
    ASSERT_EQ(f.messages.count(), 2);
    EXPECT_TRUE(f.messages.last().text.contains(
        "Paper B: 1 place of the paper had to take a question used in the last 2 papers"))
        << f.messages.last().text.toStdString();
}

// The bank holds 3 easy and 1 hard multiple-choice question; 3 of each are
// asked for at 10 marks. The request weighs 30 + 90 = 120 ("Medium"); the
// paper saved holds 3 easy and 1 hard question, 30 + 30 = 60: "Easy".
TEST(AutoGenPage, AShortBanksPaperIsSavedWithTheDifficultyOfWhatItHolds) {
    PageFixture f;
    TMain_F& m = *f.main;
    TAutoGenPage& p = f.page();
    f.click(m.ZDSJ_FBtn);
    f.edit("XZTRY_FSE")->setValue(3);
    f.edit("XZTN_FSE")->setValue(3);
    f.edit("XZTZDFZ_FSE")->setValue(10);
    f.edit("ZDZF_FSE")->setValue(60);
    f.click(p.ZDSC_FBtn);
    ASSERT_EQ(m.GeneratedTest.size(), 6);
    int filled = 0;
    for (const GeneratedEntry& e : m.GeneratedTest)
        filled += e.isFilled() ? 1 : 0;
    ASSERT_EQ(filled, 4);

    f.messages.clear();
    f.click(p.ZDBCSJ_FBtn);
    EXPECT_EQ(f.messages.texts(), QStringList{"Test successfully saved!"});
    const QStringList papers = f.rows("SELECT CJLS, ND FROM SJ");
    EXPECT_EQ(papers, QStringList{"admin|Easy"});
    EXPECT_EQ(f.rows("SELECT COUNT(*) FROM SJT"), QStringList{"4"});
}
