// The saved-papers page in the main window, and the three document buttons
// of the main window rendering into the recording word processor.
#include "app/Main_Form.h"
#include "core/RateProcess_Form.h"
#include "core/Session.h"
#include "docs/RecordingWord.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tolvane;
using docs::RecordingWordApplication;

namespace {

// Hands every rendering the one recording application of a test.
class SharedWord : public docs::WordApplication {
public:
    explicit SharedWord(RecordingWordApplication& word) : m_word(word) {}
    void connect() override { m_word.connect(); }
    docs::WordDocument& addDocument() override { return m_word.addDocument(); }
    void setCheckSpellingAsYouType(bool on) override { m_word.setCheckSpellingAsYouType(on); }
    void setCheckGrammarAsYouType(bool on) override { m_word.setCheckGrammarAsYouType(on); }
    void setVisible(bool visible) override { m_word.setVisible(visible); }
    void disconnect() override { m_word.disconnect(); }

private:
    RecordingWordApplication& m_word;
};

void renderInto(TMain_F& main, RecordingWordApplication& word) {
    main.setWordApplicationFactory([&word] { return std::make_unique<SharedWord>(word); });
}

struct PageFixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TRateProcess_F> progress = std::make_unique<TRateProcess_F>();
    std::unique_ptr<TMain_F> main;
    RecordingWordApplication recording;
    RecordingWordApplication* word = &recording;

    // Papers "P1" (two questions), "P2" (one) and "P3" (none listed), in
    // this stored order.
    PageFixture() {
        CurrentUserName = "admin";
        CurrentPermission = 1;
        RateProcess_F = progress.get();
        TRateProcess_F::setFinishPauseMsForTests(10);
        bank.exec("INSERT INTO JianDaTi (BH, TypeID, TM, DA, NY, CZ) VALUES (1, 3, 'Why', 'So', "
                  "12, '1')");
        bank.exec("INSERT INTO YuanLiLunShu (BH, TypeID, TM, DA, NY, CZ) VALUES (2, 5, 'How', "
                  "'Thus', 12, '1')");
        bank.exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P1', 'admin', 'Easy'), ('P2', "
                  "'lecturer', 'Hard'), ('P3', 'admin', 'Medium')");
        bank.exec("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('P1', 3, 1, 4), ('P1', 5, 2, "
                  "6), ('P2', 3, 1, 9)");
        main = std::make_unique<TMain_F>();
        renderInto(*main, recording);
        main->resize(1000, 700);
        main->show();
    }
    ~PageFixture() {
        main.reset();
        RateProcess_F = nullptr;
        TRateProcess_F::setFinishPauseMsForTests(1000);
    }
    papers::TAvailablePapersPage& page() { return *main->AvailablePage; }
    void clickRow(int row) {
        widgets::TDBGrid* grid = page().SJ_DBG;
        const QRect rect = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QStringList questionRows() {
        QStringList rows;
        db::Query* q = page().SJT_ADOQ();
        for (int r = 0; q && q->isOpen() && r < q->recordCount(); ++r) {
            QStringList fields;
            for (int c = 0; c < q->columnNames().size(); ++c)
                fields << db::Query::displayText(q->value(r, c));
            rows << fields.join('|');
        }
        return rows;
    }
};

} // namespace

TEST(SavedPapersPage, OpensListingThePapersAndTheFirstPapersQuestions) {
    PageFixture f;
    papers::TAvailablePapersPage& p = f.page();
    EXPECT_EQ(f.main->SJ_PC->currentWidget(), &p);
    EXPECT_EQ(p.objectName(), "XYSJ_TS");
    EXPECT_EQ(p.SJT_L->text(), "Questions in Test");
    EXPECT_EQ(p.YLSJ_FBtn->text(), "Preview Test");
    EXPECT_EQ(p.SCSJ_FBtn->text(), "Delete Test");
    EXPECT_EQ(p.BCDA_FBtn->text(), "Save Answers");
    EXPECT_EQ(p.SJ_ADOQ()->columnNames(), (QStringList{"Test_ID", "Test_Creator", "Difficulty"}));
    EXPECT_EQ(p.SJ_ADOQ()->recordCount(), 3);
    EXPECT_EQ(f.main->CurrentTestID, "P1");
    EXPECT_EQ(p.SJT_ADOQ()->columnNames(),
              (QStringList{"Test_ID", "Question_Type", "Question_ID", "Question_Mark"}));
    // The stored type name: the YuanLiLunShu question reads "Type 5".
    EXPECT_EQ(f.questionRows(), (QStringList{"P1|Type 3|1|4", "P1|Type 5|2|6"}));
    EXPECT_EQ(f.messages.count(), 0);
}

TEST(SavedPapersPage, OnlyAClickSelectsAPaperNotTheKeyboard) {
    PageFixture f;
    papers::TAvailablePapersPage& p = f.page();
    f.clickRow(1);
    EXPECT_EQ(f.main->CurrentTestID, "P2");
    EXPECT_EQ(f.questionRows(), QStringList{"P2|Type 3|1|9"});

    p.SJ_DBG->setFocus();
    QTest::keyClick(p.SJ_DBG, Qt::Key_Down);
    EXPECT_EQ(p.SJ_DBG->selectedText(0), "P3");
    EXPECT_EQ(f.main->CurrentTestID, "P2");
    EXPECT_EQ(f.questionRows(), QStringList{"P2|Type 3|1|9"});

    // Preview still renders the paper last clicked.
    p.YLSJ_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 1);
    EXPECT_TRUE(f.main->AnswerList->contains(docs::AnswerLine::answer("So")));
    EXPECT_FALSE(f.main->AnswerList->contains(docs::AnswerLine::answer("Thus")));

    // Clicking the paper already shown reloads nothing; another one does.
    f.clickRow(2);
    EXPECT_EQ(f.main->CurrentTestID, "P3");
    EXPECT_TRUE(f.questionRows().isEmpty());
}

TEST(SavedPapersPage, DeleteTakesTheSelectedRowAndBothTables) {
    PageFixture f;
    papers::TAvailablePapersPage& p = f.page();
    // Selected by the keyboard: Delete still takes it.
    p.SJ_DBG->setFocus();
    QTest::keyClick(p.SJ_DBG, Qt::Key_Down);
    f.messages.answer(QMessageBox::Cancel);
    p.SCSJ_FBtn->click();
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text, "Warning: Deletion is non-restorable, confirm deletion?");
    EXPECT_EQ(f.messages.last().caption, "Confirm deletion");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Warning);
    EXPECT_EQ(f.messages.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJ"), 3);

    f.messages.clear();
    p.SCSJ_FBtn->click();
    EXPECT_EQ(f.messages.texts(), (QStringList{"Warning: Deletion is non-restorable, confirm "
                                               "deletion?",
                                               "Test deleted successfully!"}));
    EXPECT_EQ(f.messages.last().caption, "Deletion successful");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Information);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJ WHERE SJDH='P2'"), 0);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJT WHERE SJDH='P2'"), 0);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJT"), 2);
    // The page is opened again: the first paper is selected once more.
    EXPECT_EQ(p.SJ_ADOQ()->recordCount(), 2);
    EXPECT_EQ(f.main->CurrentTestID, "P1");
}

TEST(SavedPapersPage, AfterTheLastPaperIsDeletedItsIdentifierStays) {
    PageFixture f;
    f.bank.exec("DELETE FROM SJ WHERE SJDH <> 'P3'");
    f.bank.exec("DELETE FROM SJT");
    f.main->XYSJ_FBtnClick();
    ASSERT_EQ(f.main->CurrentTestID, "P3");
    f.page().SCSJ_FBtn->click();
    EXPECT_EQ(f.messages.last().text, "Test deleted successfully!");
    EXPECT_EQ(f.page().SJ_ADOQ()->recordCount(), 0);
    EXPECT_EQ(f.main->CurrentTestID, "P3");
    EXPECT_TRUE(f.questionRows().isEmpty());

    // Once more: reported as deleted, though nothing is left to delete.
    f.messages.clear();
    f.page().SCSJ_FBtn->click();
    EXPECT_EQ(f.messages.last().text, "Test deleted successfully!");

    // The preview of the paper that is gone: the title lines only.
    f.page().YLSJ_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 1);
    EXPECT_EQ(f.word->lastDocument().text(),
              "English Final Test\rCourse________  Name___________ Score_____ \r \r");
    EXPECT_TRUE(f.main->AnswerList->isEmpty());
}

TEST(SavedPapersPage, AFailedDeleteLeavesPaperAndQuestionsTogether) {
    PageFixture f;
    f.bank.exec("CREATE TRIGGER keep BEFORE DELETE ON SJT BEGIN SELECT RAISE(ABORT, 'kept'); END");
    f.page().SCSJ_FBtn->click();
    ASSERT_EQ(f.messages.count(), 2);
    EXPECT_EQ(f.messages.last().text, "Unknow error in deleting question!");
    EXPECT_EQ(f.messages.last().caption, "Deletion failed");
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJ WHERE SJDH='P1'"), 1);
    EXPECT_EQ(f.bank.count("SELECT COUNT(*) FROM SJT WHERE SJDH='P1'"), 2);
}

TEST(SavedPapersPage, WithNoPaperEverSelectedPreviewAndDeleteDoNothing) {
    PageFixture f;
    f.bank.exec("DELETE FROM SJ");
    f.bank.exec("DELETE FROM SJT");
    // A main window that never saw a paper.
    f.main = std::make_unique<TMain_F>();
    renderInto(*f.main, f.recording);
    f.main->show();
    EXPECT_TRUE(f.main->CurrentTestID.isEmpty());

    f.page().SCSJ_FBtn->click();
    EXPECT_EQ(f.messages.texts(),
              QStringList{"Warning: Deletion is non-restorable, confirm deletion?"});

    f.messages.clear();
    f.page().YLSJ_FBtn->click();
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().text,
              "No test paper selected yet, please select a test paper first!");
    EXPECT_NE(f.messages.last().icon, MsgIcon::Error);
    EXPECT_FALSE(f.progress->isVisible());
}

TEST(SavedPapersPage, PreviewFillsTheAnswersThatBothAnswerButtonsWrite) {
    PageFixture f;
    TMain_F& m = *f.main;
    m.AvailablePage->YLSJ_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 1);
    using L = docs::AnswerLine;
    EXPECT_EQ(*m.AnswerList,
              (docs::AnswerLines{L::heading("3. Type 3 (1 Questions, Each 4 Mark, Total 4 Marks)"),
                                 L::answer("So"),
                                 L::heading("4. Type 4 Question(1 Questions, Each 6 Mark, Total "
                                            "6 Marks)"),
                                 L::answer("Thus")}));
    EXPECT_FALSE(f.progress->isVisible());

    m.AvailablePage->BCDA_FBtn->click();
    m.AutoGenPage->YLDA_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 3);
    EXPECT_EQ(f.word->document(1).caption(), "Tolvane Test Answers");
    EXPECT_EQ(f.word->document(1).paragraphs(), f.word->document(2).paragraphs());
    EXPECT_EQ(f.messages.count(), 0);

    // Opening the page again throws the answers away.
    m.XYSJ_FBtn->click();
    EXPECT_TRUE(m.AnswerList->isEmpty());
    m.AvailablePage->BCDA_FBtn->click();
    EXPECT_EQ(f.messages.last().text, "Answers not generated yet, please preview test first!");
    EXPECT_EQ(f.word->documentCount(), 3);
}

TEST(SavedPapersPage, TheAutoGenerationPreviewRendersTheDrawnPaper) {
    PageFixture f;
    TMain_F& m = *f.main;
    m.ZDSJ_FBtn->click();
    // Two asked for, one drawn: the bank fell short. The heading counts the
    // one the paper prints.
    m.findChild<widgets::TFlatSpinEditInteger*>("JDTRY_FSE")->setValue(2);
    m.findChild<widgets::TFlatSpinEditInteger*>("JDTZDFZ_FSE")->setValue(50);
    m.GeneratedTest = {{3, 1}, {0, 0}};
    m.AutoGenPage->ZDYLSJ_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 1);
    const QString heading = "1. Type 3 (1 Questions, Each 50 Mark, Total 50 Marks)";
    EXPECT_TRUE(f.word->document(0).text().contains("\r" + heading + "\r"))
        << f.word->document(0).text().toStdString();
    EXPECT_EQ(*m.AnswerList, (docs::AnswerLines{docs::AnswerLine::heading(heading),
                                                docs::AnswerLine::answer("So")}));
    EXPECT_FALSE(f.progress->isVisible());
}

TEST(SavedPapersPage, AFailedRenderingClosesTheProgressAndShowsTheError) {
    PageFixture f;
    f.bank.exec("UPDATE JianDaTi SET TM = NULL");
    f.page().YLSJ_FBtn->click();
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().icon, MsgIcon::Error);
    EXPECT_TRUE(f.messages.last().text.contains("field TM"));
    EXPECT_FALSE(f.progress->isVisible());
    EXPECT_FALSE(f.word->isConnected());
}

TEST(SavedPapersPage, AClickDuringTheClosingPauseWritesItsDocumentToo) {
    PageFixture f;
    TMain_F& m = *f.main;
    // Each rendering with an application of its own, as in the program.
    std::vector<std::unique_ptr<RecordingWordApplication>> apps;
    m.setWordApplicationFactory([&apps] {
        apps.push_back(std::make_unique<RecordingWordApplication>());
        return std::make_unique<SharedWord>(*apps.back());
    });
    TRateProcess_F::setFinishPauseMsForTests(300);
    // "Save Answers" clicked while the preview pauses at its end.
    QTimer::singleShot(100, [&m] { m.AvailablePage->BCDA_FBtn->click(); });
    m.AvailablePage->YLSJ_FBtn->click();
    EXPECT_EQ(f.messages.count(), 0) << f.messages.texts().join("; ").toStdString();
    ASSERT_EQ(apps.size(), 2u);
    for (const auto& app : apps) {
        ASSERT_EQ(app->documentCount(), 1);
        EXPECT_TRUE(app->isVisible());
        EXPECT_FALSE(app->isConnected());
    }
    EXPECT_EQ(apps[1]->lastDocument().caption(), "Tolvane Test Answers");
}

TEST(SavedPapersPage, PaperBDocumentsAreCaptionedAsPaperB) {
    PageFixture f;
    TMain_F& m = *f.main;
    m.ZDSJ_FBtn->click();
    m.findChild<widgets::TFlatSpinEditInteger*>("JDTRY_FSE")->setValue(1);
    m.findChild<widgets::TFlatSpinEditInteger*>("JDTZDFZ_FSE")->setValue(100);
    m.AutoGenPage->ZDYLSJB_FBtn->click();
    EXPECT_EQ(f.messages.texts(), QStringList{"Paper B not generated yet, please tick \"Also draw "
                                              "paper B\" and generate test first!"});
    EXPECT_EQ(f.word->documentCount(), 0);

    m.GeneratedTest = {{3, 1}};
    m.GeneratedTestB = {{3, 1}};
    m.AutoGenPage->ZDYLSJB_FBtn->click();
    m.AutoGenPage->YLDA_FBtn->click();
    // Paper A's documents keep their captions.
    m.AutoGenPage->ZDYLSJ_FBtn->click();
    m.AutoGenPage->YLDA_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 4);
    EXPECT_EQ(f.word->document(0).caption(), "Tolvane Test (Paper B)");
    EXPECT_EQ(f.word->document(0).paragraphs().value(0).text, "English Final Test (Paper B)");
    EXPECT_EQ(f.word->document(1).caption(), "Tolvane Test Answers (Paper B)");
    EXPECT_EQ(f.word->document(1).paragraphs().value(0).text,
              "English Final Test Answers (Paper B)");
    EXPECT_EQ(f.word->document(2).caption(), "Tolvane Test");
    EXPECT_EQ(f.word->document(3).caption(), "Tolvane Test Answers");

    // A saved paper B is told by its identifier.
    f.bank.exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P1 (B)', 'admin', 'Easy')");
    f.bank.exec("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('P1 (B)', 3, 1, 4)");
    m.XYSJ_FBtn->click();
    f.clickRow(3);
    ASSERT_EQ(m.CurrentTestID, "P1 (B)");
    m.AvailablePage->YLSJ_FBtn->click();
    m.AvailablePage->BCDA_FBtn->click();
    ASSERT_EQ(f.word->documentCount(), 6);
    EXPECT_EQ(f.word->document(4).caption(), "Tolvane Test (Paper B)");
    EXPECT_EQ(f.word->document(5).caption(), "Tolvane Test Answers (Paper B)");
}

TEST(SavedPapersPage, CompareTellsWhatTwoSelectedPapersShare) {
    PageFixture f;
    papers::TAvailablePapersPage& p = f.page();
    EXPECT_EQ(p.Compare_FBtn->text(), "Compare");
    const QString ask = "Please select two papers to compare: click one, then hold Ctrl and click "
                        "the other.";
    p.Compare_FBtn->click();
    EXPECT_EQ(f.messages.texts(), QStringList{ask});

    // P2 clicked, then P1 added with Ctrl: listed in the grid's order.
    f.clickRow(1);
    widgets::TDBGrid* grid = p.SJ_DBG;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      grid->visualRect(grid->model()->index(0, 0)).center());
    EXPECT_EQ(f.main->CurrentTestID, "P1") << "the paper last clicked is the selected one";
    f.messages.clear();
    p.Compare_FBtn->click();
    ASSERT_EQ(f.messages.count(), 1);
    EXPECT_EQ(f.messages.last().caption, "Compare papers");
    EXPECT_EQ(f.messages.last().text,
              "\"P1\" and \"P2\" share 1 question: 50 % of the 2 questions of \"P1\" and 100 % of "
              "the 1 question of \"P2\".\n\nShared questions (by question number):\nType 3: 1");

    // A third paper makes the choice unclear again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      grid->visualRect(grid->model()->index(2, 0)).center());
    p.Compare_FBtn->click();
    EXPECT_EQ(f.messages.last().text, ask);
}
