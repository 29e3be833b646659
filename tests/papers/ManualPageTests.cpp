#include "app/Main_Form.h"
#include "core/Session.h"
#include "papers/ManualPaper.h"
#include "papers/PaperSave.h"
#include "tests/autogen/BankFill.h"
#include "tests/support/MessageRecorder.h"

#include <QTest>
#include <gtest/gtest.h>

#include <limits>

using namespace tolvane;
using papers::TManualGenPage;

TEST(ManualPaper, MarkCheckInRowOrderThenTheTotal) {
    const struct {
        const char* name;
        std::array<int, 6> counts, marks;
        int total;
        const char* text; // "" when the marks are right
    } cases[] = {
        {"nothing asked", {}, {}, 0, ""},
        {"fill-in-blank without a mark comes after multiple choice",
         {0, 2, 0, 0, 0, 1},
         {0, 0, 0, 0, 0, 0},
         0,
         "Please set mark for Fill-in-Blank question!"},
        {"multiple choice first",
         {1, 1, 0, 0, 0, 0},
         {},
         0,
         "Please set mark for Multiple choice question!"},
        {"type 4 row", {0, 0, 0, 3, 0, 0}, {}, 0, "Please set mark for Type 4 question!"},
        {"type 6 row", {0, 0, 0, 0, 0, 3}, {}, 0, "Please set mark for Type 6 question!"},
        {"a count of 0 needs no mark", {2, 0, 0, 0, 0, 0}, {50, 0, 0, 0, 0, 0}, 100, ""},
        {"total differs",
         {2, 0, 0, 0, 0, 0},
         {50, 0, 0, 0, 0, 0},
         99,
         "Total Mark incorrect, please re-enter!"},
        // 65536 x 65536 wraps to 0 in 32 bits.
        {"no wrapping",
         {65536, 0, 0, 0, 0, 0},
         {65536, 0, 0, 0, 0, 0},
         0,
         "Total Mark incorrect, please re-enter!"},
        {"negative mark",
         {2, 1, 0, 0, 0, 0},
         {10, -20, 0, 0, 0, 0},
         0,
         "The mark of a Fill-in-Blank question cannot be negative."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        papers::ManualMarks marks{c.counts, c.marks, c.total};
        const papers::MarkProblem problem = papers::checkManualMarks(marks);
        EXPECT_EQ(problem.text, c.text);
        if (QString(c.text).startsWith("Please")) {
            EXPECT_EQ(problem.caption, "Mark not entered");
        } else if (*c.text) {
            EXPECT_EQ(problem.caption, "Total mark error");
        }
    }
}

TEST(ManualPaper, WeightFromEachQuestionsOwnDifficulty) {
    const struct {
        QStringList difficulties;
        QList<int> marks;
        const char* text;
    } cases[] = {
        {QStringList(5, "Easy"), QList<int>(5, 20), "Easy"},     // 100
        {QStringList(5, "Medium"), QList<int>(5, 11), "Medium"}, // 110
        {QStringList(10, "Hard"), QList<int>(10, 10), "Hard"},   // 300
        {{"Easy", "Hard", "Unknown"}, {10, 30, 500}, "Easy"},    // 100: no name, no weight
    };
    for (const auto& c : cases)
        EXPECT_EQ(papers::paperDifficultyText(papers::manualWeight(c.difficulties, c.marks)),
                  c.text);
    EXPECT_EQ(papers::manualWeight(QStringList(3, "Hard"),
                                   QList<int>(3, std::numeric_limits<int>::max())),
              qint64(9) * std::numeric_limits<int>::max());
}

namespace {

struct ManualFixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TMain_F> main;

    ManualFixture() {
        CurrentUserName = "admin";
        CurrentPermission = 1;
        bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics'), ('1.1', 'Sounds'), "
                  "('2', 'Grammar'), ('10', 'Tenth'), ('10.1', 'Ten one')");
        test::addQuestion(bank, "XuanZeTi", 1, 1, "1.1  Sounds", 12);
        test::addQuestion(bank, "XuanZeTi", 1, 2, "1  Basics", 13);
        test::addQuestion(bank, "XuanZeTi", 1, 3, "1  Basics", 14);
        test::addQuestion(bank, "XuanZeTi", 1, 4, "2  Grammar", 12);
        test::addQuestion(bank, "XuanZeTi", 1, 5, "1.1  Sounds", 15); // no such difficulty
        test::addQuestion(bank, "TianKong", 2, 1, "1.1  Sounds", 12);
        main = std::make_unique<TMain_F>();
        main->show();
        QTest::mouseClick(main->SDSJ_FBtn, Qt::LeftButton);
    }
    TManualGenPage& page() { return *main->ManualGenPage; }
    QTreeWidgetItem* node(const QString& text) {
        const auto found = main->SDZJ_CT->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }
    // Clicks a node's text: selects it, and lists its questions if ticked.
    void clickText(const QString& text) {
        main->SDZJ_CT->expandAll();
        const QRect r = main->SDZJ_CT->visualItemRect(node(text));
        QTest::mouseClick(main->SDZJ_CT->viewport(), Qt::LeftButton, {},
                          QPoint(r.right() - 4, r.center().y()));
    }
    // Selects a node and toggles it with Space, as the lecturer does.
    void tick(const QString& text) {
        main->SDZJ_CT->setCurrentItem(node(text));
        QTest::keyClick(main->SDZJ_CT, Qt::Key_Space);
    }
    void chooseType(int button) { QTest::mouseClick(page().TypeButtons[button], Qt::LeftButton); }
    // The grid's rows as "ID|Type|Difficulty".
    QStringList grid() {
        QStringList rows;
        db::Query* q = page().ST_DBG->query();
        for (int r = 0; q && r < q->recordCount(); ++r)
            rows << QString("%1|%2|%3")
                        .arg(db::Query::displayText(q->value(r, 0)),
                             db::Query::displayText(q->value(r, 1)),
                             db::Query::displayText(q->value(r, 4)));
        return rows;
    }
    void add() { QTest::mouseClick(page().JRSJ_FBtn, Qt::LeftButton); }
    void save() { QTest::mouseClick(page().BCSJ_FBtn, Qt::LeftButton); }
    QStringList rows(const QString& sql) { return bank.rows(sql); }
};

} // namespace

TEST(ManualPage, BrowsesTheTickedSectionOrChapterOfTheChosenType) {
    ManualFixture f;
    TManualGenPage& p = f.page();
    EXPECT_EQ(f.main->SJ_PC->currentWidget(), f.main->SDSJ_TS);
    EXPECT_TRUE(p.TypeButtons[0]->isChecked());
    EXPECT_EQ(p.TypeButtons[0]->text(), "Multiple-Choice");
    EXPECT_EQ(p.QuestionType_GB->title(), "Question Type:");
    EXPECT_EQ(p.ST_DBG->query()->columnNames(),
              QStringList({"ID", "Type", "Question", "From_Chapter", "Difficulty"}));
    EXPECT_TRUE(f.grid().isEmpty());
    // The buttons carry the codes the bank gives their type names.
    EXPECT_EQ(p.typeCodeOf(3), 5);
    EXPECT_EQ(p.typeCodeOf(4), 4);

    // A section: only its questions with a known difficulty.
    f.tick("1.1  Sounds");
    EXPECT_EQ(f.grid(), QStringList{"1|1|Easy"});
    // Unticking the selected node empties the grid.
    f.tick("1.1  Sounds");
    EXPECT_TRUE(f.grid().isEmpty());
    // A chapter: its own questions and those of its sections.
    f.tick("1  Basics");
    EXPECT_EQ(f.grid(), QStringList({"1|1|Easy", "2|1|Medium", "3|1|Hard"}));
    f.chooseType(1);
    EXPECT_EQ(f.grid(), QStringList{"1|2|Easy"});
    // Clicking the text of a ticked node lists it.
    f.chooseType(0);
    f.clickText("1.1  Sounds");
    EXPECT_EQ(f.grid(), QStringList{"1|1|Easy"});

    // An unticked node selected, another type chosen: the grid stays.
    f.chooseType(0);
    f.tick("2  Grammar");
    EXPECT_EQ(f.grid(), QStringList{"4|1|Easy"});
    f.main->SDZJ_CT->setCurrentItem(f.node("10  Tenth"));
    f.chooseType(1);
    EXPECT_EQ(f.grid(), QStringList{"4|1|Easy"});
}

// Chapter 1 holds the questions whose chapter code is 1 or begins with
// "1.", not those of chapter 10; a section is found whatever the letter case
// its questions were filed with.
TEST(ManualPage, AChapterShowsItsOwnQuestionsAndASectionIgnoresLetterCase) {
    ManualFixture f;
    test::addQuestion(f.bank, "JianDaTi", 3, 11, "1  Basics", 12);
    test::addQuestion(f.bank, "JianDaTi", 3, 12, "1.1  Sounds", 12);
    test::addQuestion(f.bank, "JianDaTi", 3, 13, "1.1  SOUNDS", 12);
    test::addQuestion(f.bank, "JianDaTi", 3, 14, "10  Tenth", 12);
    test::addQuestion(f.bank, "JianDaTi", 3, 15, "10.1  Ten one", 12);
    test::addQuestion(f.bank, "JianDaTi", 3, 16, "2  Grammar", 12);
    f.chooseType(2);
    const struct {
        const char* node;
        QStringList ids;
    } cases[] = {
        {"1  Basics", {"11", "12", "13"}},
        {"1.1  Sounds", {"12", "13"}},
        {"10  Tenth", {"14", "15"}},
        {"10.1  Ten one", {"15"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        f.tick(c.node);
        QStringList ids;
        for (const QString& row : f.grid())
            ids << row.section('|', 0, 0);
        ids.sort();
        EXPECT_EQ(ids, c.ids);
        f.tick(c.node);
        EXPECT_TRUE(f.grid().isEmpty());
    }
    EXPECT_EQ(papers::chapterFilter("100  Hundredth"), "100");
    EXPECT_EQ(papers::chapterFilter(" 1  Basics"), "1");
}

TEST(ManualPage, AssemblesChecksAndSavesAPaper) {
    ManualFixture f;
    TManualGenPage& p = f.page();
    f.add();
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "No question, Cannot add!");
    EXPECT_EQ(f.messages.last().caption, "Error");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    EXPECT_FALSE(p.BCSJ_P->isEnabled());
    f.messages.clear();

    f.tick("1  Basics");
    f.add();
    EXPECT_EQ(f.messages.last().text, "Question added successfully!");
    EXPECT_EQ(f.messages.last().caption, "Addition successful");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Information);
    EXPECT_TRUE(p.BCSJ_P->isEnabled());
    EXPECT_EQ(p.ST_DBG->selectedRow(), 1);
    f.add();
    // The grid still shows multiple-choice questions while another type is
    // chosen for an unticked node: the question counts in its own row.
    f.main->SDZJ_CT->setCurrentItem(f.node("2  Grammar"));
    f.chooseType(1);
    f.add();
    EXPECT_EQ(p.ST_DBG->selectedRow(), 2) << "stays on the last row";
    f.add();
    EXPECT_EQ(f.messages.last().text, "Question already existed!");
    EXPECT_EQ(f.messages.last().caption, "Error");
    // The same number under another type is another question.
    f.clickText("1.1  Sounds");
    EXPECT_EQ(f.grid(), QStringList{"1|2|Easy"});
    f.add();
    EXPECT_EQ(p.CountEdits[0]->value(), 3);
    EXPECT_EQ(p.CountEdits[1]->value(), 1);
    EXPECT_EQ(*f.main->ChosenTypes, QStringList({"1", "1", "1", "2"}));
    EXPECT_EQ(*f.main->ChosenNumbers, QStringList({"1", "2", "3", "1"}));
    EXPECT_EQ(*f.main->ChosenDifficulties, QStringList({"Easy", "Medium", "Hard", "Easy"}));

    // The marks are checked before anything is written.
    f.messages.clear();
    f.save();
    EXPECT_EQ(f.messages.last().text, "Please set mark for Multiple choice question!");
    p.MarkEdits[0]->setValue(20);
    f.save();
    EXPECT_EQ(f.messages.last().text, "Please set mark for Fill-in-Blank question!");
    p.MarkEdits[1]->setValue(40);
    p.ZF_FSE->setValue(99);
    f.save();
    EXPECT_EQ(f.messages.last().text, "Total Mark incorrect, please re-enter!");
    EXPECT_EQ(f.messages.last().caption, "Total mark error");
    EXPECT_TRUE(f.rows("SELECT * FROM SJ").isEmpty());

    p.ZF_FSE->setValue(100);
    f.save();
    EXPECT_EQ(f.messages.last().text, "Test saved successfully!");
    EXPECT_EQ(f.messages.last().caption, "Save");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Information);
    // Weight 20 + 2 x 20 + 3 x 20 + 40 = 160.
    const QStringList papers = f.rows("SELECT * FROM SJ");
    ASSERT_EQ(papers.size(), 1);
    const QString id = papers[0].section('|', 0, 0);
    EXPECT_EQ(papers[0], id + "|admin|Medium");
    EXPECT_EQ(f.rows("SELECT TypeID, BH, FZ FROM SJT WHERE SJDH = '" + id + "' ORDER BY rowid"),
              QStringList({"1|1|20", "1|2|20", "1|3|20", "2|1|40"}));

    // The page starts afresh.
    EXPECT_TRUE(f.main->ChosenTypes->isEmpty());
    EXPECT_EQ(p.CountEdits[0]->value(), 0);
    EXPECT_EQ(p.MarkEdits[1]->value(), 0);
    EXPECT_EQ(p.ZF_FSE->value(), 100);
    EXPECT_FALSE(p.BCSJ_P->isEnabled());
    EXPECT_TRUE(f.grid().isEmpty());
    EXPECT_EQ(f.main->SDZJ_CT->GetNodeState(f.node("1.1  Sounds")), widgets::csUnchecked);
    EXPECT_EQ(f.main->Label1->text(), "Test paper manual-Generation");
}

TEST(ManualPage, AFailedWriteLeavesNothingAndKeepsThePaper) {
    ManualFixture f;
    TManualGenPage& p = f.page();
    f.tick("1  Basics");
    f.add();
    f.add();
    p.MarkEdits[0]->setValue(50);
    f.bank.exec("CREATE TRIGGER refuse BEFORE INSERT ON SJT WHEN NEW.BH = 2 "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    f.messages.clear();
    f.save();
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "Unknown error in saving Test, database submission failed!");
    EXPECT_EQ(f.messages.last().caption, "Submission failure");
    EXPECT_TRUE(f.rows("SELECT * FROM SJ").isEmpty());
    EXPECT_TRUE(f.rows("SELECT * FROM SJT").isEmpty());
    EXPECT_EQ(f.main->ChosenNumbers->size(), 2);
    EXPECT_TRUE(p.BCSJ_P->isEnabled());

    f.bank.exec("DROP TRIGGER refuse");
    f.save();
    EXPECT_EQ(f.messages.last().text, "Test saved successfully!");
    EXPECT_EQ(f.rows("SELECT BH FROM SJT ORDER BY rowid"), QStringList({"1", "2"}));
}

TEST(ManualPage, TheSelectedQuestionTellsWhenItWasLastUsed) {
    ManualFixture f;
    f.bank.exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P1', 'admin', 'Easy')");
    f.bank.exec("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('P1', 1, 1, 5), ('P1', 2, 4, 5)");
    QLabel* label = f.main->findChild<QLabel*>("LastUsed_L");
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->text().isEmpty());
    f.tick("1  Basics");
    EXPECT_EQ(label->text(), "Last used: P1 (in 1 saved paper)");
    f.page().ST_DBG->setSelectedRow(1);
    EXPECT_EQ(label->text(), "Last used: never used");
    // Unticked: no question, nothing to tell.
    f.tick("1  Basics");
    EXPECT_TRUE(label->text().isEmpty());
}
