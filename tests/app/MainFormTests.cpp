#include "app/Main_Form.h"
#include "core/About_Form.h"
#include "core/Session.h"
#include "core/Shell.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestBank.h"

#include <QApplication>
#include <QFile>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tolvane;
using widgets::TFlatButton;

namespace {

// Closes the next modal window that opens and remembers its caption.
struct ModalCloser {
    QString caption;
    void arm() {
        QTimer::singleShot(20, [this] { poll(); });
    }
    void poll() {
        if (QWidget* w = QApplication::activeModalWidget(); w && !qobject_cast<TMain_F*>(w)) {
            caption = w->windowTitle();
            w->close();
            return;
        }
        QTimer::singleShot(20, [this] { poll(); });
    }
};

struct MainFixture {
    test::TestBank bank;
    test::MessageRecorder messages;
    std::unique_ptr<TMain_F> main;
    explicit MainFixture(int permission = 1) {
        CurrentUserName = "admin";
        CurrentPermission = permission;
        bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('2', 'Grammar'), ('1.2', 'Words'), "
                  "('1', 'Basics'), ('1.1', 'Sounds')");
        main = std::make_unique<TMain_F>();
        main->show();
    }
};

void expectFrames(TMain_F& m, TFlatButton* used) {
    for (TFlatButton* b : m.navigationButtons()) {
        SCOPED_TRACE(b->objectName().toStdString());
        if (b == used) {
            EXPECT_EQ(b->ColorBorder(), QColor(Qt::blue));
            EXPECT_EQ(b->ColorHighLight(), QColor(Qt::blue));
            EXPECT_EQ(b->ColorShadow(), QColor(Qt::blue));
        } else {
            EXPECT_EQ(b->ColorBorder(), TMain_F::moneyGreen());
            EXPECT_EQ(b->ColorHighLight(), QColor(Qt::white));
            EXPECT_EQ(b->ColorShadow(), QColor(Qt::black));
        }
    }
}

} // namespace

TEST(MainForm, OpensOnTheSavedPapersPage) {
    MainFixture f;
    TMain_F& m = *f.main;
    EXPECT_EQ(m.windowTitle(), "Tolvane Test Paper Generation");
    EXPECT_EQ(m.SJ_PC->currentWidget(), m.XYSJ_TS);
    EXPECT_EQ(m.Label1->text(), "Draw available Test paper");
    EXPECT_FALSE(m.SJ_PC->tabBar()->isVisible());
    EXPECT_EQ(m.JS_L->text(), "Lecturer:  admin");
    expectFrames(m, m.XYSJ_FBtn);
    EXPECT_TRUE(m.XXSZ_P->isEnabled());
    ASSERT_TRUE(m.ChosenTypes && m.ChosenNumbers && m.ChosenDifficulties && m.AnswerList);
    EXPECT_EQ(f.messages.count(), 0);
    // Both trees hold chapter 1 with its two sections, then chapter 2.
    for (widgets::TCheckTree* tree : {m.SDZJ_CT, m.ZDZJ_CT}) {
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "1  Basics");
        ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0), "1.2  Words");
        EXPECT_EQ(tree->topLevelItem(1)->text(0), "2  Grammar");
    }
    const QStringList captions = {"Available Papers", "Auto Generation", "Manual Generation",
                                  "Add Question",     "Question Bank",   "Options"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(m.navigationButtons()[i]->text(), captions[i]);
}

TEST(MainForm, PageButtonsSwitchPagesFramesAndHeadings) {
    MainFixture f;
    TMain_F& m = *f.main;
    const struct {
        TFlatButton* button;
        QWidget* page;
        const char* heading;
    } cases[] = {
        {m.ZDSJ_FBtn, m.ZDSJ_TS, "Test paper auto-Generation"},
        {m.SDSJ_FBtn, m.SDSJ_TS, "Test paper manual-Generation"},
        {m.XYSJ_FBtn, m.XYSJ_TS, "Draw available Test paper"},
    };
    for (const auto& c : cases) {
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(m.SJ_PC->currentWidget(), c.page);
        EXPECT_EQ(m.Label1->text(), c.heading);
        expectFrames(m, c.button);
    }
}

TEST(MainForm, WindowButtonsOpenAFreshModalWindowAndKeepThePage) {
    MainFixture f;
    TMain_F& m = *f.main;
    m.SDSJ_FBtnClick();
    const struct {
        TFlatButton* button;
        const char* caption;
    } cases[] = {{m.TKLR_FBtn, "Add Question"},
                 {m.TKWH_FBtn, "Question Bank Management"},
                 {m.XXSZ_FBtn, "Programme options"},
                 {m.TKLR_FBtn, "Add Question"}};
    for (const auto& c : cases) {
        ModalCloser closer;
        closer.arm();
        c.button->click();
        EXPECT_EQ(closer.caption, c.caption);
        // The page and heading stay; the frame stays on the button used.
        EXPECT_EQ(m.SJ_PC->currentWidget(), m.SDSJ_TS);
        EXPECT_EQ(m.Label1->text(), "Test paper manual-Generation");
        expectFrames(m, c.button);
        // Nothing of the window survives its closing.
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_NE(w->windowTitle(), QString::fromLatin1(c.caption));
    }
}

TEST(MainForm, PermissionZeroLocksOptions) {
    MainFixture f(0);
    EXPECT_FALSE(f.main->XXSZ_P->isEnabled());
    EXPECT_FALSE(f.main->XXSZ_FBtn->isEnabled());
    EXPECT_TRUE(f.main->XXSZ_FBtn->isVisible());
}

TEST(MainForm, HoverHelpAboutAndClose) {
    MainFixture f;
    TMain_F& m = *f.main;
    m.XYSJ_FBtnMouseEnter(m.TKWH_FBtn);
    EXPECT_EQ(m.TKWH_FBtn->captionColor(), TMain_F::maroon());
    m.XYSJ_FBtnMouseLeave(m.TKWH_FBtn);
    EXPECT_EQ(m.TKWH_FBtn->captionColor(), QColor(Qt::black));
    m.XYSJ_FBtnMouseEnter(m.Label1); // not a flat button: nothing happens

    QStringList opened;
    setShellOpenHandler([&](const QString& p) {
        opened << p;
        return true;
    });
    m.Help_FBtn->click();
    EXPECT_TRUE(opened.isEmpty()) << "a missing help file: no open, no message";
    QFile chm(f.bank.dir() + "Zenlo.chm");
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    m.Help_FBtn->click();
    setShellOpenHandler({});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("/Zenlo.chm"));
    EXPECT_EQ(f.messages.count(), 0);

    ModalCloser closer;
    closer.arm();
    m.About_FBtn->click();
    EXPECT_EQ(closer.caption, "About");

    m.FlatButton2->click();
    EXPECT_FALSE(m.isVisible());
}

TEST(MainForm, AboutBox) {
    TAbout_F about;
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_FALSE(about.Image1->pixmap().isNull()) << "the banner is a real picture";
    EXPECT_EQ(about.Label1->text(), "Tolvane Test Paper Generation System");
    EXPECT_EQ(about.Label2->text(), "Version 1.0");
}

TEST(MainForm, AMalformedChapterCodeIsReportedAndTheWindowStaysUsable) {
    test::TestBank bank;
    test::MessageRecorder messages;
    bank.exec("INSERT INTO ZhangJie (ZJ, ZJName) VALUES ('1', 'Basics'), ('1.x', 'Broken')");
    CurrentPermission = 1;
    TMain_F m;
    m.show();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().icon, MsgIcon::Error);
    EXPECT_TRUE(messages.last().text.contains("1.x")) << messages.last().text.toStdString();
    EXPECT_EQ(m.SDZJ_CT->topLevelItemCount(), 0);
    EXPECT_EQ(m.ZDZJ_CT->topLevelItemCount(), 0);
    EXPECT_EQ(m.SJ_PC->currentWidget(), m.XYSJ_TS);
    EXPECT_TRUE(m.AnswerList != nullptr);
}
