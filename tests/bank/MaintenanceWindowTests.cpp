#include "bank/TiMuWH_Unit.h"

#include "bank/FormParts.h"
#include "core/Shell.h"
#include "db/Query.h"
#include "tests/bank/TextControls.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"
#include "widgets/DataGrid.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace tolvane;
using bank::TForm1;

namespace {

using Row = std::map<QString, QVariant>; // column -> stored value

const QString kTables[] = {"XuanZeTi",     "TianKong",    "JianDaTi",
                           "YuanLiLunShu", "XiTongSheJi", "XiTongCZ"};
const char* const kGrids[] = {"XZ_DBGrid",   "TK_DBGrid",   "JD_DBGrid", "YLLS_DBGrid",
                              "XTSJ_DBGrid", "XTCZ_DBGrid", "ZJ_DBGrid"};
const char* const kUpdate[] = {"XZgx_BitBtn",   "TKgx_BitBtn",   "JDgx_BitBtn",
                               "YLLSgx_BitBtn", "XTSJgx_BitBtn", "XTCZgx_BitBtn"};
const char* const kSearch[] = {"XZcxun_BitBtn",   "TKcxun_BitBtn",   "JDcxun_BitBtn",
                               "YLLScxun_BitBtn", "XYSJcxun_BitBtn", "XTCZcxun_BitBtn"};
const char* const kDelete[] = {"XZsc_BitBtn",   "TKsc_BitBtn",   "JDsc_BitBtn",
                               "YLLSsc_BitBtn", "XTSJsc_BitBtn", "XTCZsc_BitBtn"};

// One question of each page, as stored.
const char* const kSeed[] = {
    "INSERT INTO XuanZeTi (TypeID,TM,A,B,C,D,DA,CZ,NY) VALUES "
    "(1,'Pick the noun.','run','table','fast','blue','B','1  Basics',12),"
    "(1,'Pick the verb.','run','table','fast','blue','A','1.1  Words',13)",
    "INSERT INTO TianKong (TypeID,TM,K1,K2,K3,K4,K5,YTS,NY,CZ) VALUES "
    "(2,'The ___ sat.','cat','','','','',1,12,'1  Basics'),"
    "(2,'A ___ and a ___.','cup','pot','','','',2,14,'1.1  Words')",
    "INSERT INTO JianDaTi (TypeID,TM,DA,NY,CZ) VALUES "
    "(3,'Explain tense.','Time of action.',12,'1  Basics'),"
    "(3,'Explain mood.','Attitude.',13,'1.1  Words')",
    "INSERT INTO YuanLiLunShu (TypeID,TM,DA,NY,CZ) VALUES "
    "(5,'Argue for A.','Essay A.',13,'1  Basics'),"
    "(5,'Argue for B.','Essay B.',14,'1.1  Words')",
    "INSERT INTO XiTongSheJi (TypeID,TM,DA,NY,CZ,DABG,TMBG) VALUES "
    "(4,'Design a form.','See model.',14,'1  Basics','model.doc','form.doc'),"
    "(4,'Design a page.','See page.',12,'1.1  Words','page.doc','')",
    "INSERT INTO XiTongCZ (TypeID,TM,NY,CZ,W1DA,W1DABG,W2DA,W2DABG,W3DA,W3DABG,W4DA,W4DABG,"
    "W5DA,W5DABG,WTS,TMBG) VALUES "
    "(6,'Read the report.',12,'1  Basics','one','a1.doc','two','','','','','','','',2,'r.doc'),"
    "(6,'Read the letter.',13,'1.1  Words','yes','','','','','','','','','',1,'')",
};

class MaintenanceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics'), ('1.1', 'Words')");
        for (const char* sql : kSeed)
            bank.exec(sql);
        w = std::make_unique<TForm1>();
        w->show();
    }
    void TearDown() override { setShellOpenHandler({}); }

    template <typename T = QWidget> T* control(const QString& name) {
        T* o = w->findChild<T*>(name);
        EXPECT_NE(o, nullptr) << name.toStdString();
        return o;
    }
    void set(const QString& name, const QString& text) {
        test::setControlText(control(name), text);
    }
    QString get(const QString& name) { return test::controlText(control(name)); }
    void click(const QString& button) { control<QPushButton>(button)->click(); }
    void enter(int page) { w->PageControl1->setCurrentIndex(page); }
    widgets::TDBGrid* grid(int page) { return control<widgets::TDBGrid>(kGrids[page]); }
    // A left click on a row of the page's grid, as the lecturer does it.
    void clickRow(int page, int row) {
        widgets::TDBGrid* g = grid(page);
        const QRect cell = g->visualRect(g->model()->index(row, 0));
        ASSERT_TRUE(cell.isValid());
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QStringList titles(int page) {
        QStringList out;
        auto* g = grid(page);
        for (int c = 0; c < g->model()->columnCount(); ++c)
            out << g->model()->headerData(c, Qt::Horizontal).toString();
        return out;
    }
    Row stored(const QString& table, const QString& where) {
        db::Query q(&bank.connection());
        q.setSql("SELECT * FROM " + table + " WHERE " + where);
        q.open();
        Row row;
        if (!q.eof())
            for (const QString& c : q.columnNames())
                row[c] = q.field(c);
        return row;
    }
    qint64 rows(const QString& table) { return bank.count("SELECT COUNT(*) FROM " + table); }
    QString dump(const QString& table) {
        db::Query q(&bank.connection());
        q.setSql("SELECT * FROM " + table + " ORDER BY rowid");
        q.open();
        QStringList out;
        for (int r = 0; r < q.recordCount(); ++r) {
            QStringList fields;
            for (int c = 0; c < q.columnNames().size(); ++c)
                fields << (q.value(r, c).isNull() ? "<null>" : q.value(r, c).toString());
            out << fields.join('|');
        }
        return out.join('\n');
    }

    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TForm1> w;
};

TEST_F(MaintenanceWindow, OpensOnType3WithItsPagesButtonsAndLists) {
    EXPECT_EQ(w->windowTitle(), "Question Bank Management");
    EXPECT_EQ(w->Label1->text(), "Question Bank Management");
    ASSERT_EQ(w->PageControl1->count(), 7);
    const QStringList captions{"Multi-Choice", "Fill-in-Blank",      "Type 3", "Type 4", "Type 5",
                               "Type 6",       "Chapter Maintenance"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(w->PageControl1->tabText(i), captions[i]);
    EXPECT_EQ(w->PageControl1->currentIndex(), 2);
    EXPECT_EQ(w->ADOQuery1->sql(), "Select * from JianDaTi");
    EXPECT_EQ(w->ADOQuery1->recordCount(), 2);

    const char* prefixes[] = {"XZ", "TK", "JD", "YLLS", "XTSJ", "XTCZ"};
    for (int p = 0; p < 6; ++p) {
        const QString x = prefixes[p];
        EXPECT_EQ(control<QPushButton>(kUpdate[p])->text(), "Update");
        EXPECT_EQ(control<QPushButton>(kSearch[p])->text(), "Search");
        EXPECT_EQ(control<QPushButton>(kDelete[p])->text(), "Delete");
        EXPECT_EQ(control<QPushButton>(x + "gb_BitBtn")->text(), "Close");
        for (const char* off : {"tj_BitBtn", "cx_BitBtn"})
            EXPECT_FALSE(control<QPushButton>(x + off)->isEnabled()) << (x + off).toStdString();
        EXPECT_EQ(control<QPushButton>(x + "tj_BitBtn")->text(), "Submit");
        EXPECT_EQ(control<QPushButton>(x + "cx_BitBtn")->text(), "Undo");
        auto* now = control<QRadioButton>(x + "_RadioButton1");
        auto* batch = control<QRadioButton>(x + "_RadioButton2");
        EXPECT_EQ(now->text(), "Update Now");
        EXPECT_TRUE(now->isChecked());
        EXPECT_EQ(batch->text(), "Batch Update");
        EXPECT_FALSE(batch->isEnabled());

        QStringList tx, ny, zj;
        for (int i = 0; i < w->findChild<QComboBox*>(QString("TX_ComboBox%1").arg(p + 1))->count();
             ++i)
            tx << w->findChild<QComboBox*>(QString("TX_ComboBox%1").arg(p + 1))->itemText(i);
        auto* nyBox = control<QComboBox>(QString("NY_ComboBox%1").arg(p + 1));
        auto* zjBox = control<QComboBox>(QString("ZJ_ComboBox%1").arg(p + 1));
        for (int i = 0; i < nyBox->count(); ++i)
            ny << nyBox->itemText(i);
        for (int i = 0; i < zjBox->count(); ++i)
            zj << zjBox->itemText(i);
        EXPECT_EQ(tx, (QStringList{"Multi-choice", "Fill-in-Blank", "Type 3", "Type 4", "Type 5",
                                   "Type 6"}));
        EXPECT_EQ(ny, (QStringList{"Easy", "Medium", "Hard"}));
        EXPECT_EQ(zj, (QStringList{"1  Basics", "1.1  Words"}));
    }
    for (const char* open : {"DKTM_BitBtn1", "DKDA_BitBtn1", "BitBtn7", "BitBtn5", "BitBtn6",
                             "BitBtn8", "BitBtn9", "BitBtn10"})
        EXPECT_EQ(control<QPushButton>(open)->text(), "Open");
    for (const auto& [name, caption] : std::map<QString, QString>{{"ZJTJ_BitBtn", "Add"},
                                                                  {"ZJSC_BitBtn", "Delete"},
                                                                  {"ZJXG_BitBtn", "Modify"},
                                                                  {"ZJCX_BitBtn", "Search"},
                                                                  {"BitBtn2", "Close"}})
        EXPECT_EQ(control<QPushButton>(name)->text(), caption);
    QStringList labels;
    for (QLabel* l : w->findChildren<QLabel*>())
        labels << l->text();
    for (const char* text : {"Question No.",    "Type",       "Question",      "Answer",
                             "Chapter belongs", "Difficulty", "Choice A",      "Choice D",
                             "No. of blank",    "Blank 5",    "Question File", "Answer File",
                             "No. of Question", "Q.1 Answer", "Q.5 Answer",    "Answer 1 File",
                             "Answer 5 File",   "ID",         "Chapter ID",    "Chapter Name"})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_EQ(messages.count(), 0) << messages.texts().join(" / ").toStdString();
}

TEST_F(MaintenanceWindow, EachPageListsItsTableUnderItsTitles) {
    const QString q = "Question No.", t = "Type", m = "Question", a = "Answer", d = "Difficulty",
                  c = "Chapter belongs";
    const QStringList expected[] = {
        {q, t, m, "Choice A", "Choice B", "Choice C", "Choice D", a, c, d},
        {q, t, m, "Blank 1", "Blank 2", "Blank 3", "Blank 4", "Blank 5", "No. of Blank", d, c},
        {q, t, m, a, d, c},
        {q, t, m, a, d, c},
        {q, t, m, a, d, c, "DABG", "TMBG"},
        {q, t, m, d, c, "W1DA", "W1DABG", "W2DA", "W2DABG", "W3DA", "W3DABG", "W4DA", "W4DABG",
         "W5DA", "W5DABG", "No. of sub-questions", "TMBG"},
        {"ID", "Chapter ID", "Chapter Name"}};
    for (int page : {0, 1, 2, 3, 4, 5, 6, 2}) {
        SCOPED_TRACE(page);
        enter(page);
        EXPECT_EQ(w->ADOQuery1->sql(),
                  "Select * from " + (page == 6 ? QString("ZhangJie") : kTables[page]));
        EXPECT_EQ(titles(page), expected[page]);
        EXPECT_EQ(grid(page)->model()->rowCount(), 2);
    }
    // Display widths in characters: the question column is wider than a choice.
    enter(0);
    EXPECT_GT(grid(0)->columnWidth(2), 2 * grid(0)->columnWidth(3));
}

TEST_F(MaintenanceWindow, EachPageLoadsARowAndUpdatesItsColumns) {
    const struct {
        int page;
        std::map<QString, QString> loaded; // control -> text after loading row 2
        std::map<QString, QString> typed;  // changes before Update
        Row written;                       // columns of row 2 afterwards
        const char* message;
    } cases[] = {
        {0,
         {{"TH_Edit1", "2"},
          {"TX_ComboBox1", "Multi-choice"},
          {"TM_memo5", "Pick the verb."},
          {"XXA_Edit", "run"},
          {"XXD_Edit", "blue"},
          {"DA_ComboBox", "A"},
          {"ZJ_ComboBox1", "1.1  Words"},
          {"NY_ComboBox1", "Medium"}},
         {{"TM_memo5", "Pick the\nverb!"}, {"XXC_Edit", " swim "}, {"NY_ComboBox1", "Hard"}},
         {{"TypeID", 1},
          {"TM", "Pick the\nverb!"},
          {"C", " swim "},
          {"DA", "A"},
          {"NY", 14},
          {"CZ", "1.1  Words"}},
         "Update successfull"},
        {1,
         {{"TX_ComboBox2", "Fill-in-Blank"},
          {"TM_Edit2", "A ___ and a ___."},
          {"K_ComboBox", "2"},
          {"K_Edit2", "pot"},
          {"NY_ComboBox2", "Hard"}},
         {{"K_ComboBox", "3"}, {"K_Edit3", "pan"}, {"ZJ_ComboBox2", "9  Typed"}},
         {{"YTS", 3}, {"K3", "pan"}, {"K2", "pot"}, {"CZ", "9  Typed"}, {"NY", 14}},
         "Update successful"},
        {2,
         {{"TH_Edit3", "2"}, {"DA_Memo1", "Attitude."}, {"NY_ComboBox3", "Medium"}},
         {{"DA_Memo1", "Speaker's attitude."}},
         {{"DA", "Speaker's attitude."}, {"TM", "Explain mood."}, {"TypeID", 3}},
         "Update successful"},
        {3,
         {{"TX_ComboBox4", "Type 5"}, {"TM_Memo2", "Argue for B."}},
         {{"TM_Memo2", "Argue for C."}},
         {{"TM", "Argue for C."}, {"TypeID", 5}, {"NY", 14}},
         "Update successful"},
        {4,
         {{"TX_ComboBox5", "Type 4"}, {"DAWJ_Edit", "page.doc"}, {"TMWJ_Edit", ""}},
         {{"TMWJ_Edit", "plan"}, {"DAWJ_Edit", "nowhere.doc"}},
         {{"TMBG", "plan"}, {"DABG", "nowhere.doc"}, {"TypeID", 4}, {"DA", "See page."}},
         "Update successful"},
        {5,
         {{"TX_ComboBox6", "Type 6"},
          {"TM_Memo4", "Read the letter."},
          {"WTS_ComboBox", "1"},
          {"W1DA_Edit", "yes"},
          {"DAWJ1_Edit", ""}},
         {{"WTS_ComboBox", "2"}, {"W2DA_Edit", "no"}, {"DAWJ2_Edit", "b2"}, {"TMWJ1_Edit", "l"}},
         {{"WTS", 2}, {"W1DA", "yes"}, {"W2DA", "no"}, {"W2DABG", "b2"}, {"TMBG", "l"}},
         "Update successful"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        enter(c.page);
        clickRow(c.page, 1);
        for (const auto& [name, text] : c.loaded)
            EXPECT_EQ(get(name), text) << name.toStdString();
        const QString other = dump(kTables[c.page]).section('\n', 0, 0);
        for (const auto& [name, text] : c.typed)
            set(name, text);
        messages.clear();
        click(kUpdate[c.page]);
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(messages.last().icon, MsgIcon::None);
        const Row row = stored(kTables[c.page], "BH = 2");
        for (const auto& [column, value] : c.written)
            EXPECT_EQ(row.at(column).toString(), value.toString()) << column.toStdString();
        EXPECT_EQ(dump(kTables[c.page]).section('\n', 0, 0), other) << "row 1 untouched";
        EXPECT_EQ(rows(kTables[c.page]), 2);
        EXPECT_EQ(titles(c.page).at(2), "Question") << "the grid keeps its titles";
    }
}

TEST_F(MaintenanceWindow, TheEditorsFollowTheKeyboardSoUpdateWritesTheRowShown) {
    enter(2);
    clickRow(2, 0);
    EXPECT_EQ(get("TM_Memo1"), "Explain tense.");
    grid(2)->setFocus();
    QTest::keyClick(grid(2), Qt::Key_Down);
    EXPECT_EQ(grid(2)->selectedRow(), 1);
    EXPECT_EQ(get("TH_Edit3"), "2");
    EXPECT_EQ(get("TM_Memo1"), "Explain mood.");
    EXPECT_EQ(get("DA_Memo1"), "Attitude.");
    set("DA_Memo1", "The speaker's attitude.");
    click("JDgx_BitBtn");
    EXPECT_EQ(bank.text("SELECT TM FROM JianDaTi WHERE BH = 1"), "Explain tense.");
    EXPECT_EQ(bank.text("SELECT DA FROM JianDaTi WHERE BH = 1"), "Time of action.");
    EXPECT_EQ(bank.text("SELECT TM FROM JianDaTi WHERE BH = 2"), "Explain mood.");
    EXPECT_EQ(bank.text("SELECT DA FROM JianDaTi WHERE BH = 2"), "The speaker's attitude.");

    QTest::keyClick(grid(2), Qt::Key_Up);
    EXPECT_EQ(get("DA_Memo1"), "Time of action.");
}

TEST_F(MaintenanceWindow, RequiredEditorsAreTestedInOrder) {
    const std::vector<std::pair<QString, QString>> order[] = {
        {{"TX_ComboBox1", "Type cannot be blank!"},
         {"DA_ComboBox", "Answer cannot be blank!"},
         {"ZJ_ComboBox1", "\"Chapter belongs\" cannot be blank!"},
         {"TM_memo5", "Question cannot be blank!"},
         {"NY_ComboBox1", "Difficulty cannot be blank!"},
         {"XXA_Edit", "Choice A cannot be blank!"},
         {"XXB_Edit", "Choice B cannot be blank!"},
         {"XXC_Edit", "Choice C cannot be blank!"},
         {"XXD_Edit", "Choice D cannot be blank!"}},
        {{"TX_ComboBox2", "Type cannot be blank!"},
         {"K_ComboBox", "\"No. of blank\" cannot be blank!"},
         {"ZJ_ComboBox2", "\"Chapter belongs\" cannot be blank!"},
         {"TM_Edit2", "Question cannot be blank!"},
         {"NY_ComboBox2", "Difficulty cannot be blank!"}},
        {{"TX_ComboBox3", "Type cannot be blank!"},
         {"DA_Memo1", "Answer cannot be blank!"},
         {"ZJ_ComboBox3", "\"Chapter belongs\" cannot be blank!"},
         {"TM_Memo1", "Question cannot be blank!"},
         {"NY_ComboBox3", "Difficulty cannot be blank!"}},
        {{"TX_ComboBox4", "Type cannot be blank!"},
         {"DA_Memo2", "Answer cannot be blank!"},
         {"ZJ_ComboBox4", "\"Chapter belongs\" cannot be blank!"},
         {"TM_Memo2", "Question cannot be blank!"},
         {"NY_ComboBox4", "Difficulty cannot be blank!"}},
        {{"TX_ComboBox5", "Type cannot be blank!"},
         {"DA_Memo3", "Answer cannot be blank!"},
         {"ZJ_ComboBox5", "\"Chapter belongs\" cannot be blank!"},
         {"TM_Memo3", "Question cannot be blank!"},
         {"NY_ComboBox5", "Difficulty cannot be blank!"}},
        {{"TX_ComboBox6", "Type cannot be blank!"},
         {"ZJ_ComboBox6", "\"Chapter belongs\" cannot be blank!"},
         {"TM_Memo4", "Question cannot be blank!"},
         {"NY_ComboBox6", "Difficulty cannot be blank!"},
         {"WTS_ComboBox", "\"No. of question\" cannot be blank!"},
         {"W1DA_Edit", "Answer cannot be blank!"}},
    };
    for (int page = 0; page < 6; ++page) {
        enter(page);
        const QString before = dump(kTables[page]);
        for (size_t i = 0; i < order[page].size(); ++i) {
            SCOPED_TRACE(order[page][i].first.toStdString());
            clickRow(page, 0);
            // This and every later editor empty: only this one is reported.
            for (size_t j = i; j < order[page].size(); ++j)
                set(order[page][j].first, "");
            messages.clear();
            click(kUpdate[page]);
            EXPECT_EQ(messages.texts(), QStringList{order[page][i].second});
            EXPECT_EQ(messages.last().icon, MsgIcon::None);
        }
        EXPECT_EQ(dump(kTables[page]), before);
    }
}

TEST_F(MaintenanceWindow, AnEmptyResultTakesANewQuestion) {
    for (const bool emptyTable : {false, true}) {
        SCOPED_TRACE(emptyTable ? "empty table" : "search that found nothing");
        if (emptyTable) {
            bank.exec("DELETE FROM JianDaTi");
            enter(3);
            enter(2);
        }
        if (!emptyTable) {
            clickRow(2, 0);
            set("ZJ_ComboBox3", "3  Nothing filed here");
            click("JDcxun_BitBtn");
            EXPECT_EQ(grid(2)->model()->rowCount(), 0);
        }
        set("TX_ComboBox3", "Type 3");
        set("TM_Memo1", "A new question.");
        set("DA_Memo1", "Its answer.");
        set("NY_ComboBox3", "Easy");
        set("ZJ_ComboBox3", "1  Basics");
        messages.clear();
        click("JDgx_BitBtn");
        EXPECT_EQ(messages.texts(), QStringList{"Update successful"});
        const Row row = stored("JianDaTi", "TM = 'A new question.'");
        ASSERT_FALSE(row.empty());
        EXPECT_EQ(row.at("TypeID").toInt(), 3);
        EXPECT_EQ(row.at("NY").toInt(), 12);
        EXPECT_EQ(row.at("DA").toString(), "Its answer.");
        EXPECT_EQ(get("TH_Edit3"), row.at("BH").toString()) << "the new number is shown";
        EXPECT_EQ(grid(2)->model()->rowCount(), 1);
    }
}

TEST_F(MaintenanceWindow, RefusedOrFailedUpdatesLeaveNothingToBeWrittenLater) {
    bank.exec("UPDATE JianDaTi SET NY = 99 WHERE BH = 2");
    enter(3);
    enter(2);
    const QString before = dump("JianDaTi");
    const struct {
        const char* control;
        const char* text;
        QString message;
        MsgIcon icon;
    } cases[] = {
        {"TX_ComboBox3", "Type 5",
         "The type \"Type 5\" is not the type of the questions on this page; a question cannot "
         "change its type here.",
         MsgIcon::None},
        {"TX_ComboBox3", "Type 9", "The question bank has no question type named 'Type 9'.",
         MsgIcon::Error},
        {"NY_ComboBox3", "Very hard", "The question bank has no difficulty named 'Very hard'.",
         MsgIcon::Error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        clickRow(2, 0);
        set("TM_Memo1", "Changed, never to be kept.");
        set(c.control, c.text);
        messages.clear();
        click("JDgx_BitBtn");
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(messages.last().icon, c.icon);
        // Moving on to another row writes nothing of the failed Update.
        clickRow(2, 1);
        clickRow(2, 0);
        EXPECT_EQ(dump("JianDaTi"), before);
    }

    // A difficulty with no NYD row loads as an empty box and stops an Update.
    clickRow(2, 1);
    EXPECT_EQ(get("NY_ComboBox3"), "");
    EXPECT_EQ(get("TM_Memo1"), "Explain mood.");
    messages.clear();
    click("JDgx_BitBtn");
    EXPECT_EQ(messages.texts(), QStringList{"Difficulty cannot be blank!"});

    // A count that is no whole number.
    enter(5);
    clickRow(5, 0);
    set("WTS_ComboBox", "two");
    messages.clear();
    click("XTCZgx_BitBtn");
    EXPECT_EQ(messages.texts(), QStringList{"'two' is not a valid integer value"});
    EXPECT_EQ(messages.last().icon, MsgIcon::Error);
    EXPECT_EQ(bank.count("SELECT WTS FROM XiTongCZ WHERE BH = 1"), 2);
    EXPECT_EQ(dump("JianDaTi"), before);
}

TEST_F(MaintenanceWindow, SearchMatchesTheWholeChapterTextAndKeepsTheTitles) {
    bank.exec(
        "INSERT INTO JianDaTi (TypeID,TM,DA,NY,CZ) VALUES (3,'One space.','x',12,'1 Basics')");
    enter(2);
    const QStringList pageTitles = titles(2);
    set("ZJ_ComboBox3", "1  Basics");
    click("JDcxun_BitBtn");
    EXPECT_EQ(w->ADOQuery1->sql(), "Select * from JianDaTi where CZ=:temp");
    ASSERT_EQ(grid(2)->model()->rowCount(), 1);
    EXPECT_EQ(grid(2)->selectedText(2), "Explain tense.");
    EXPECT_EQ(titles(2), pageTitles);
    EXPECT_EQ(get("TM_Memo1"), "Explain tense.") << "the row found is the row shown";

    // Moving a question to another chapter: the old chapter text no longer
    // finds it.
    set("ZJ_ComboBox3", "1.1  Words");
    click("JDgx_BitBtn");
    set("ZJ_ComboBox3", "1  Basics");
    click("JDcxun_BitBtn");
    EXPECT_EQ(grid(2)->model()->rowCount(), 0);
    set("ZJ_ComboBox3", "1.1  Words");
    click("JDcxun_BitBtn");
    EXPECT_EQ(grid(2)->model()->rowCount(), 2);

    set("ZJ_ComboBox3", "");
    click("JDcxun_BitBtn");
    EXPECT_EQ(grid(2)->model()->rowCount(), 0);
    enter(3);
    enter(2);
    EXPECT_EQ(grid(2)->model()->rowCount(), 3) << "entering the page lists every row again";
}

TEST_F(MaintenanceWindow, DeleteAsksFirst) {
    bank.exec("INSERT INTO SJ VALUES ('2024-01-01 10:00:00', 'admin', 'Easy')");
    bank.exec("INSERT INTO SJT VALUES ('2024-01-01 10:00:00', 4, 1, 10)");
    enter(4);
    clickRow(4, 0);
    messages.answer(QMessageBox::No);
    click("XTSJsc_BitBtn");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Confirm deletion of this record?");
    EXPECT_EQ(messages.last().caption, "Delete");
    EXPECT_EQ(messages.last().icon, MsgIcon::Information);
    EXPECT_EQ(messages.last().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(rows("XiTongSheJi"), 2);

    messages.answer(QMessageBox::Yes);
    click("XTSJsc_BitBtn");
    EXPECT_EQ(rows("XiTongSheJi"), 1);
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM XiTongSheJi WHERE BH = 1"), 0);
    EXPECT_EQ(rows("SJT"), 1) << "saved papers are not touched";
    EXPECT_EQ(get("TM_Memo3"), "Design a page.") << "the editors show the row now current";

    messages.answer(QMessageBox::Yes);
    click("XTSJsc_BitBtn");
    EXPECT_EQ(rows("XiTongSheJi"), 0);
    messages.clear();
    messages.answer(QMessageBox::Yes);
    click("XTSJsc_BitBtn");
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().icon, MsgIcon::Error) << "nothing to delete";
}

TEST_F(MaintenanceWindow, ChaptersAreAddedModifiedSearchedAndDeleted) {
    bank.exec("INSERT INTO JianDaTi (TypeID,TM,DA,NY,CZ) VALUES (3,'Q','A',12,'1.1  Words')");
    enter(6);
    EXPECT_EQ(w->ADOQuery1->sql(), "Select * from ZhangJie");
    clickRow(6, 1);
    EXPECT_EQ(get("XH_Edit"), "2");
    EXPECT_EQ(get("ZJXH_Edit"), "1.1");
    EXPECT_EQ(get("ZJM_Edit"), "Words");

    // The empty-field messages, spelt as the lecturer has always seen them.
    const struct {
        const char* button;
        const char* code;
        const char* name;
        const char* message;
    } blanks[] = {
        {"ZJTJ_BitBtn", "", "x", "\"Chapter ID\" cannot be balnk!"},
        {"ZJTJ_BitBtn", "2", "", "\"Chapter Name\" cannot be blank!"},
        {"ZJXG_BitBtn", "", "x", "\"Chapter ID\" cannot be balnk!"},
        {"ZJXG_BitBtn", "2", "", "\"Chapter Name\" cannot be balnk!"},
    };
    const QString before = dump("ZhangJie");
    for (const auto& b : blanks) {
        set("ZJXH_Edit", b.code);
        set("ZJM_Edit", b.name);
        messages.clear();
        click(b.button);
        EXPECT_EQ(messages.texts(), QStringList{b.message}) << b.button;
    }
    EXPECT_EQ(dump("ZhangJie"), before);

    // Add: a code already present makes a second row; the titles come back.
    set("ZJXH_Edit", "1.1");
    set("ZJM_Edit", "More words");
    messages.clear();
    click("ZJTJ_BitBtn");
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM ZhangJie WHERE ZJ = '1.1'"), 2);
    EXPECT_EQ(titles(6), (QStringList{"ID", "Chapter ID", "Chapter Name"}));
    EXPECT_EQ(get("XH_Edit"), "3") << "the new chapter is the current row";
    EXPECT_EQ(get("ZJM_Edit"), "More words");

    // Modify the chapter 1.1 Words: its question keeps its chapter text.
    clickRow(6, 1);
    set("ZJM_Edit", "Vocabulary");
    click("ZJXG_BitBtn");
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(bank.text("SELECT ZJName FROM ZhangJie WHERE ID = 2"), "Vocabulary");
    EXPECT_EQ(bank.text("SELECT CZ FROM JianDaTi WHERE TM = 'Q'"), "1.1  Words");

    // Search by the exact code; the titles stay.
    set("ZJXH_Edit", "1.1");
    click("ZJCX_BitBtn");
    EXPECT_EQ(grid(6)->model()->rowCount(), 2);
    EXPECT_EQ(titles(6), (QStringList{"ID", "Chapter ID", "Chapter Name"}));
    set("ZJXH_Edit", "");
    click("ZJCX_BitBtn");
    EXPECT_EQ(grid(6)->model()->rowCount(), 0);
    // Modify on an empty result adds the chapter.
    set("ZJXH_Edit", "4");
    set("ZJM_Edit", "Reading");
    click("ZJXG_BitBtn");
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM ZhangJie WHERE ZJ = '4' AND ZJName = 'Reading'"), 1);

    // Delete: No keeps, Yes removes the current chapter only.
    enter(0);
    enter(6);
    clickRow(6, 0);
    messages.answer(QMessageBox::No);
    click("ZJSC_BitBtn");
    EXPECT_EQ(rows("ZhangJie"), 4);
    messages.answer(QMessageBox::Yes);
    click("ZJSC_BitBtn");
    EXPECT_EQ(rows("ZhangJie"), 3);
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM ZhangJie WHERE ID = 1"), 0);
    EXPECT_EQ(rows("JianDaTi"), 3) << "questions are not touched";
    // The chapter boxes of the question pages are filled once per opening.
    EXPECT_EQ(w->ZJ_ComboBox3->count(), 2);
}

TEST_F(MaintenanceWindow, OpenHandsTheTypedNameInDocToTheDesktop) {
    QStringList opened;
    bool desktopTakesIt = true;
    setShellOpenHandler([&](const QString& path) {
        opened << path;
        return desktopTakesIt;
    });
    bank.addDoc("form.doc");
    bank.addDoc("plan");
    bank.addDoc("   ");
    const QString doc = bank.dir() + "Doc/";
    // Links: one to a document of Doc, one that leads out of it.
    ASSERT_TRUE(QFile::link("form.doc", doc + "alias.doc"));
    ASSERT_TRUE(QFile::link(bank.bankPath(), doc + "bank.doc"));
    const struct {
        const char* button;
        const char* edit;
        const char* name;
        QString opened;  // empty when the desktop is not asked
        QString message; // empty when none
    } cases[] = {
        {"DKTM_BitBtn1", "TMWJ_Edit", "form.doc", doc + "form.doc", ""},
        {"DKDA_BitBtn1", "DAWJ_Edit", "plan", doc + "plan", ""},
        {"BitBtn7", "TMWJ1_Edit", "   ", doc + "   ", ""},
        {"BitBtn5", "DAWJ1_Edit", "", "", "Sorry, File not exist!"},
        {"BitBtn6", "DAWJ2_Edit", "form", "",
         "The file \"form\" is not in the document folder Doc."},
        {"BitBtn8", "DAWJ3_Edit", "../DB/TiKu.mdb", "",
         "The file \"../DB/TiKu.mdb\" is not in the document folder Doc."},
        {"BitBtn9", "DAWJ4_Edit", "alias.doc", doc + "form.doc", ""},
        {"BitBtn9", "DAWJ4_Edit", "bank.doc", "",
         "The file \"bank.doc\" leads outside the document folder Doc, so it is not opened."},
        {"BitBtn10", "DAWJ5_Edit", "", "", "Sorry, File not exist!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        enter(QString(c.button).startsWith("DK") ? 4 : 5);
        set(c.edit, c.name);
        opened.clear();
        messages.clear();
        click(c.button);
        EXPECT_EQ(opened, c.opened.isEmpty() ? QStringList{} : QStringList{c.opened});
        EXPECT_EQ(messages.texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    }
    desktopTakesIt = false;
    set("DAWJ4_Edit", "form.doc");
    messages.clear();
    click("BitBtn9");
    EXPECT_EQ(messages.texts(),
              QStringList{"The desktop has no program that opens the file \"form.doc\"."});
}

} // namespace

TEST_F(MaintenanceWindow, ADocumentTheDesktopHasNoProgramForIsReported) {
    // A desktop whose MIME database names no program for any file.
    QTemporaryDir bin;
    QFile query(bin.path() + "/xdg-mime");
    ASSERT_TRUE(query.open(QIODevice::WriteOnly));
    query.write("#!/bin/sh\necho \"$@\" > \"$0.asked\"\n");
    query.close();
    query.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ":" + path);
    bank.addDoc("form.doc");
    enter(4);
    set("TMWJ_Edit", "form.doc");
    click("DKTM_BitBtn1");
    qputenv("PATH", path);
    EXPECT_EQ(messages.texts(),
              QStringList{"The desktop has no program that opens the file \"form.doc\"."});
    QFile asked(bin.path() + "/xdg-mime.asked");
    ASSERT_TRUE(asked.open(QIODevice::ReadOnly));
    EXPECT_EQ(asked.readAll().trimmed(), "query default application/msword");
}

TEST_F(MaintenanceWindow, TheSelectedQuestionTellsWhenItWasLastUsed) {
    bank.exec("INSERT INTO SJ (SJDH, CJLS, ND) VALUES ('P1', 'admin', 'Easy'), "
              "('P2', 'admin', 'Easy')");
    // Number 2 of type 3 is in no paper: only number 2 of type 1 is.
    bank.exec("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES ('P1', 3, 1, 5), ('P2', 3, 1, 5), "
              "('P2', 1, 2, 5)");
    auto* label = control<QLabel>("LastUsed_L");
    enter(2);
    clickRow(2, 0);
    EXPECT_EQ(label->text(), "Last used: P2 (in 2 saved papers)");
    grid(2)->setFocus();
    QTest::keyClick(grid(2), Qt::Key_Down);
    EXPECT_EQ(label->text(), "Last used: never used");
    enter(bank::kChapterPage);
    EXPECT_TRUE(label->text().isEmpty());
}
