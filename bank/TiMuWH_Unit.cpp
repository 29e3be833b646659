#include "bank/TiMuWH_Unit.h"

#include "bank/Export_Form.h"
#include "bank/FormParts.h"
#include "bank/Import_Form.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "papers/UsageHistory.h"
#include "widgets/DataGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tolvane::bank {

namespace {

QString editorText(const QWidget* editor) {
    if (auto* edit = qobject_cast<const QLineEdit*>(editor))
        return edit->text();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(editor))
        return memoText(memo);
    if (auto* box = qobject_cast<const QComboBox*>(editor))
        return box->currentText();
    return QString();
}

void setEditorText(QWidget* editor, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(editor)) {
        memo->setPlainText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(-1);
        box->setEditText(text);
    }
}

widgets::TDBGrid* makeGrid(QWidget* parent, const char* name) {
    auto* grid = new widgets::TDBGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    // Room for a dozen rows, at any text size.
    grid->setMinimumHeight(grid->fontMetrics().height() * 12);
    return grid;
}

QRadioButton* makeRadio(QWidget* parent, const QString& name, const QString& caption) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    return radio;
}

// An edit with its "Open" button beside it.
QWidget* withOpenButton(QWidget* parent, QLineEdit* edit, QPushButton* open) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    edit->setParent(box);
    open->setParent(box);
    row->addWidget(edit, 1);
    row->addWidget(open);
    return box;
}

// The page's grid above, its editors below in a scrolling pane, so that every
// editor stays reachable however large the text is drawn.
QSplitter* splitPage(QWidget* page, widgets::TDBGrid* grid, QWidget* editors, QLayout* buttons) {
    auto* splitter = new QSplitter(Qt::Vertical, page);
    splitter->setChildrenCollapsible(false);
    auto* scroll = new QScrollArea(splitter);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(editors);
    grid->setParent(splitter);
    splitter->addWidget(grid);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    return splitter;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Question Bank Management"));

    ADOQuery1 = new db::Query(bankConnection(), this);
    ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
    // A table of many years' questions opens at once: the grid reads its
    // rows as it scrolls to them.
    ADOQuery1->setFetchBlock(256);
    ADOQuery2 = new db::Query(bankConnection(), this);
    ADOQuery2->setObjectName(QStringLiteral("ADOQuery2"));

    Label1 = makeHeading(this, QStringLiteral("Question Bank Management"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    buildQuestionPages();
    buildChapterPage();
    // One result set feeds every grid; each grid shows it while its page is
    // in view.
    for (widgets::TDBGrid* grid :
         {XZ_DBGrid, TK_DBGrid, JD_DBGrid, YLLS_DBGrid, XTSJ_DBGrid, XTCZ_DBGrid, ZJ_DBGrid})
        grid->setQuery(ADOQuery1);
    PageControl1->setCurrentIndex(2);

    Import_BitBtn = makeButton(this, "Import_BitBtn", QStringLiteral("Import..."));
    Export_BitBtn = makeButton(this, "Export_BitBtn", QStringLiteral("Export..."));
    auto* heading = new QHBoxLayout;
    heading->addWidget(Label1, 1);
    heading->addWidget(Import_BitBtn);
    heading->addWidget(Export_BitBtn);
    LastUsed_L = new QLabel(this);
    LastUsed_L->setObjectName(QStringLiteral("LastUsed_L"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(LastUsed_L);

    connectHandlers();
    resize(980, 720);
}

TForm1::~TForm1() {
    // The grids must not follow the query while the window is taken apart.
    for (widgets::TDBGrid* grid :
         {XZ_DBGrid, TK_DBGrid, JD_DBGrid, YLLS_DBGrid, XTSJ_DBGrid, XTCZ_DBGrid, ZJ_DBGrid})
        grid->setQuery(nullptr);
    disconnect(ADOQuery1, nullptr, this, nullptr);
}

void TForm1::buildQuestionPages() {
    const QString question = QStringLiteral("Question");
    const QString answer = QStringLiteral("Answer");
    const QString type = QStringLiteral("Type");
    const QString difficulty = QStringLiteral("Difficulty");
    const QString chapter = QStringLiteral("Chapter belongs");
    const QString number = QStringLiteral("Question No.");

    struct Names {
        const char* tab;
        QString caption;
        const char* grid;
        const char* prefix; // of the buttons and the update mode pair
        const char* search; // one page spells its search button differently
    };
    const Names names[kQuestionPages] = {
        {"TabSheet1", QStringLiteral("Multi-Choice"), "XZ_DBGrid", "XZ", "XZcxun_BitBtn"},
        {"TabSheet2", QStringLiteral("Fill-in-Blank"), "TK_DBGrid", "TK", "TKcxun_BitBtn"},
        {"TabSheet3", QStringLiteral("Type 3"), "JD_DBGrid", "JD", "JDcxun_BitBtn"},
        {"TabSheet4", QStringLiteral("Type 4"), "YLLS_DBGrid", "YLLS", "YLLScxun_BitBtn"},
        {"TabSheet5", QStringLiteral("Type 5"), "XTSJ_DBGrid", "XTSJ", "XYSJcxun_BitBtn"},
        {"TabSheet6", QStringLiteral("Type 6"), "XTCZ_DBGrid", "XTCZ", "XTCZcxun_BitBtn"},
    };
    QWidget** tabs[] = {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4, &TabSheet5, &TabSheet6};
    widgets::TDBGrid** grids[] = {&XZ_DBGrid,   &TK_DBGrid,   &JD_DBGrid,
                                  &YLLS_DBGrid, &XTSJ_DBGrid, &XTCZ_DBGrid};
    QPushButton** buttons[][6] = {
        {&XZgx_BitBtn, &XZtj_BitBtn, &XZcx_BitBtn, &XZcxun_BitBtn, &XZsc_BitBtn, &XZgb_BitBtn},
        {&TKgx_BitBtn, &TKtj_BitBtn, &TKcx_BitBtn, &TKcxun_BitBtn, &TKsc_BitBtn, &TKgb_BitBtn},
        {&JDgx_BitBtn, &JDtj_BitBtn, &JDcx_BitBtn, &JDcxun_BitBtn, &JDsc_BitBtn, &JDgb_BitBtn},
        {&YLLSgx_BitBtn, &YLLStj_BitBtn, &YLLScx_BitBtn, &YLLScxun_BitBtn, &YLLSsc_BitBtn,
         &YLLSgb_BitBtn},
        {&XTSJgx_BitBtn, &XTSJtj_BitBtn, &XTSJcx_BitBtn, &XYSJcxun_BitBtn, &XTSJsc_BitBtn,
         &XTSJgb_BitBtn},
        {&XTCZgx_BitBtn, &XTCZtj_BitBtn, &XTCZcx_BitBtn, &XTCZcxun_BitBtn, &XTCZsc_BitBtn,
         &XTCZgb_BitBtn}};
    QRadioButton** radios[][2] = {
        {&XZ_RadioButton1, &XZ_RadioButton2},     {&TK_RadioButton1, &TK_RadioButton2},
        {&JD_RadioButton1, &JD_RadioButton2},     {&YLLS_RadioButton1, &YLLS_RadioButton2},
        {&XTSJ_RadioButton1, &XTSJ_RadioButton2}, {&XTCZ_RadioButton1, &XTCZ_RadioButton2}};
    QLineEdit** numbers[] = {&TH_Edit1, &TH_Edit2, &TH_Edit3, &TH_Edit4, &TH_Edit5, &TH_Edit6};
    QComboBox** types[] = {&TX_ComboBox1, &TX_ComboBox2, &TX_ComboBox3,
                           &TX_ComboBox4, &TX_ComboBox5, &TX_ComboBox6};
    QComboBox** levels[] = {&NY_ComboBox1, &NY_ComboBox2, &NY_ComboBox3,
                            &NY_ComboBox4, &NY_ComboBox5, &NY_ComboBox6};
    QComboBox** chapters[] = {&ZJ_ComboBox1, &ZJ_ComboBox2, &ZJ_ComboBox3,
                              &ZJ_ComboBox4, &ZJ_ComboBox5, &ZJ_ComboBox6};

    for (int p = 0; p < kQuestionPages; ++p) {
        const Names& n = names[p];
        const QString prefix = QString::fromLatin1(n.prefix);
        QWidget* page = new QWidget(PageControl1);
        page->setObjectName(QString::fromLatin1(n.tab));
        *tabs[p] = page;
        PageControl1->addTab(page, n.caption);

        *grids[p] = makeGrid(page, n.grid);
        auto* editors = new QWidget;
        editors->setObjectName(prefix + QStringLiteral("_Editors"));

        const QString buttonNames[] = {prefix + "gx_BitBtn", prefix + "tj_BitBtn",
                                       prefix + "cx_BitBtn", QString::fromLatin1(n.search),
                                       prefix + "sc_BitBtn", prefix + "gb_BitBtn"};
        const QString captions[] = {"Update", "Submit", "Undo", "Search", "Delete", "Close"};
        auto* row = new QHBoxLayout;
        auto* mode = new QWidget(page);
        auto* modeRow = new QHBoxLayout(mode);
        modeRow->setContentsMargins(0, 0, 0, 0);
        *radios[p][0] = makeRadio(mode, prefix + "_RadioButton1", QStringLiteral("Update Now"));
        *radios[p][1] = makeRadio(mode, prefix + "_RadioButton2", QStringLiteral("Batch Update"));
        // Every Update is written at once: there is no batch mode to choose.
        (*radios[p][1])->setEnabled(false);
        modeRow->addWidget(*radios[p][0]);
        modeRow->addWidget(*radios[p][1]);
        row->addWidget(mode);
        row->addStretch(1);
        for (int b = 0; b < 6; ++b) {
            *buttons[p][b] = makeButton(page, buttonNames[b].toLatin1().constData(), captions[b]);
            row->addWidget(*buttons[p][b]);
        }
        splitPage(page, *grids[p], editors, row);

        QLineEdit* th = *numbers[p] = makeEdit(editors, QStringLiteral("TH_Edit%1").arg(p + 1));
        th->setReadOnly(true);
        th->setFocusPolicy(Qt::NoFocus);
        QComboBox* tx = *types[p] =
            makeCombo(editors, QStringLiteral("TX_ComboBox%1").arg(p + 1).toLatin1().constData());
        QComboBox* ny = *levels[p] =
            makeCombo(editors, QStringLiteral("NY_ComboBox%1").arg(p + 1).toLatin1().constData());
        QComboBox* zj = *chapters[p] =
            makeCombo(editors, QStringLiteral("ZJ_ComboBox%1").arg(p + 1).toLatin1().constData());

        QuestionPageControls& c = m_pages[p];
        c.grid = *grids[p];
        c.chapter = zj;
        c.editors = {{"BH", th}, {"TypeID", tx}, {"NY", ny}, {"CZ", zj}};

        PageGrid g(editors);
        g.pair(number, th, type, tx);
        switch (p) {
        case 0: {
            TM_memo5 = makeMemo(editors, "TM_memo5");
            XXA_Edit = makeEdit(editors, "XXA_Edit");
            XXB_Edit = makeEdit(editors, "XXB_Edit");
            XXC_Edit = makeEdit(editors, "XXC_Edit");
            XXD_Edit = makeEdit(editors, "XXD_Edit");
            DA_ComboBox = makeCombo(editors, "DA_ComboBox",
                                    {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                     QStringLiteral("D")});
            c.editors.insert("TM", TM_memo5);
            c.editors.insert("A", XXA_Edit);
            c.editors.insert("B", XXB_Edit);
            c.editors.insert("C", XXC_Edit);
            c.editors.insert("D", XXD_Edit);
            c.editors.insert("DA", DA_ComboBox);
            g.wide(question, TM_memo5, 1);
            g.pair(QStringLiteral("Choice A"), XXA_Edit, QStringLiteral("Choice B"), XXB_Edit);
            g.pair(QStringLiteral("Choice C"), XXC_Edit, QStringLiteral("Choice D"), XXD_Edit);
            g.pair(answer, DA_ComboBox, difficulty, ny);
            g.wide(chapter, zj);
            break;
        }
        case 1: {
            TM_Edit2 = makeEdit(editors, "TM_Edit2");
            K_ComboBox = makeCombo(editors, "K_ComboBox", oneToFive());
            QLineEdit** blanks[] = {&K_Edit1, &K_Edit2, &K_Edit3, &K_Edit4, &K_Edit5};
            for (int k = 0; k < 5; ++k) {
                *blanks[k] = makeEdit(editors, QStringLiteral("K_Edit%1").arg(k + 1));
                c.editors.insert(QStringLiteral("K%1").arg(k + 1), *blanks[k]);
            }
            c.editors.insert("TM", TM_Edit2);
            c.editors.insert("YTS", K_ComboBox);
            g.wide(question, TM_Edit2);
            g.pair(QStringLiteral("No. of blank"), K_ComboBox, difficulty, ny);
            g.pair(QStringLiteral("Blank 1"), K_Edit1, QStringLiteral("Blank 2"), K_Edit2);
            g.pair(QStringLiteral("Blank 3"), K_Edit3, QStringLiteral("Blank 4"), K_Edit4);
            g.pair(QStringLiteral("Blank 5"), K_Edit5, chapter, zj);
            g.stretch();
            break;
        }
        case 2:
        case 3:
        case 4: {
            const int m = p - 1;
            QPlainTextEdit* tm =
                makeMemo(editors, QStringLiteral("TM_Memo%1").arg(m).toLatin1().constData());
            QPlainTextEdit* da =
                makeMemo(editors, QStringLiteral("DA_Memo%1").arg(m).toLatin1().constData());
            (p == 2 ? TM_Memo1 : p == 3 ? TM_Memo2 : TM_Memo3) = tm;
            (p == 2 ? DA_Memo1 : p == 3 ? DA_Memo2 : DA_Memo3) = da;
            c.editors.insert("TM", tm);
            c.editors.insert("DA", da);
            g.wide(question, tm, 3);
            g.wide(answer, da, 2);
            if (p == 4) {
                TMWJ_Edit = makeEdit(editors, "TMWJ_Edit");
                DAWJ_Edit = makeEdit(editors, "DAWJ_Edit");
                DKTM_BitBtn1 = makeButton(editors, "DKTM_BitBtn1", QStringLiteral("Open"));
                DKDA_BitBtn1 = makeButton(editors, "DKDA_BitBtn1", QStringLiteral("Open"));
                c.editors.insert("TMBG", TMWJ_Edit);
                c.editors.insert("DABG", DAWJ_Edit);
                g.pair(QStringLiteral("Question File"),
                       withOpenButton(editors, TMWJ_Edit, DKTM_BitBtn1),
                       QStringLiteral("Answer File"),
                       withOpenButton(editors, DAWJ_Edit, DKDA_BitBtn1));
            }
            g.pair(difficulty, ny, chapter, zj);
            break;
        }
        default: {
            TM_Memo4 = makeMemo(editors, "TM_Memo4");
            WTS_ComboBox = makeCombo(editors, "WTS_ComboBox");
            TMWJ1_Edit = makeEdit(editors, "TMWJ1_Edit");
            BitBtn7 = makeButton(editors, "BitBtn7", QStringLiteral("Open"));
            c.editors.insert("TM", TM_Memo4);
            c.editors.insert("WTS", WTS_ComboBox);
            c.editors.insert("TMBG", TMWJ1_Edit);
            g.wide(question, TM_Memo4, 1);
            g.pair(QStringLiteral("Question File"), withOpenButton(editors, TMWJ1_Edit, BitBtn7),
                   QStringLiteral("No. of Question"), WTS_ComboBox);
            QLineEdit** answers[] = {&W1DA_Edit, &W2DA_Edit, &W3DA_Edit, &W4DA_Edit, &W5DA_Edit};
            QLineEdit** files[] = {&DAWJ1_Edit, &DAWJ2_Edit, &DAWJ3_Edit, &DAWJ4_Edit, &DAWJ5_Edit};
            QPushButton** opens[] = {&BitBtn5, &BitBtn6, &BitBtn8, &BitBtn9, &BitBtn10};
            const char* openNames[] = {"BitBtn5", "BitBtn6", "BitBtn8", "BitBtn9", "BitBtn10"};
            for (int k = 0; k < 5; ++k) {
                *answers[k] = makeEdit(editors, QStringLiteral("W%1DA_Edit").arg(k + 1));
                *files[k] = makeEdit(editors, QStringLiteral("DAWJ%1_Edit").arg(k + 1));
                *opens[k] = makeButton(editors, openNames[k], QStringLiteral("Open"));
                c.editors.insert(QStringLiteral("W%1DA").arg(k + 1), *answers[k]);
                c.editors.insert(QStringLiteral("W%1DABG").arg(k + 1), *files[k]);
                g.pair(QStringLiteral("Q.%1 Answer").arg(k + 1), *answers[k],
                       QStringLiteral("Answer %1 File").arg(k + 1),
                       withOpenButton(editors, *files[k], *opens[k]));
            }
            g.pair(difficulty, ny, chapter, zj);
            break;
        }
        }
    }
}

void TForm1::buildChapterPage() {
    TabSheet7 = new QWidget(PageControl1);
    TabSheet7->setObjectName(QStringLiteral("TabSheet7"));
    PageControl1->addTab(TabSheet7, QStringLiteral("Chapter Maintenance"));
    ZJ_DBGrid = makeGrid(TabSheet7, "ZJ_DBGrid");

    auto* editors = new QWidget;
    XH_Edit = makeEdit(editors, "XH_Edit");
    // The number is the database's: shown, never typed.
    XH_Edit->setReadOnly(true);
    XH_Edit->setFocusPolicy(Qt::NoFocus);
    ZJXH_Edit = makeEdit(editors, "ZJXH_Edit");
    ZJM_Edit = makeEdit(editors, "ZJM_Edit");
    PageGrid g(editors);
    g.pair(QStringLiteral("ID"), XH_Edit, QStringLiteral("Chapter ID"), ZJXH_Edit);
    g.wide(QStringLiteral("Chapter Name"), ZJM_Edit);
    g.stretch();

    ZJTJ_BitBtn = makeButton(TabSheet7, "ZJTJ_BitBtn", QStringLiteral("Add"));
    ZJXG_BitBtn = makeButton(TabSheet7, "ZJXG_BitBtn", QStringLiteral("Modify"));
    ZJSC_BitBtn = makeButton(TabSheet7, "ZJSC_BitBtn", QStringLiteral("Delete"));
    ZJCX_BitBtn = makeButton(TabSheet7, "ZJCX_BitBtn", QStringLiteral("Search"));
    BitBtn2 = makeButton(TabSheet7, "BitBtn2", QStringLiteral("Close"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : {ZJTJ_BitBtn, ZJXG_BitBtn, ZJSC_BitBtn, ZJCX_BitBtn, BitBtn2})
        row->addWidget(b);
    QSplitter* splitter = splitPage(TabSheet7, ZJ_DBGrid, editors, row);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    // Three edits: shown whole, never behind a scroll bar.
    splitter->widget(1)->setMinimumHeight(editors->sizeHint().height());
}

void TForm1::connectHandlers() {
    connectHandler(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (m_shown)
            PageControl1Change();
    });
    const std::pair<widgets::TDBGrid*, void (TForm1::*)()> grids[] = {
        {XZ_DBGrid, &TForm1::XZ_DBGridMouseUp},     {TK_DBGrid, &TForm1::TK_DBGridMouseUp},
        {JD_DBGrid, &TForm1::JD_DBGridMouseUp},     {YLLS_DBGrid, &TForm1::YLLS_DBGridMouseUp},
        {XTSJ_DBGrid, &TForm1::XTSJ_DBGridMouseUp}, {XTCZ_DBGrid, &TForm1::XTCZ_DBGridMouseUp},
        {ZJ_DBGrid, &TForm1::ZJ_DBGridMouseUp}};
    for (const auto& [grid, handler] : grids)
        connectHandler(grid, &widgets::TDBGrid::mouseUp, this,
                       [this, h = handler] { (this->*h)(); });

    const std::pair<QPushButton*, void (TForm1::*)()> buttons[] = {
        {XZgx_BitBtn, &TForm1::XZgx_BitBtnClick},
        {TKgx_BitBtn, &TForm1::TKgx_BitBtnClick},
        {JDgx_BitBtn, &TForm1::JDgx_BitBtnClick},
        {YLLSgx_BitBtn, &TForm1::YLLSgx_BitBtnClick},
        {XTSJgx_BitBtn, &TForm1::XTSJgx_BitBtnClick},
        {XTCZgx_BitBtn, &TForm1::XTCZgx_BitBtnClick},
        {XZcxun_BitBtn, &TForm1::XZcxun_BitBtnClick},
        {TKcxun_BitBtn, &TForm1::TKcxun_BitBtnClick},
        {JDcxun_BitBtn, &TForm1::JDcxun_BitBtnClick},
        {YLLScxun_BitBtn, &TForm1::YLLScxun_BitBtnClick},
        {XYSJcxun_BitBtn, &TForm1::XYSJcxun_BitBtnClick},
        {XTCZcxun_BitBtn, &TForm1::XTCZcxun_BitBtnClick},
        {XZsc_BitBtn, &TForm1::XZsc_BitBtnClick},
        {TKsc_BitBtn, &TForm1::TKsc_BitBtnClick},
        {JDsc_BitBtn, &TForm1::JDsc_BitBtnClick},
        {YLLSsc_BitBtn, &TForm1::YLLSsc_BitBtnClick},
        {XTSJsc_BitBtn, &TForm1::XTSJsc_BitBtnClick},
        {XTCZsc_BitBtn, &TForm1::XTCZsc_BitBtnClick},
        {XZgb_BitBtn, &TForm1::XZgb_BitBtnClick},
        {TKgb_BitBtn, &TForm1::TKgb_BitBtnClick},
        {JDgb_BitBtn, &TForm1::JDgb_BitBtnClick},
        {YLLSgb_BitBtn, &TForm1::YLLSgb_BitBtnClick},
        {XTSJgb_BitBtn, &TForm1::XTSJgb_BitBtnClick},
        {XTCZgb_BitBtn, &TForm1::XTCZgb_BitBtnClick},
        {ZJTJ_BitBtn, &TForm1::ZJTJ_BitBtnClick},
        {ZJSC_BitBtn, &TForm1::ZJSC_BitBtnClick},
        {ZJXG_BitBtn, &TForm1::ZJXG_BitBtnClick},
        {ZJCX_BitBtn, &TForm1::ZJCX_BitBtnClick},
        {BitBtn2, &TForm1::BitBtn2Click},
        {DKTM_BitBtn1, &TForm1::DKTM_BitBtn1Click},
        {DKDA_BitBtn1, &TForm1::DKDA_BitBtn1Click},
        {BitBtn7, &TForm1::BitBtn7Click},
        {BitBtn5, &TForm1::BitBtn5Click},
        {BitBtn6, &TForm1::BitBtn6Click},
        {BitBtn8, &TForm1::BitBtn8Click},
        {BitBtn9, &TForm1::BitBtn9Click},
        {BitBtn10, &TForm1::BitBtn10Click},
    };
    for (const auto& [button, handler] : buttons)
        connectHandler(button, &QPushButton::clicked, this, [this, h = handler] { (this->*h)(); });

    // A row made current in any way (the keyboard, a write, a deletion) is
    // loaded, and a reopened result gets the page's titles back. Connected
    // after the grids, which are reset first.
    connectHandler(Import_BitBtn, &QPushButton::clicked, this, [this] { Import_BitBtnClick(); });
    connectHandler(Export_BitBtn, &QPushButton::clicked, this, [this] { Export_BitBtnClick(); });
    connectHandler(ADOQuery1, &db::Query::currentRowChanged, this, [this] { loadCurrentRow(); });
    connect(ADOQuery1, &db::Query::resetDone, this, [this] { applyColumns(); });
}

void TForm1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || m_shown)
        return;
    m_shown = true;
    runHandler([this] { FormShow(); });
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Escape would throw away what the editors hold; "Close" ends the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

int TForm1::pageIndex() const {
    return PageControl1->currentIndex();
}

widgets::TDBGrid* TForm1::gridOf(int page) const {
    return page == kChapterPage ? ZJ_DBGrid : m_pages.at(page).grid;
}

void TForm1::FormShow() {
    PageControl1Change();

    QStringList typeNames, levels, chapters;
    ADOQuery2->close();
    ADOQuery2->clearParams();
    ADOQuery2->setSql(QStringLiteral("Select TypeName From Type"));
    for (ADOQuery2->open(); !ADOQuery2->eof(); ADOQuery2->next())
        typeNames << ADOQuery2->fieldText(QStringLiteral("TypeName"));
    ADOQuery2->setSql(QStringLiteral("Select NYD From NYD"));
    for (ADOQuery2->open(); !ADOQuery2->eof(); ADOQuery2->next())
        levels << ADOQuery2->fieldText(QStringLiteral("NYD"));
    ADOQuery2->setSql(QStringLiteral("Select ZJ,ZJName From ZhangJie"));
    for (ADOQuery2->open(); !ADOQuery2->eof(); ADOQuery2->next())
        chapters << db::chapterItemText(ADOQuery2->fieldText(QStringLiteral("ZJ")),
                                        ADOQuery2->fieldText(QStringLiteral("ZJName")));
    ADOQuery2->close();
    for (QComboBox* box :
         {TX_ComboBox1, TX_ComboBox2, TX_ComboBox3, TX_ComboBox4, TX_ComboBox5, TX_ComboBox6})
        appendItems(box, typeNames);
    for (QComboBox* box :
         {NY_ComboBox1, NY_ComboBox2, NY_ComboBox3, NY_ComboBox4, NY_ComboBox5, NY_ComboBox6})
        appendItems(box, levels);
    for (QComboBox* box :
         {ZJ_ComboBox1, ZJ_ComboBox2, ZJ_ComboBox3, ZJ_ComboBox4, ZJ_ComboBox5, ZJ_ComboBox6})
        appendItems(box, chapters);

    for (QRadioButton* now : {XZ_RadioButton1, TK_RadioButton1, JD_RadioButton1, YLLS_RadioButton1,
                              XTSJ_RadioButton1, XTCZ_RadioButton1})
        now->setChecked(true);
    for (QPushButton* off :
         {XZtj_BitBtn, XZcx_BitBtn, TKtj_BitBtn, TKcx_BitBtn, JDtj_BitBtn, JDcx_BitBtn,
          YLLStj_BitBtn, YLLScx_BitBtn, XTSJtj_BitBtn, XTSJcx_BitBtn, XTCZtj_BitBtn, XTCZcx_BitBtn})
        off->setEnabled(false);
}

void TForm1::PageControl1Change() {
    openPage(*ADOQuery1, pageIndex());
    loadCurrentRow();
}

void TForm1::applyColumns() {
    if (!ADOQuery1->isOpen())
        return;
    const int page = pageIndex();
    widgets::TDBGrid* grid = gridOf(page);
    if (page == kChapterPage) {
        for (const auto& [column, title] : chapterTitles())
            grid->setColumnTitle(column, title);
        grid->setColumnWidthChars(2, 30);
        return;
    }
    const QuestionPage& info = questionPage(page);
    for (const auto& [column, title] : info.titles)
        grid->setColumnTitle(column, title);
    for (const auto& [column, chars] : info.widths)
        grid->setColumnWidthChars(column, chars);
    // Pages that give their texts no width still show a readable part of the
    // question and the answer.
    if (info.widths.empty())
        for (const int column : {2, 3})
            grid->setColumnWidthChars(column, 30);
}

void TForm1::loadCurrentRow() {
    if (!ADOQuery1->isOpen() || ADOQuery1->eof()) {
        LastUsed_L->clear();
        return;
    }
    const int page = pageIndex();
    if (page == kChapterPage) {
        LastUsed_L->clear();
        const ChapterEditors row = loadChapter(*ADOQuery1);
        XH_Edit->setText(row.id);
        ZJXH_Edit->setText(row.code);
        ZJM_Edit->setText(row.name);
        return;
    }
    const QuestionEditors row = loadQuestion(*ADOQuery1, *ADOQuery2, page);
    const QuestionPageControls& c = m_pages.at(page);
    for (auto it = row.constBegin(); it != row.constEnd(); ++it)
        if (QWidget* editor = c.editors.value(it.key()))
            setEditorText(editor, it.value());
    db::Query uses(bankConnection());
    LastUsed_L->setText(papers::questionUseText(papers::questionUse(
        uses, questionPage(page).typeId, int(ADOQuery1->fieldInt(QStringLiteral("BH"))))));
}

void TForm1::updateClick(int page) {
    const QuestionPageControls& c = m_pages.at(page);
    QuestionEditors editors;
    for (auto it = c.editors.constBegin(); it != c.editors.constEnd(); ++it)
        editors.insert(it.key(), editorText(it.value()));
    const UpdateResult result = updateQuestion(*ADOQuery1, *ADOQuery2, page, editors);
    plainMessage(result.message);
}

void TForm1::searchClick(int page) {
    searchPage(*ADOQuery1, page, m_pages.at(page).chapter->currentText());
    loadCurrentRow();
}

void TForm1::deleteClick() {
    if (showMessage(QStringLiteral("Confirm deletion of this record?"), QStringLiteral("Delete"),
                    MsgIcon::Information, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    ADOQuery1->deleteCurrent();
}

void TForm1::openDocument(const QLineEdit* nameEdit) {
    if (const auto message = openQuotedDocument(nameEdit->text()))
        plainMessage(*message);
}

// Loading a row on a mouse release over a grid; an empty grid has none.
void TForm1::XZ_DBGridMouseUp() {
    loadCurrentRow();
}
void TForm1::TK_DBGridMouseUp() {
    loadCurrentRow();
}
void TForm1::JD_DBGridMouseUp() {
    loadCurrentRow();
}
void TForm1::YLLS_DBGridMouseUp() {
    loadCurrentRow();
}
void TForm1::XTSJ_DBGridMouseUp() {
    loadCurrentRow();
}
void TForm1::XTCZ_DBGridMouseUp() {
    loadCurrentRow();
}
void TForm1::ZJ_DBGridMouseUp() {
    loadCurrentRow();
}

void TForm1::XZgx_BitBtnClick() {
    updateClick(0);
}
void TForm1::TKgx_BitBtnClick() {
    updateClick(1);
}
void TForm1::JDgx_BitBtnClick() {
    updateClick(2);
}
void TForm1::YLLSgx_BitBtnClick() {
    updateClick(3);
}
void TForm1::XTSJgx_BitBtnClick() {
    updateClick(4);
}
void TForm1::XTCZgx_BitBtnClick() {
    updateClick(5);
}

void TForm1::XZcxun_BitBtnClick() {
    searchClick(0);
}
void TForm1::TKcxun_BitBtnClick() {
    searchClick(1);
}
void TForm1::JDcxun_BitBtnClick() {
    searchClick(2);
}
void TForm1::YLLScxun_BitBtnClick() {
    searchClick(3);
}
void TForm1::XYSJcxun_BitBtnClick() {
    searchClick(4);
}
void TForm1::XTCZcxun_BitBtnClick() {
    searchClick(5);
}

void TForm1::XZsc_BitBtnClick() {
    deleteClick();
}
void TForm1::TKsc_BitBtnClick() {
    deleteClick();
}
void TForm1::JDsc_BitBtnClick() {
    deleteClick();
}
void TForm1::YLLSsc_BitBtnClick() {
    deleteClick();
}
void TForm1::XTSJsc_BitBtnClick() {
    deleteClick();
}
void TForm1::XTCZsc_BitBtnClick() {
    deleteClick();
}
void TForm1::ZJSC_BitBtnClick() {
    deleteClick();
}

void TForm1::XZgb_BitBtnClick() {
    close();
}
void TForm1::TKgb_BitBtnClick() {
    close();
}
void TForm1::JDgb_BitBtnClick() {
    close();
}
void TForm1::YLLSgb_BitBtnClick() {
    close();
}
void TForm1::XTSJgb_BitBtnClick() {
    close();
}
void TForm1::XTCZgb_BitBtnClick() {
    close();
}
void TForm1::BitBtn2Click() {
    close();
}

void TForm1::ZJTJ_BitBtnClick() {
    if (const auto blank = chapterBlank(ChapterAction::Add, ZJXH_Edit->text(), ZJM_Edit->text())) {
        plainMessage(*blank);
        return;
    }
    addChapter(*ADOQuery1, ZJXH_Edit->text(), ZJM_Edit->text());
}

void TForm1::ZJXG_BitBtnClick() {
    if (const auto blank =
            chapterBlank(ChapterAction::Modify, ZJXH_Edit->text(), ZJM_Edit->text())) {
        plainMessage(*blank);
        return;
    }
    modifyChapter(*ADOQuery1, ZJXH_Edit->text(), ZJM_Edit->text());
}

void TForm1::ZJCX_BitBtnClick() {
    searchChapters(*ADOQuery1, ZJXH_Edit->text());
    loadCurrentRow();
}

void TForm1::DKTM_BitBtn1Click() {
    openDocument(TMWJ_Edit);
}
void TForm1::DKDA_BitBtn1Click() {
    openDocument(DAWJ_Edit);
}
void TForm1::BitBtn7Click() {
    openDocument(TMWJ1_Edit);
}
void TForm1::BitBtn5Click() {
    openDocument(DAWJ1_Edit);
}
void TForm1::BitBtn6Click() {
    openDocument(DAWJ2_Edit);
}
void TForm1::BitBtn8Click() {
    openDocument(DAWJ3_Edit);
}
void TForm1::BitBtn9Click() {
    openDocument(DAWJ4_Edit);
}
void TForm1::BitBtn10Click() {
    openDocument(DAWJ5_Edit);
}

void TForm1::Import_BitBtnClick() {
    TImport_Form form(this);
    form.exec();
    if (!form.importDone())
        return;
    for (QComboBox* box :
         {ZJ_ComboBox1, ZJ_ComboBox2, ZJ_ComboBox3, ZJ_ComboBox4, ZJ_ComboBox5, ZJ_ComboBox6})
        appendItems(box, form.report().newChapters);
    PageControl1Change();
}

void TForm1::Export_BitBtnClick() {
    TExport_Form form(this);
    form.exec();
}

} // namespace tolvane::bank
