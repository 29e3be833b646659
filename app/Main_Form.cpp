#include "app/Main_Form.h"

#include "bank/TiMuWH_Unit.h"
#include "bank/Unit_Timuluru.h"
#include "core/About_Form.h"
#include "core/AppPaths.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "core/Session.h"
#include "core/Shell.h"
#include "db/DataModule.h"
#include "docs/LibreOffice.h"
#include "docs/PaperDocuments.h"
#include "options/Set_Form.h"
#include "papers/UsageHistory.h"
#include "widgets/ChapterTree.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTabBar>
#include <QVBoxLayout>

namespace tolvane {

using widgets::TFlatButton;

QColor TMain_F::moneyGreen() {
    return QColor(0xC0, 0xDC, 0xC0);
}
QColor TMain_F::maroon() {
    return QColor(0x80, 0x00, 0x00);
}

static QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setContentsMargins(4, 10, 4, 2);
    return label;
}

TFlatButton* TMain_F::makeNavButton(const QString& name, const QString& caption) {
    auto* b = new TFlatButton(this);
    b->setObjectName(name);
    b->setText(caption);
    b->setMinimumHeight(34);
    b->setMinimumWidth(150);
    b->setCaptionColor(Qt::black);
    connect(b, &TFlatButton::mouseEntered, this, [this, b] { XYSJ_FBtnMouseEnter(b); });
    connect(b, &TFlatButton::mouseLeft, this, [this, b] { XYSJ_FBtnMouseLeave(b); });
    return b;
}

TMain_F::TMain_F(QWidget* parent)
    : QDialog(parent), m_newWord([] { return std::make_unique<docs::LibreOfficeApplication>(); }) {
    setObjectName(QStringLiteral("Main_F"));
    setWindowTitle(QStringLiteral("Tolvane Test Paper Generation"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, moneyGreen());
    setPalette(pal);

    XYSJ_FBtn = makeNavButton(QStringLiteral("XYSJ_FBtn"), QStringLiteral("Available Papers"));
    ZDSJ_FBtn = makeNavButton(QStringLiteral("ZDSJ_FBtn"), QStringLiteral("Auto Generation"));
    SDSJ_FBtn = makeNavButton(QStringLiteral("SDSJ_FBtn"), QStringLiteral("Manual Generation"));
    TKLR_FBtn = makeNavButton(QStringLiteral("TKLR_FBtn"), QStringLiteral("Add Question"));
    TKWH_FBtn = makeNavButton(QStringLiteral("TKWH_FBtn"), QStringLiteral("Question Bank"));

    XXSZ_P = new QFrame(this);
    XXSZ_P->setObjectName(QStringLiteral("XXSZ_P"));
    auto* optionsLayout = new QVBoxLayout(XXSZ_P);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    XXSZ_FBtn = makeNavButton(QStringLiteral("XXSZ_FBtn"), QStringLiteral("Options"));
    XXSZ_FBtn->setParent(XXSZ_P);
    optionsLayout->addWidget(XXSZ_FBtn);

    Help_FBtn = new TFlatButton(this);
    Help_FBtn->setObjectName(QStringLiteral("Help_FBtn"));
    Help_FBtn->setText(QStringLiteral("Help"));
    About_FBtn = new TFlatButton(this);
    About_FBtn->setObjectName(QStringLiteral("About_FBtn"));
    About_FBtn->setText(QStringLiteral("About"));
    FlatButton2 = new TFlatButton(this);
    FlatButton2->setObjectName(QStringLiteral("FlatButton2"));
    FlatButton2->setText(QStringLiteral("Close"));
    for (TFlatButton* b : {Help_FBtn, About_FBtn, FlatButton2}) {
        b->setMinimumWidth(90);
        b->setMinimumHeight(30);
        b->setFrameColors(moneyGreen(), Qt::white, Qt::black);
    }

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont hf = Label1->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.5);
    Label1->setFont(hf);

    SJ_PC = new QTabWidget(this);
    SJ_PC->setObjectName(QStringLiteral("SJ_PC"));
    // The pages sit on a light panel of their own against the green window.
    SJ_PC->setStyleSheet(QStringLiteral("QTabWidget#SJ_PC::pane { border: 1px solid #8aa88a; "
                                        "background: #f3f7f3; top: 0px; }"));
    AvailablePage = new papers::TAvailablePapersPage(CurrentTestID);
    XYSJ_TS = AvailablePage;
    AutoGenPage = new autogen::TAutoGenPage(GeneratedTest, GeneratedTestB);
    ZDSJ_TS = AutoGenPage;
    ManualGenPage = new papers::TManualGenPage(*ChosenTypes, *ChosenNumbers, *ChosenDifficulties);
    SDSJ_TS = ManualGenPage;
    SJ_PC->addTab(XYSJ_TS, QStringLiteral("Available Papers"));
    SJ_PC->addTab(ZDSJ_TS, QStringLiteral("Auto Generation"));
    SJ_PC->addTab(SDSJ_TS, QStringLiteral("Manual Generation"));

    ZDZJ_CT = AutoGenPage->ZDZJ_CT;

    JS_L = ManualGenPage->JS_L;
    SDZJ_CT = ManualGenPage->SDZJ_CT;
    // A saved paper opens the page anew, with its tree unticked.
    ManualGenPage->onSaved = [this] { SDSJ_FBtnClick(); };

    // Navigation column.
    auto* nav = new QVBoxLayout;
    nav->setSpacing(6);
    nav->addWidget(heading(QStringLiteral("Test Paper"), this));
    nav->addWidget(XYSJ_FBtn);
    nav->addWidget(ZDSJ_FBtn);
    nav->addWidget(SDSJ_FBtn);
    nav->addSpacing(8);
    nav->addWidget(heading(QStringLiteral("Question Bank"), this));
    nav->addWidget(TKLR_FBtn);
    nav->addWidget(TKWH_FBtn);
    nav->addWidget(XXSZ_P);
    nav->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(Label1, 1);
    top->addWidget(Help_FBtn);
    top->addWidget(About_FBtn);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(FlatButton2);

    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(SJ_PC, 1);
    right->addLayout(bottom);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(14);
    layout->addLayout(nav);
    layout->addLayout(right, 1);
    resize(1000, 680);

    connectHandler(XYSJ_FBtn, &TFlatButton::clicked, this, [this] { XYSJ_FBtnClick(); });
    connectHandler(ZDSJ_FBtn, &TFlatButton::clicked, this, [this] { ZDSJ_FBtnClick(); });
    connectHandler(SDSJ_FBtn, &TFlatButton::clicked, this, [this] { SDSJ_FBtnClick(); });
    connectHandler(TKLR_FBtn, &TFlatButton::clicked, this, [this] { TKLR_FBtnClick(); });
    connectHandler(TKWH_FBtn, &TFlatButton::clicked, this, [this] { TKWH_FBtnClick(); });
    connectHandler(XXSZ_FBtn, &TFlatButton::clicked, this, [this] { XXSZ_FBtnClick(); });
    connectHandler(Help_FBtn, &TFlatButton::clicked, this, [this] { Help_FBtnClick(); });
    connectHandler(About_FBtn, &TFlatButton::clicked, this, [this] { About_FBtnClick(); });
    connectHandler(FlatButton2, &TFlatButton::clicked, this, [this] { FlatButton2Click(); });
    connectHandler(AvailablePage->YLSJ_FBtn, &TFlatButton::clicked, this,
                   [this] { YLSJ_FBtnClick(); });
    connectHandler(AvailablePage->BCDA_FBtn, &TFlatButton::clicked, this,
                   [this] { BCDA_FBtnClick(); });
    connectHandler(AutoGenPage->ZDYLSJ_FBtn, &TFlatButton::clicked, this,
                   [this] { ZDYLSJ_FBtnClick(); });
    connectHandler(AutoGenPage->ZDYLSJB_FBtn, &TFlatButton::clicked, this,
                   [this] { ZDYLSJB_FBtnClick(); });
    connectHandler(AutoGenPage->YLDA_FBtn, &TFlatButton::clicked, this,
                   [this] { BCDA_FBtnClick(); });
    connect(AvailablePage, &papers::TAvailablePapersPage::paperDeleted, this,
            [this] { runHandler([this] { XYSJ_FBtnClick(); }); });
}

TMain_F::~TMain_F() {
    FormDestroy();
}

QList<TFlatButton*> TMain_F::navigationButtons() const {
    return {XYSJ_FBtn, ZDSJ_FBtn, SDSJ_FBtn, TKLR_FBtn, TKWH_FBtn, XXSZ_FBtn};
}

void TMain_F::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        runHandler([this] { FormShow(); });
    }
}

void TMain_F::keyPressEvent(QKeyEvent* event) {
    // Escape would close the window and with it the whole program.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void TMain_F::FormShow() {
    XXSZ_P->setEnabled(CurrentPermission != 0);
    SJ_PC->tabBar()->hide();
    // A bank whose chapters cannot be read still leaves a usable window.
    runHandler([this] { buildChapterTrees(); });
    JS_L->setText(QStringLiteral("Lecturer:  ") + CurrentUserName);
    // The pages hold on to the manual lists, so they are emptied, not made
    // anew.
    ChosenTypes->clear();
    ChosenNumbers->clear();
    ChosenDifficulties->clear();
    AnswerList = std::make_unique<docs::AnswerLines>();
    XYSJ_FBtnClick();
}

void TMain_F::buildChapterTrees() {
    if (!ZJ_ADOT)
        ZJ_ADOT = std::make_unique<db::Query>(&db::bank());
    widgets::buildChapterTrees(*ZJ_ADOT, {SDZJ_CT, ZDZJ_CT});
}

void TMain_F::FormDestroy() {
    ChosenTypes->clear();
    ChosenNumbers->clear();
    ChosenDifficulties->clear();
    AnswerList.reset();
    GeneratedTest.clear();
    GeneratedTestB.clear();
}

void TMain_F::setNavigationFrames(TFlatButton* used) {
    for (TFlatButton* b : navigationButtons()) {
        if (b == used)
            b->setFrameColors(Qt::blue, Qt::blue, Qt::blue);
        else
            b->setFrameColors(moneyGreen(), Qt::white, Qt::black);
    }
}

void TMain_F::XYSJ_FBtnClick() {
    SJ_PC->setCurrentWidget(XYSJ_TS);
    setNavigationFrames(XYSJ_FBtn);
    Label1->setText(QStringLiteral("Draw available Test paper"));
    AvailablePage->listPapers();
    // Answers have to be made again by a preview once the page is opened.
    if (AnswerList && !AnswerList->isEmpty())
        AnswerList->clear();
}

void TMain_F::ZDSJ_FBtnClick() {
    SJ_PC->setCurrentWidget(ZDSJ_TS);
    setNavigationFrames(ZDSJ_FBtn);
    Label1->setText(QStringLiteral("Test paper auto-Generation"));
    AutoGenPage->openPage();
}

void TMain_F::SDSJ_FBtnClick() {
    SJ_PC->setCurrentWidget(SDSJ_TS);
    setNavigationFrames(SDSJ_FBtn);
    Label1->setText(QStringLiteral("Test paper manual-Generation"));
    ManualGenPage->openPage();
}

void TMain_F::TKLR_FBtnClick() {
    setNavigationFrames(TKLR_FBtn);
    auto window = std::make_unique<bank::TTIMuLuRu>(nullptr);
    window->exec();
}

void TMain_F::TKWH_FBtnClick() {
    setNavigationFrames(TKWH_FBtn);
    auto window = std::make_unique<bank::TForm1>(nullptr);
    window->exec();
}

void TMain_F::XXSZ_FBtnClick() {
    setNavigationFrames(XXSZ_FBtn);
    auto window = std::make_unique<options::TSet_F>(nullptr);
    window->exec();
}

void TMain_F::Help_FBtnClick() {
    openHelpFile();
}

void TMain_F::About_FBtnClick() {
    auto about = std::make_unique<TAbout_F>(nullptr);
    about->exec();
}

void TMain_F::FlatButton2Click() {
    close();
}

void TMain_F::setWordApplicationFactory(WordFactory factory) {
    m_newWord = std::move(factory);
}

db::Query& TMain_F::query(std::unique_ptr<db::Query>& slot) {
    if (!slot)
        slot = std::make_unique<db::Query>(&db::bank());
    return *slot;
}

template <typename Render> void TMain_F::previewTest(bool paperB, Render render) {
    if (!AnswerList)
        AnswerList = std::make_unique<docs::AnswerLines>();
    WindowProgress progress;
    const std::unique_ptr<docs::WordApplication> word = m_newWord();
    const bool before = m_answersOfPaperB;
    m_answersOfPaperB = paperB;
    // Unreached, the word processor leaves the answers as they were.
    if (!render(*word, progress, *AnswerList, paperB ? papers::paperBLabel() : QString()))
        m_answersOfPaperB = before;
}

void TMain_F::YLSJ_FBtnClick() {
    // Until a paper has been listed there is nothing to preview.
    if (CurrentTestID.isEmpty() || !AvailablePage->hasQuestionList()) {
        showMessage(QStringLiteral("No test paper selected yet, please select a test paper "
                                   "first!"),
                    QStringLiteral("No test selected"), MsgIcon::Information);
        return;
    }
    previewTest(
        papers::isPaperB(CurrentTestID), [this](docs::WordApplication& word, Progress& progress,
                                                docs::AnswerLines& answers, const QString& label) {
            return docs::renderSavedPaper(word, progress, query(SJTXX_ADOQ), query(XT_ADOQ),
                                          CurrentTestID, AvailablePage->listedQuestionCount(),
                                          AppPaths::docDir(), answers, label);
        });
}

void TMain_F::ZDYLSJ_FBtnClick() {
    previewTest(false, [this](docs::WordApplication& word, Progress& progress,
                              docs::AnswerLines& answers, const QString& label) {
        // The marks of the headings are those of the request as it stands now.
        return docs::renderGeneratedTest(word, progress, query(XT_ADOQ), GeneratedTest,
                                         AutoGenPage->request(), AppPaths::docDir(), answers,
                                         label);
    });
}

void TMain_F::ZDYLSJB_FBtnClick() {
    if (GeneratedTestB.isEmpty()) {
        showMessage(QStringLiteral("Paper B not generated yet, please tick \"Also draw paper B\" "
                                   "and generate test first!"),
                    QStringLiteral("No test generated"), MsgIcon::Error);
        return;
    }
    previewTest(true, [this](docs::WordApplication& word, Progress& progress,
                             docs::AnswerLines& answers, const QString& label) {
        return docs::renderGeneratedTest(word, progress, query(XT_ADOQ), GeneratedTestB,
                                         AutoGenPage->request(), AppPaths::docDir(), answers,
                                         label);
    });
}

void TMain_F::BCDA_FBtnClick() {
    WindowProgress progress;
    const std::unique_ptr<docs::WordApplication> word = m_newWord();
    docs::renderAnswers(*word, progress, AnswerList.get(), AppPaths::docDir(),
                        m_answersOfPaperB ? papers::paperBLabel() : QString());
}

void TMain_F::XYSJ_FBtnMouseEnter(QObject* sender) {
    if (auto* b = qobject_cast<TFlatButton*>(sender))
        b->setCaptionColor(maroon());
}

void TMain_F::XYSJ_FBtnMouseLeave(QObject* sender) {
    if (auto* b = qobject_cast<TFlatButton*>(sender))
        b->setCaptionColor(Qt::black);
}

} // namespace tolvane
