#include "bank/DemoCourse.h"
#include "bank/Export_Form.h"
#include "bank/Import_Form.h"
#include "bank/TiMuWH_Unit.h"
#include "core/FileChooser.h"
#include "db/Query.h"
#include "exchange/BankExchange.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"
#include "widgets/CheckTreeView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace tolvane;

namespace {

// Answers every file chooser with one path while it lives, and keeps the
// requests.
struct Chooser {
    QList<FileRequest> requests;
    explicit Chooser(const QString& path) {
        setFileChooser([this, path](const FileRequest& r) {
            requests << r;
            return path;
        });
    }
    ~Chooser() { setFileChooser({}); }
};

QByteArray demoExport(exchange::Format format = exchange::Format::MoodleXml) {
    test::TestBank source;
    bank::writeDemoCourse(source.connection());
    exchange::ExportOptions options;
    options.format = format;
    options.embedDocuments = false;
    return exchange::exportBank(source.connection(), source.dir() + "Doc", options).data;
}

QString save(const QTemporaryDir& dir, const char* name, const QByteArray& data) {
    QFile f(dir.filePath(QLatin1String(name)));
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return f.fileName();
}

QStringList column(const QTreeWidget* tree, int c) {
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        out << tree->topLevelItem(i)->text(c);
    return out;
}

} // namespace

TEST(ImportWindow, PreviewsPerChapterAndTypeThenImportsWithTheChosenDefaults) {
    QTemporaryDir files;
    const QString path = save(files, "lms.xml", R"(<?xml version="1.0"?>
<quiz>
<question type="essay"><name><text>free</text></name><questiontext><text>No category here</text></questiontext></question>
<question type="category"><category><text>$course$/top/Week 1</text></category></question>
<question type="shortanswer"><name><text>sa</text></name><questiontext><text>Capital?</text></questiontext>
 <answer fraction="100"><text>Paris</text></answer></question>
<question type="matching"><name><text>m</text></name><questiontext><text>Match</text></questiontext></question>
</quiz>)");
    test::TestBank bank;
    bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics')");
    test::MessageRecorder messages;
    bank::TImport_Form form;
    Chooser chooser(path);
    form.Browse_Btn->click();
    ASSERT_EQ(chooser.requests.size(), 1);
    EXPECT_FALSE(chooser.requests[0].save);
    EXPECT_TRUE(chooser.requests[0].filter.contains("*.gift *.txt"));
    EXPECT_EQ(form.File_Edit->text(), path);
    EXPECT_EQ(column(form.Preview_Tree, 0),
              (QStringList{"(no chapter)", "2  Week 1", "All chapters"}));
    EXPECT_EQ(column(form.LeftOut_Tree, 3),
              QStringList{"matching questions have no place in this bank"});
    EXPECT_TRUE(form.Import_Btn->isEnabled());
    EXPECT_EQ(bank.count("SELECT COUNT(*) FROM ZhangJie"), 1); // a preview writes nothing

    form.ZJ_ComboBox->setCurrentIndex(form.ZJ_ComboBox->findData("1  Basics"));
    form.NY_ComboBox->setCurrentIndex(2);
    form.Essay_ComboBox->setCurrentIndex(1);
    EXPECT_EQ(column(form.Preview_Tree, 0),
              (QStringList{"1  Basics", "2  Week 1", "All chapters"}));
    form.Import_Btn->click();
    EXPECT_EQ(messages.texts(),
              QStringList{"Imported 2 questions (multiple choice 0, fill-in-blank 1, type 3 0, "
                          "type 4 1, type 5 0, type 6 0); left out 1."});
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(bank.rows("SELECT TM, NY, CZ FROM YuanLiLunShu"),
              QStringList{"No category here|14|1  Basics"});
    EXPECT_EQ(bank.rows("SELECT TM, K1, CZ FROM TianKong"),
              QStringList{"Capital?|Paris|2  Week 1"});
}

TEST(ImportWindow, AnUnreadableFileIsReportedAndNothingCanBeImported) {
    QTemporaryDir files;
    const QString path = save(files, "bad.xml", "<quiz>\n<question type=\"essay\">\n");
    test::TestBank bank;
    test::MessageRecorder messages;
    bank::TImport_Form form;
    form.loadFile(path);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.contains("not well-formed XML at line 3"));
    EXPECT_FALSE(form.Import_Btn->isEnabled());
    EXPECT_EQ(form.Preview_Tree->topLevelItemCount(), 0);
}

TEST(MaintenanceWindow, ImportFromTheWindowRefreshesTheGridAndChapterLists) {
    QTemporaryDir files;
    const QString path = save(files, "demo.xml", demoExport());
    test::TestBank bank;
    test::MessageRecorder messages;
    bank::TForm1 window;
    window.show();
    ASSERT_EQ(window.ADOQuery1->recordCount(), 0);
    Chooser chooser(path);
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<bank::TImport_Form*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        sawDialog = true;
        form->Browse_Btn->click();
        form->Import_Btn->click();
    });
    window.findChild<QPushButton*>("Import_BitBtn")->click();
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(messages.count(), 1);
    // The page in view ("Type 3") shows the imported questions at once.
    EXPECT_EQ(window.ADOQuery1->recordCount(), bank.count("SELECT COUNT(*) FROM JianDaTi"));
    EXPECT_GT(window.ADOQuery1->recordCount(), 0);
    EXPECT_EQ(window.ZJ_ComboBox3->count(), bank.count("SELECT COUNT(*) FROM ZhangJie"));
}

TEST(ExportWindow, ExportsTheTickedChaptersInTheChosenFormat) {
    test::TestBank bank;
    bank::writeDemoCourse(bank.connection());
    QTemporaryDir files;
    const QString path = files.filePath("out.gift");
    test::MessageRecorder messages;
    bank::TExport_Form form;
    ASSERT_GT(form.ZJ_CT->topLevelItemCount(), 2);

    // Nothing ticked: nothing to export.
    form.ZJ_CT->SetAllStates(widgets::csUnchecked);
    Chooser chooser(path);
    form.Gift_RadioButton->setChecked(true);
    EXPECT_FALSE(form.Embed_CheckBox->isEnabled());
    form.Browse_Btn->click();
    EXPECT_TRUE(chooser.requests.at(0).save);
    EXPECT_EQ(form.File_Edit->text(), path);
    form.Export_Btn->click();
    EXPECT_EQ(messages.texts(), QStringList{"Tick the chapters to export."});
    EXPECT_FALSE(QFile::exists(path));

    // The first chapter with its sections.
    QTreeWidgetItem* first = form.ZJ_CT->topLevelItem(0);
    form.ZJ_CT->ToggleNode(first);
    form.Export_Btn->click();
    ASSERT_EQ(messages.count(), 2);
    EXPECT_TRUE(
        messages.last().text.contains(QRegularExpression("Exported [1-9][0-9]* questions")));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QString gift = QString::fromUtf8(out.readAll());
    EXPECT_TRUE(gift.contains("$CATEGORY: $course$/top/" + first->text(0)));
    for (int i = 1; i < form.ZJ_CT->topLevelItemCount(); ++i)
        EXPECT_FALSE(gift.contains(form.ZJ_CT->topLevelItem(i)->text(0)));
    EXPECT_EQ(form.result(), QDialog::Accepted);
}
