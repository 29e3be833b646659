#include "bank/Unit_Timuluru.h"

#include "bank/FormParts.h"
#include "bank/QuestionEntry.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "db/DataModule.h"
#include "db/Query.h"
#include "db/Schema.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <stdexcept>
#include <vector>

namespace tolvane::bank {

namespace {

const char kQuestionBlank[] = "Question cannot be blank";
const char kAnswerBlank[] = "Answer cannot be blank";
const char kDifficultyBlank[] = "Difficulty cannot be blank";
const char kChapterBlank[] = "\"Chapter belongs\" cannot be blank";
const char kExisted[] = "Question already existed!";
const char kQuestionFileMissing[] = "File quoted by question not exist!";
const char kDifficultyLookup[] = "Select BH From NYD Where NYD=:NY";

} // namespace

TTIMuLuRu::TTIMuLuRu(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TIMuLuRu"));
    setWindowTitle(QStringLiteral("Add Question"));

    // Without a bank the queries report their own error when used.
    ADOQuery1 = new db::Query(bankConnection(), this);
    ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
    ADOQuery2 = new db::Query(bankConnection(), this);
    ADOQuery2->setObjectName(QStringLiteral("ADOQuery2"));

    Label1 = makeHeading(this, QStringLiteral("Add Question"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    buildPages();
    PageControl1->setCurrentIndex(0);

    Button1 = makeButton(this, "Button1", QStringLiteral("Close"));
    Button1->setMinimumWidth(100);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);

    connectHandler(LR_Button1, &QPushButton::clicked, this, [this](bool) { LR_Button1Click(); });
    connectHandler(LR_Button2, &QPushButton::clicked, this, [this](bool) { LR_Button2Click(); });
    connectHandler(LR_Button3, &QPushButton::clicked, this, [this](bool) { LR_Button3Click(); });
    connectHandler(LR_Button4, &QPushButton::clicked, this, [this](bool) { LR_Button4Click(); });
    connectHandler(LR_Button5, &QPushButton::clicked, this, [this](bool) { LR_Button5Click(); });
    connectHandler(LR_Button6, &QPushButton::clicked, this, [this](bool) { LR_Button6Click(); });
    connectHandler(Button1, &QPushButton::clicked, this, [this](bool) { Button1Click(); });

    resize(760, 640);
}

TTIMuLuRu::~TTIMuLuRu() = default;

void TTIMuLuRu::buildPages() {
    const auto addPage = [this](const char* name, const QString& caption) {
        auto* page = new QWidget(PageControl1);
        page->setObjectName(QString::fromLatin1(name));
        PageControl1->addTab(page, caption);
        return page;
    };
    const QString difficulty = QStringLiteral("Difficulty");
    const QString chapter = QStringLiteral("Chapter belongs");
    const QString question = QStringLiteral("Question");
    const QString answer = QStringLiteral("Answer");

    // "Multi-Choice"
    {
        QWidget* p = addPage("TabSheet1", QStringLiteral("Multi-Choice"));
        TH_Edit1 = makeEdit(p, "TH_Edit1");
        TM_memo5 = makeMemo(p, "TM_memo5");
        DAA_Edit = makeEdit(p, "DAA_Edit");
        DAB_Edit = makeEdit(p, "DAB_Edit");
        DAC_Edit = makeEdit(p, "DAC_Edit");
        DAD_Edit = makeEdit(p, "DAD_Edit");
        DA_ComboBox1 = makeCombo(
            p, "DA_ComboBox1",
            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        NY_ComboBox1 = makeCombo(p, "NY_ComboBox1");
        ZJ_ComboBox1 = makeCombo(p, "ZJ_ComboBox1");
        LR_Button1 = makeButton(p, "LR_Button1", QStringLiteral("Add"));
        PageGrid g(p);
        g.numberBox(TH_Edit1);
        g.wide(question, TM_memo5, 1);
        g.wide(QStringLiteral("Choice A"), DAA_Edit);
        g.wide(QStringLiteral("Choice B"), DAB_Edit);
        g.wide(QStringLiteral("Choice C"), DAC_Edit);
        g.wide(QStringLiteral("Choice D"), DAD_Edit);
        g.pair(answer, DA_ComboBox1, difficulty, NY_ComboBox1);
        g.wide(chapter, ZJ_ComboBox1);
        g.addButton(LR_Button1);
    }
    // "Fill-in-Blank"
    {
        QWidget* p = addPage("TabSheet2", QStringLiteral("Fill-in-Blank"));
        TH_Edit2 = makeEdit(p, "TH_Edit2");
        TM_Edit2 = makeEdit(p, "TM_Edit2");
        Kong_ComboBox = makeCombo(p, "Kong_ComboBox", oneToFive());
        Kong_Edit1 = makeEdit(p, "Kong_Edit1");
        Kong_Edit2 = makeEdit(p, "Kong_Edit2");
        Kong_Edit3 = makeEdit(p, "Kong_Edit3");
        Kong_Edit4 = makeEdit(p, "Kong_Edit4");
        Kong_Edit5 = makeEdit(p, "Kong_Edit5");
        NY_ComboBox2 = makeCombo(p, "NY_ComboBox2");
        ZJ_ComboBox2 = makeCombo(p, "ZJ_ComboBox2");
        LR_Button2 = makeButton(p, "LR_Button2", QStringLiteral("Add"));
        PageGrid g(p);
        g.numberBox(TH_Edit2);
        g.wide(question, TM_Edit2);
        g.pair(QStringLiteral("No. of blank"), Kong_ComboBox, difficulty, NY_ComboBox2);
        g.wide(QStringLiteral("Blank 1"), Kong_Edit1);
        g.wide(QStringLiteral("Blank 2"), Kong_Edit2);
        g.wide(QStringLiteral("Blank 3"), Kong_Edit3);
        g.wide(QStringLiteral("Blank 4"), Kong_Edit4);
        g.wide(QStringLiteral("Blank 5"), Kong_Edit5);
        g.wide(chapter, ZJ_ComboBox2);
        g.addButton(LR_Button2);
        // The fill-in-blank page has no memo: keep its rows together at the top.
        g.stretch();
    }
    // "Type 3", "Type 4": a question and its answer.
    const auto answerPage = [&](const char* pageName, const QString& caption, QLineEdit*& number,
                                const char* numberName, QPlainTextEdit*& tm, const char* tmName,
                                QPlainTextEdit*& da, const char* daName, QComboBox*& ny,
                                const char* nyName, QComboBox*& zj, const char* zjName,
                                QPushButton*& add, const char* addName) {
        QWidget* p = addPage(pageName, caption);
        number = makeEdit(p, numberName);
        tm = makeMemo(p, tmName);
        da = makeMemo(p, daName);
        ny = makeCombo(p, nyName);
        zj = makeCombo(p, zjName);
        add = makeButton(p, addName, QStringLiteral("Add"));
        PageGrid g(p);
        g.numberBox(number);
        g.wide(question, tm, 3);
        g.wide(answer, da, 2);
        g.pair(difficulty, ny, chapter, zj);
        g.addButton(add);
    };
    answerPage("TabSheet3", QStringLiteral("Type 3"), TH_Edit3, "TH_Edit3", TM_Memo1, "TM_Memo1",
               DA_Memo1, "DA_Memo1", NY_ComboBox3, "NY_ComboBox3", ZJ_ComboBox3, "ZJ_ComboBox3",
               LR_Button3, "LR_Button3");
    answerPage("TabSheet4", QStringLiteral("Type 4"), TH_Edit4, "TH_Edit4", TM_Memo2, "TM_Memo2",
               DA_Memo2, "DA_Memo2", NY_ComboBox4, "NY_ComboBox4", ZJ_ComboBox4, "ZJ_ComboBox4",
               LR_Button4, "LR_Button4");
    // "Type 5": a question and its answer, each of which may quote a document.
    {
        QWidget* p = addPage("TabSheet5", QStringLiteral("Type 5"));
        TH_Edit5 = makeEdit(p, "TH_Edit5");
        TM_Memo3 = makeMemo(p, "TM_Memo3");
        DA_Memo3 = makeMemo(p, "DA_Memo3");
        TMYY_Edit1 = makeEdit(p, "TMYY_Edit1");
        DAYY_Edit1 = makeEdit(p, "DAYY_Edit1");
        NY_ComboBox5 = makeCombo(p, "NY_ComboBox5");
        ZJ_ComboBox5 = makeCombo(p, "ZJ_ComboBox5");
        LR_Button5 = makeButton(p, "LR_Button5", QStringLiteral("Add"));
        PageGrid g(p);
        g.numberBox(TH_Edit5);
        g.wide(question, TM_Memo3, 3);
        g.wide(QStringLiteral("FileName quoted by question"), TMYY_Edit1);
        g.wide(answer, DA_Memo3, 2);
        g.wide(QStringLiteral("FileName quoted by Answer"), DAYY_Edit1);
        g.pair(difficulty, NY_ComboBox5, chapter, ZJ_ComboBox5);
        g.addButton(LR_Button5);
    }
    // "Type 6": a question with up to five sub-questions.
    {
        QWidget* p = addPage("TabSheet6", QStringLiteral("Type 6"));
        TH_Edit6 = makeEdit(p, "TH_Edit6");
        TM_Memo4 = makeMemo(p, "TM_Memo4");
        TMYY_Edit2 = makeEdit(p, "TMYY_Edit2");
        WTS_ComboBox = makeCombo(p, "WTS_ComboBox", oneToFive());
        NY_ComboBox6 = makeCombo(p, "NY_ComboBox6");
        ZJ_ComboBox6 = makeCombo(p, "ZJ_ComboBox6");
        QLineEdit** answers[] = {&DA1_Edit, &DA2_Edit, &DA3_Edit, &DA4_Edit, &DA5_Edit};
        QLineEdit** files[] = {&DAYY1_Edit, &DAYY2_Edit, &DAYY3_Edit, &DAYY4_Edit, &DAYY5_Edit};
        for (int k = 0; k < 5; ++k) {
            *answers[k] = makeEdit(p, QStringLiteral("DA%1_Edit").arg(k + 1));
            *files[k] = makeEdit(p, QStringLiteral("DAYY%1_Edit").arg(k + 1));
        }
        LR_Button6 = makeButton(p, "LR_Button6", QStringLiteral("Add"));
        PageGrid g(p);
        g.numberBox(TH_Edit6);
        g.wide(question, TM_Memo4, 1);
        g.wide(QStringLiteral("FileName quoted by Question"), TMYY_Edit2);
        g.pair(QStringLiteral("No. of question"), WTS_ComboBox, difficulty, NY_ComboBox6);
        for (int k = 0; k < 5; ++k)
            g.pair(QStringLiteral("Q.%1 Answer").arg(k + 1), *answers[k],
                   QStringLiteral("Quoted File"), *files[k]);
        g.wide(chapter, ZJ_ComboBox6);
        g.addButton(LR_Button6);
    }
}

QString TTIMuLuRu::memoText(const QPlainTextEdit* memo) {
    return bank::memoText(memo);
}

void TTIMuLuRu::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The lists are filled once, when the window first appears, not each
    // time it comes back from being minimised.
    if (event->spontaneous() || m_listsFilled)
        return;
    m_listsFilled = true;
    runHandler([this] { FormShow(); });
}

void TTIMuLuRu::keyPressEvent(QKeyEvent* event) {
    // Escape would throw away whatever has been typed; only "Close" and the
    // close box end the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TTIMuLuRu::FormShow() {
    ADOQuery1->clearParams();
    ADOQuery1->setSql(QStringLiteral("select ZJ,ZJName from ZhangJie"));
    ADOQuery1->open();
    QStringList chapters;
    for (; !ADOQuery1->eof(); ADOQuery1->next())
        chapters << db::chapterItemText(ADOQuery1->fieldText(QStringLiteral("ZJ")),
                                        ADOQuery1->fieldText(QStringLiteral("ZJName")));
    ADOQuery1->close();
    for (QComboBox* box :
         {ZJ_ComboBox1, ZJ_ComboBox2, ZJ_ComboBox3, ZJ_ComboBox4, ZJ_ComboBox5, ZJ_ComboBox6})
        appendItems(box, chapters);

    ADOQuery2->clearParams();
    ADOQuery2->setSql(QStringLiteral("Select NYD from NYD"));
    ADOQuery2->open();
    QStringList levels;
    for (; !ADOQuery2->eof(); ADOQuery2->next())
        levels << ADOQuery2->fieldText(QStringLiteral("NYD"));
    ADOQuery2->close();
    for (QComboBox* box :
         {NY_ComboBox1, NY_ComboBox2, NY_ComboBox3, NY_ComboBox4, NY_ComboBox5, NY_ComboBox6})
        appendItems(box, levels);
}

// One page of the window as its "Add" needs it: what is required, what is
// checked, the statements and where each parameter's value comes from. The
// six pages differ only in these tables.
struct TTIMuLuRu::EntryPage {
    // Where a parameter of the insert statement takes its value.
    enum class Source {
        Control,     // the control's text as typed
        TypeId,      // the page's type looked up by name
        Difficulty,  // the difficulty box's text looked up in NYD
        Count,       // the count box's text as an integer
        QuestionDoc, // the question document's completed name
        AnswerDoc,   // the completed name of answer document `index`
    };
    struct Param {
        const char* name;
        Source source;
        QWidget* control = nullptr;
        int index = 0;
    };
    struct Required {
        QWidget* control;
        const char* message;
    };

    QWidget* question;
    QComboBox* difficulty;
    QLineEdit* numberBox;
    std::vector<Required> required;
    // The answer completeness check: the count box and the answers it
    // counts; none on pages without a count.
    QComboBox* countBox = nullptr;
    std::vector<QLineEdit*> countedAnswers;
    const char* answerMissing = nullptr;
    // The documents a question may quote: the question's and the answers'.
    // With a count box, only answers 1 to n are completed; the others are
    // kept as typed.
    QLineEdit* questionDoc = nullptr;
    std::vector<QLineEdit*> answerDocs;
    QString (*answerDocMissing)(int k) = nullptr; // k from 0
    Statements statements;
    const char* difficultySql;
    std::vector<Param> params;
    std::vector<QWidget*> cleared;
};

namespace {

// The text a control holds, as the lecturer typed it.
QString controlText(const QWidget* control) {
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memoText(memo);
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* box = qobject_cast<const QComboBox*>(control))
        return box->currentText();
    throw std::logic_error("question entry: a control that holds no text");
}

void clearControl(QWidget* control) {
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->clear();
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->clear();
}

QString answerFileMissing(int) {
    return QStringLiteral("File quoted by answer not exist!");
}

QString numberedAnswerFileMissing(int k) {
    return QStringLiteral("File quoted by answer %1 not exist!").arg(k + 1);
}

} // namespace

bool TTIMuLuRu::reportMissingDocuments(const QList<QuotedDocument>& documents) {
    const QStringList messages = missingDocumentMessages(documents);
    for (const QString& message : messages)
        plainMessage(message);
    return !messages.isEmpty();
}

bool TTIMuLuRu::isDuplicate(const char* scanSql, const QString& question) {
    ADOQuery2->clearParams();
    ADOQuery2->setSql(QString::fromLatin1(scanSql));
    ADOQuery2->open();
    const bool found = containsExactly(*ADOQuery2, QStringLiteral("TM"), question);
    ADOQuery2->close();
    return found;
}

qint64 TTIMuLuRu::lookupType(const char* sql, const char* typeName) {
    ADOQuery1->clearParams();
    ADOQuery1->setSql(QString::fromLatin1(sql));
    ADOQuery1->open();
    if (ADOQuery1->eof())
        throw db::DbError(QStringLiteral("The question bank has no question type named '%1'.")
                              .arg(QString::fromLatin1(typeName)));
    return ADOQuery1->fieldInt(QStringLiteral("TypeID"));
}

qint64 TTIMuLuRu::lookupDifficulty(const char* sql, const QString& difficulty) {
    ADOQuery2->clearParams();
    ADOQuery2->setSql(QString::fromLatin1(sql));
    ADOQuery2->bindText(QStringLiteral("NY"), difficulty);
    ADOQuery2->open();
    if (ADOQuery2->eof())
        throw db::DbError(
            QStringLiteral("The question bank has no difficulty named '%1'.").arg(difficulty));
    return ADOQuery2->fieldInt(QStringLiteral("BH"));
}

void TTIMuLuRu::showCount(const char* sql, QLineEdit* numberBox) {
    ADOQuery1->clearParams();
    ADOQuery1->setSql(QString::fromLatin1(sql));
    ADOQuery1->open();
    // The box numbers the question just added: the rows there were before it,
    // plus one. Counted after the insert, the new row is already among them.
    numberBox->setText(QString::number(ADOQuery1->recordCount()));
    ADOQuery1->close();
}

void TTIMuLuRu::addQuestion(const EntryPage& page) {
    using Source = EntryPage::Source;
    const QString question = controlText(page.question);
    for (const auto& [control, message] : page.required) {
        if (controlText(control).isEmpty()) {
            plainMessage(QString::fromLatin1(message));
            return;
        }
    }

    // Pages without a count box complete and check every answer document.
    int count = int(page.answerDocs.size());
    if (page.countBox) {
        QStringList answers;
        for (QLineEdit* edit : page.countedAnswers)
            answers << edit->text();
        // An empty count box is no integer either.
        count = toInteger(page.countBox->currentText());
        if (firstMissingAnswer(count, answers)) {
            plainMessage(QString::fromLatin1(page.answerMissing));
            return;
        }
    }
    const bool duplicate = isDuplicate(page.statements.scan, question);

    // Every missing document gets its message, and any of them stops the
    // addition before a duplicate is reported. A name typed for a
    // sub-question beyond the count is looked for and kept as typed.
    QString questionDoc;
    QStringList answerDocs;
    if (page.questionDoc) {
        questionDoc = completeDocName(page.questionDoc->text());
        QList<QuotedDocument> documents{
            {page.questionDoc->text(), questionDoc, QString::fromLatin1(kQuestionFileMissing)}};
        for (int k = 0; k < int(page.answerDocs.size()); ++k) {
            const QString typed = page.answerDocs[k]->text();
            answerDocs << (k < count ? completeDocName(typed) : typed);
            documents.append({typed, answerDocs.last(), page.answerDocMissing(k)});
        }
        if (reportMissingDocuments(documents))
            return;
    }
    if (duplicate) {
        plainMessage(QString::fromLatin1(kExisted));
        return;
    }
    const qint64 type = lookupType(page.statements.type, page.statements.typeName);
    const qint64 ny = lookupDifficulty(page.difficultySql, page.difficulty->currentText());

    ADOQuery1->clearParams();
    ADOQuery1->setSql(QString::fromLatin1(page.statements.insert));
    for (const EntryPage::Param& param : page.params) {
        const QString name = QString::fromLatin1(param.name);
        switch (param.source) {
        case Source::Control:
            ADOQuery1->bindText(name, controlText(param.control));
            break;
        case Source::TypeId:
            ADOQuery1->bindInt(name, type);
            break;
        case Source::Difficulty:
            ADOQuery1->bindInt(name, ny);
            break;
        case Source::Count:
            // The count was checked to be a whole number above; the column
            // holds it as one.
            ADOQuery1->bindInt(name, count);
            break;
        case Source::QuestionDoc:
            ADOQuery1->bindText(name, questionDoc);
            break;
        case Source::AnswerDoc:
            ADOQuery1->bindText(name, answerDocs.at(param.index));
            break;
        }
    }
    ADOQuery1->execSql();

    showCount(page.statements.count, page.numberBox);
    for (QWidget* control : page.cleared)
        clearControl(control);
}

void TTIMuLuRu::LR_Button1Click() {
    using S = EntryPage::Source;
    addQuestion({TM_memo5,
                 NY_ComboBox1,
                 TH_Edit1,
                 {{TM_memo5, kQuestionBlank},
                  {DAA_Edit, "Choice A cannot be blank"},
                  {DAB_Edit, "Choice B cannot be blank"},
                  {DAC_Edit, "Choice C cannot be blank"},
                  {DAD_Edit, "Choice D cannot be blank"},
                  {DA_ComboBox1, kAnswerBlank},
                  {NY_ComboBox1, kDifficultyBlank},
                  {ZJ_ComboBox1, kChapterBlank}},
                 nullptr,
                 {},
                 nullptr,
                 nullptr,
                 {},
                 nullptr,
                 {"SELECT TM FROM XuanZeTi",
                  "Select TypeID from Type where TypeName='Multi-choice'", "Multi-choice",
                  "INSERT INTO XuanZeTi(TypeID,TM,A,B,C,D,DA,CZ,NY) "
                  "VALUES(:tp,:TM,:DAA,:DAB,:DAC,:DAD,:DA,:ZJ,:NY)",
                  "Select 1 from XuanZeTi"},
                 "Select BH from NYD Where NYD=:NY",
                 {{"tp", S::TypeId},
                  {"TM", S::Control, TM_memo5},
                  {"DAA", S::Control, DAA_Edit},
                  {"DAB", S::Control, DAB_Edit},
                  {"DAC", S::Control, DAC_Edit},
                  {"DAD", S::Control, DAD_Edit},
                  {"DA", S::Control, DA_ComboBox1},
                  {"ZJ", S::Control, ZJ_ComboBox1},
                  {"NY", S::Difficulty}},
                 {TM_memo5, DAA_Edit, DAB_Edit, DAC_Edit, DAD_Edit}});
}

void TTIMuLuRu::LR_Button2Click() {
    using S = EntryPage::Source;
    addQuestion({TM_Edit2,
                 NY_ComboBox2,
                 TH_Edit2,
                 {{TM_Edit2, kQuestionBlank},
                  {NY_ComboBox2, kDifficultyBlank},
                  {ZJ_ComboBox2, kChapterBlank},
                  {Kong_ComboBox, "\"No. of blank\" cannot be blank"}},
                 Kong_ComboBox,
                 {Kong_Edit1, Kong_Edit2, Kong_Edit3, Kong_Edit4, Kong_Edit5},
                 "Answer missing for Blank",
                 nullptr,
                 {},
                 nullptr,
                 {"SELECT TM FROM TianKong",
                  "Select TypeID From Type Where TypeName='Fill-in-Blank'", "Fill-in-Blank",
                  "INSERT INTO TianKong(TypeID,TM,K1,K2,K3,K4,K5,YTS,NY,CZ) "
                  "VALUES(:temp,:TM,:K1,:K2,:K3,:K4,:K5,:YTS,:NY,:CZ)",
                  "Select 1 From TianKong"},
                 kDifficultyLookup,
                 {{"temp", S::TypeId},
                  {"TM", S::Control, TM_Edit2},
                  {"K1", S::Control, Kong_Edit1},
                  {"K2", S::Control, Kong_Edit2},
                  {"K3", S::Control, Kong_Edit3},
                  {"K4", S::Control, Kong_Edit4},
                  {"K5", S::Control, Kong_Edit5},
                  {"YTS", S::Count},
                  {"NY", S::Difficulty},
                  {"CZ", S::Control, ZJ_ComboBox2}},
                 {TM_Edit2, Kong_Edit1, Kong_Edit2, Kong_Edit3, Kong_Edit4, Kong_Edit5}});
}

TTIMuLuRu::EntryPage TTIMuLuRu::answerPage(QPlainTextEdit* question, QPlainTextEdit* answer,
                                           QComboBox* difficulty, QComboBox* chapter,
                                           QLineEdit* numberBox, const Statements& statements) {
    using S = EntryPage::Source;
    return {question,
            difficulty,
            numberBox,
            {{question, kQuestionBlank},
             {answer, kAnswerBlank},
             {difficulty, kDifficultyBlank},
             {chapter, kChapterBlank}},
            nullptr,
            {},
            nullptr,
            nullptr,
            {},
            nullptr,
            statements,
            kDifficultyLookup,
            {{"temp", S::TypeId},
             {"TM", S::Control, question},
             {"DA", S::Control, answer},
             {"NY", S::Difficulty},
             {"CZ", S::Control, chapter}},
            {question, answer}};
}

void TTIMuLuRu::LR_Button3Click() {
    addQuestion(answerPage(
        TM_Memo1, DA_Memo1, NY_ComboBox3, ZJ_ComboBox3, TH_Edit3,
        {"SELECT TM FROM JianDaTi", "Select TypeID From Type Where TypeName='Type 3'", "Type 3",
         "INSERT INTO JianDaTi(TypeID,TM,DA,NY,CZ) VALUES(:temp,:TM,:DA,:NY,:CZ)",
         "Select 1 From JianDaTi"}));
}

// The page captioned "Type 4" files its questions under the type named
// "Type 5": the rest of the program reads type 5 from YuanLiLunShu.
void TTIMuLuRu::LR_Button4Click() {
    addQuestion(answerPage(
        TM_Memo2, DA_Memo2, NY_ComboBox4, ZJ_ComboBox4, TH_Edit4,
        {"SELECT TM FROM YuanLiLunShu", "Select TypeID From Type Where TypeName='Type 5'", "Type 5",
         "INSERT INTO YuanLiLunShu(TypeID,TM,DA,NY,CZ) VALUES(:temp,:TM,:DA,:NY,:CZ)",
         "Select 1 From YuanLiLunShu"}));
}

// The page captioned "Type 5" files its questions under the type named
// "Type 4", read back from XiTongSheJi; the question and the answer may each
// quote a document.
void TTIMuLuRu::LR_Button5Click() {
    using S = EntryPage::Source;
    EntryPage page = answerPage(TM_Memo3, DA_Memo3, NY_ComboBox5, ZJ_ComboBox5, TH_Edit5,
                                {"SELECT TM FROM XiTongSheJi",
                                 "Select TypeID From Type Where TypeName='Type 4'", "Type 4",
                                 "INSERT INTO XiTongSheJi(TypeID,TM,DA,NY,CZ,DABG,TMBG) "
                                 "VALUES(:temp,:TM,:DA,:NY,:CZ,:DABG,:TMBG)",
                                 "Select 1 From XiTongSheJi"});
    page.questionDoc = TMYY_Edit1;
    page.answerDocs = {DAYY_Edit1};
    page.answerDocMissing = answerFileMissing;
    page.params.push_back({"DABG", S::AnswerDoc, nullptr, 0});
    page.params.push_back({"TMBG", S::QuestionDoc});
    page.cleared.insert(page.cleared.end(), {TMYY_Edit1, DAYY_Edit1});
    addQuestion(page);
}

void TTIMuLuRu::LR_Button6Click() {
    using S = EntryPage::Source;
    EntryPage page{TM_Memo4,
                   NY_ComboBox6,
                   TH_Edit6,
                   {{TM_Memo4, kQuestionBlank},
                    {NY_ComboBox6, kDifficultyBlank},
                    {ZJ_ComboBox6, kChapterBlank}},
                   WTS_ComboBox,
                   {DA1_Edit, DA2_Edit, DA3_Edit, DA4_Edit, DA5_Edit},
                   "Answer missing!",
                   TMYY_Edit2,
                   {DAYY1_Edit, DAYY2_Edit, DAYY3_Edit, DAYY4_Edit, DAYY5_Edit},
                   numberedAnswerFileMissing,
                   {"SELECT TM FROM XiTongCZ", "Select TypeID From Type Where TypeName='Type 6'",
                    "Type 6",
                    "INSERT INTO "
                    "XiTongCZ(TypeID,TM,NY,CZ,W1DA,W1DABG,W2DA,W2DABG,W3DA,W3DABG,W4DA,W4DABG,"
                    "W5DA,W5DABG,WTS,TMBG) "
                    "VALUES(:temp,:TM,:NY,:CZ,:W1DA,:W1DABG,:W2DA,:W2DABG,:W3DA,:W3DABG,:W4DA,:"
                    "W4DABG,:W5DA,:W5DABG,:WTS,:TMBG)",
                    "Select 1 From XiTongCZ"},
                   kDifficultyLookup,
                   {{"temp", S::TypeId},
                    {"TM", S::Control, TM_Memo4},
                    {"NY", S::Difficulty},
                    {"CZ", S::Control, ZJ_ComboBox6},
                    {"WTS", S::Count},
                    {"TMBG", S::QuestionDoc}},
                   {TM_Memo4, DA1_Edit, DA2_Edit, DA3_Edit, DA4_Edit, DA5_Edit, DAYY1_Edit,
                    DAYY2_Edit, DAYY3_Edit, DAYY4_Edit, DAYY5_Edit, TMYY_Edit2}};
    static const char* const answerNames[] = {"W1DA", "W2DA", "W3DA", "W4DA", "W5DA"};
    static const char* const fileNames[] = {"W1DABG", "W2DABG", "W3DABG", "W4DABG", "W5DABG"};
    QLineEdit* const answers[] = {DA1_Edit, DA2_Edit, DA3_Edit, DA4_Edit, DA5_Edit};
    for (int k = 0; k < 5; ++k) {
        page.params.push_back({answerNames[k], S::Control, answers[k]});
        page.params.push_back({fileNames[k], S::AnswerDoc, nullptr, k});
    }
    addQuestion(page);
}

void TTIMuLuRu::Button1Click() {
    close();
}

} // namespace tolvane::bank
