#include "core/Handler.h"
#include "tests/support/MessageRecorder.h"
#include "widgets/CheckTreeView.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tolvane;
using namespace tolvane::widgets;

namespace {

const char* stateName(TCheckCheckState s) {
    switch (s) {
    case csUnknown:
        return "unknown";
    case csUnchecked:
        return "unchecked";
    case csChecked:
        return "checked";
    case csPartiallyChecked:
        return "partial";
    }
    return "?";
}

// Chapter 1 with sections 1.1 and 1.2, chapter 2 with section 2.1. Records
// the tree's events as text, in the order they are raised.
class CheckTreeTest : public ::testing::Test {
protected:
    TCheckTree tree;
    QTreeWidgetItem* ch1 = nullptr;
    QTreeWidgetItem* s11 = nullptr;
    QTreeWidgetItem* s12 = nullptr;
    QTreeWidgetItem* ch2 = nullptr;
    QTreeWidgetItem* s21 = nullptr;
    QStringList events;

    void SetUp() override {
        ch1 = new QTreeWidgetItem(QStringList{"1  One"});
        s11 = new QTreeWidgetItem(ch1, QStringList{"1.1  A"});
        s12 = new QTreeWidgetItem(ch1, QStringList{"1.2  B"});
        ch2 = new QTreeWidgetItem(QStringList{"2  Two"});
        s21 = new QTreeWidgetItem(ch2, QStringList{"2.1  C"});
        tree.addTopLevelItems({ch1, ch2});
        QObject::connect(
            &tree, &TCheckTree::OnStateChanging,
            [this](TCheckTree* sender, QTreeWidgetItem* node, TCheckCheckState state, bool&) {
                EXPECT_EQ(sender, &tree);
                events << QStringLiteral("?%1 %2").arg(name(node), stateName(state));
            });
        QObject::connect(&tree, &TCheckTree::OnStateChange,
                         [this](TCheckTree* sender, QTreeWidgetItem* node, TCheckCheckState state) {
                             EXPECT_EQ(sender, &tree);
                             events << QStringLiteral("%1 %2").arg(name(node), stateName(state));
                         });
        QObject::connect(&tree, &TCheckTree::OnUpdateChildren, [this](TCheckTree* sender) {
            EXPECT_EQ(sender, &tree);
            events << QStringLiteral("children");
        });
        QObject::connect(&tree, &TCheckTree::OnMouseUp,
                         [this](QMouseEvent*) { events << QStringLiteral("mouseup"); });
    }

    static QString name(QTreeWidgetItem* node) { return node->text(0).section(' ', 0, 0); }

    // The state changes only (without the asking events).
    QStringList changes() const {
        QStringList out;
        for (const QString& e : events)
            if (!e.startsWith('?'))
                out << e;
        return out;
    }

    QStringList states() const {
        QStringList out;
        for (QTreeWidgetItem* n : {ch1, s11, s12, ch2, s21})
            out << QStringLiteral("%1 %2").arg(name(n), stateName(tree.GetNodeState(n)));
        return out;
    }
};

} // namespace

TEST_F(CheckTreeTest, NewNodesReadUncheckedAndBadSlotValuesToo) {
    EXPECT_EQ(tree.GetNodeState(s11), csUnchecked);
    s12->setData(0, TCheckTree::StateRole, 7);
    EXPECT_EQ(tree.GetNodeState(s12), csUnchecked);
    EXPECT_TRUE(tree.CascadeChecks());
}

TEST_F(CheckTreeTest, TickingAChapterTicksItsSectionsInOrder) {
    tree.ToggleNode(ch1);
    EXPECT_EQ(events, QStringList({"?1 checked", "1 checked", "?1.1 checked", "1.1 checked",
                                   "?1.2 checked", "1.2 checked", "children"}));
    EXPECT_EQ(states(), QStringList({"1 checked", "1.1 checked", "1.2 checked", "2 unchecked",
                                     "2.1 unchecked"}));

    events.clear();
    tree.ToggleNode(s11);
    EXPECT_EQ(changes(), QStringList({"1.1 unchecked", "children", "1 partial"}));

    events.clear();
    tree.ToggleNode(s11); // the last unticked section
    EXPECT_EQ(changes(), QStringList({"1.1 checked", "children", "1 checked"}));

    events.clear();
    tree.ToggleNode(ch1); // unticking the chapter unticks everything under it
    EXPECT_EQ(changes(),
              QStringList({"1 unchecked", "1.1 unchecked", "1.2 unchecked", "children"}));
}

TEST_F(CheckTreeTest, ToggleRules) {
    struct Case {
        TCheckCheckState from, to;
    };
    for (Case c : {Case{csUnchecked, csChecked}, Case{csPartiallyChecked, csChecked},
                   Case{csChecked, csUnchecked}, Case{csUnknown, csUnknown}}) {
        SCOPED_TRACE(stateName(c.from));
        s21->setData(0, TCheckTree::StateRole, int(c.from));
        events.clear();
        tree.ToggleNode(s21);
        EXPECT_EQ(tree.GetNodeState(s21), c.to);
        if (c.from == csUnknown) {
            EXPECT_TRUE(events.isEmpty());
        }
    }
}

TEST_F(CheckTreeTest, SettlingWalksUpEveryLevel) {
    // root > a > (a1, a2), root > b
    auto* root = new QTreeWidgetItem(QStringList{"r"});
    auto* a = new QTreeWidgetItem(root, QStringList{"a"});
    auto* a1 = new QTreeWidgetItem(a, QStringList{"a1"});
    auto* a2 = new QTreeWidgetItem(a, QStringList{"a2"});
    auto* b = new QTreeWidgetItem(root, QStringList{"b"});
    auto* u = new QTreeWidgetItem(root, QStringList{"u"}); // no box: counts as neither
    u->setData(0, TCheckTree::StateRole, int(csUnknown));
    tree.addTopLevelItem(root);

    tree.ToggleNode(a1);
    EXPECT_EQ(changes(), QStringList({"a1 checked", "children", "a partial", "r partial"}));
    tree.ToggleNode(a2);
    EXPECT_EQ(tree.GetNodeState(a), csChecked);
    EXPECT_EQ(tree.GetNodeState(root), csPartiallyChecked); // b is still unticked
    tree.ToggleNode(b);
    EXPECT_EQ(tree.GetNodeState(root), csChecked);
    tree.ToggleNode(a); // a and its children off; root sees b checked, a unchecked
    EXPECT_EQ(tree.GetNodeState(a1), csUnchecked);
    EXPECT_EQ(tree.GetNodeState(root), csPartiallyChecked);
    EXPECT_EQ(tree.GetNodeState(u), csUnknown);
}

TEST_F(CheckTreeTest, SetNodeStateRaisesEvenWithoutChangeAndDoesNotCascade) {
    tree.SetNodeState(ch1, csUnchecked);
    EXPECT_EQ(events, QStringList({"?1 unchecked", "1 unchecked"}));
    tree.SetNodeState(ch1, csChecked);
    EXPECT_EQ(tree.GetNodeState(s11), csUnchecked);
}

TEST_F(CheckTreeTest, ClearedAllowChangeKeepsTheState) {
    // Through the handler wrapper, as the windows connect it.
    {
        test::MessageRecorder messages;
        connectHandler(&tree, &TCheckTree::OnStateChanging, &tree,
                       [this](TCheckTree*, QTreeWidgetItem* node, TCheckCheckState, bool& allow) {
                           if (node == s11)
                               allow = false;
                       });
        tree.ToggleNode(ch1);
        EXPECT_EQ(states(), QStringList({"1 checked", "1.1 unchecked", "1.2 checked", "2 unchecked",
                                         "2.1 unchecked"}));

        // A refused toggle changes nothing further: no cascade, no settling.
        events.clear();
        tree.ToggleNode(s11);
        EXPECT_EQ(changes(), QStringList());
        EXPECT_EQ(tree.GetNodeState(ch1), csChecked);
        EXPECT_EQ(messages.count(), 0);
    }
}

TEST_F(CheckTreeTest, WithoutCascadeOnlyTheNodeChanges) {
    tree.setCascadeChecks(false);
    tree.ToggleNode(ch1);
    EXPECT_EQ(changes(), QStringList({"1 checked"}));
    EXPECT_EQ(tree.GetNodeState(s11), csUnchecked);
}

TEST_F(CheckTreeTest, SetAllStatesRaisesNothing) {
    tree.SetAllStates(csChecked);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(states(),
              QStringList({"1 checked", "1.1 checked", "1.2 checked", "2 checked", "2.1 checked"}));
    tree.SetAllStates(csUnchecked);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(tree.GetNodeState(s21), csUnchecked);
}

// The gestures, with real mouse and key events on a shown tree.
class CheckTreeInput : public CheckTreeTest {
protected:
    void SetUp() override {
        CheckTreeTest::SetUp();
        tree.resize(240, 200);
        tree.expandAll();
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }

    QPoint boxOf(QTreeWidgetItem* node) const { return tree.checkBoxRect(node).center(); }
    QPoint textOf(QTreeWidgetItem* node) const {
        const QRect cell = tree.visualItemRect(node);
        return QPoint(tree.checkBoxRect(node).right() + 20, cell.center().y());
    }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(tree.viewport(), button, Qt::NoModifier, at);
    }
};

TEST_F(CheckTreeInput, BoxClickTogglesOnlyTheNodeAlreadySelected) {
    ASSERT_FALSE(tree.checkBoxRect(s11).isEmpty());
    ASSERT_FALSE(tree.checkBoxRect(s11).contains(textOf(s11)));

    click(boxOf(s11)); // selects it only
    EXPECT_EQ(tree.Selected(), s11);
    EXPECT_EQ(tree.GetNodeState(s11), csUnchecked);
    EXPECT_EQ(events, QStringList({"mouseup"}));

    events.clear();
    click(boxOf(s11)); // now it is selected: toggles, then mouse-up
    EXPECT_EQ(tree.GetNodeState(s11), csChecked);
    EXPECT_EQ(tree.GetNodeState(ch1), csPartiallyChecked);
    EXPECT_EQ(changes(), QStringList({"1.1 checked", "children", "1 partial", "mouseup"}));

    events.clear();
    click(textOf(s11)); // the text of the selected node
    click(boxOf(s11), Qt::RightButton);
    EXPECT_EQ(tree.GetNodeState(s11), csChecked);
    EXPECT_EQ(events, QStringList({"mouseup", "mouseup"}));

    click(boxOf(s12)); // another node's box moves the selection only
    EXPECT_EQ(tree.Selected(), s12);
    EXPECT_EQ(tree.GetNodeState(s12), csUnchecked);
}

TEST_F(CheckTreeInput, PressOnTheBoxMustBeReleasedOverTheTreeWithTheNodeStillSelected) {
    tree.setCurrentItem(s11);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, boxOf(s11));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(-10, -10));
    EXPECT_EQ(tree.GetNodeState(s11), csUnchecked);

    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, boxOf(s11));
    tree.setCurrentItem(s21); // the program moves the selection meanwhile
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, boxOf(s11));
    EXPECT_EQ(tree.GetNodeState(s11), csUnchecked);
    EXPECT_EQ(tree.GetNodeState(s21), csUnchecked);
}

TEST_F(CheckTreeInput, SpaceTogglesTheSelectedNodeAndNothingElse) {
    QTest::keyClick(&tree, Qt::Key_Space); // nothing selected
    EXPECT_TRUE(changes().isEmpty());

    tree.setCurrentItem(ch1);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_EQ(changes(), QStringList({"1 checked", "1.1 checked", "1.2 checked", "children"}));
    EXPECT_EQ(tree.Selected(), ch1);

    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_EQ(tree.GetNodeState(ch1), csUnchecked);
    EXPECT_EQ(tree.Selected(), ch1);
}
