#pragma once

#include <QColor>
#include <QPersistentModelIndex>
#include <QTreeWidget>

class QMouseEvent;
class QKeyEvent;

namespace tolvane::widgets {

// The check state of a node. A node holding no valid value (every new node)
// reads as csUnchecked; csUnknown shows no box and is never toggled.
enum TCheckCheckState {
    csUnknown = 0,
    csUnchecked = 1,
    csChecked = 2,
    csPartiallyChecked = 3,
};

// A read-only tree view with one selected node at a time.
class TCheckCustomTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TCheckCustomTreeView(QWidget* parent = nullptr);

    // The selected node, or nullptr when none is selected.
    QTreeWidgetItem* Selected() const;
};

// A tree whose nodes carry a three-state check box. The user toggles a node
// by clicking the box of the node that is already selected, or by Space;
// a toggle is cascaded to the node's descendants and settled upwards through
// its ancestors.
class TCheckTree : public TCheckCustomTreeView {
    Q_OBJECT
    Q_PROPERTY(bool CascadeChecks READ CascadeChecks WRITE setCascadeChecks)
    Q_PROPERTY(QColor HighlightColor READ HighlightColor WRITE setHighlightColor)
public:
    // The node's state slot: the item data role, in column 0, that holds the
    // state as an int.
    static constexpr int StateRole = Qt::UserRole + 0x51;

    explicit TCheckTree(QWidget* parent = nullptr);

    TCheckCheckState GetNodeState(QTreeWidgetItem* node) const;
    // Asks OnStateChanging; if allowed, stores the state and raises
    // OnStateChange, even when the state is the one already stored.
    void SetNodeState(QTreeWidgetItem* node, TCheckCheckState state);
    // Unchecked and partial become checked, checked becomes unchecked,
    // unknown is left alone; cascaded when CascadeChecks is on.
    void ToggleNode(QTreeWidgetItem* node);
    // Stores the state in every node, raising no event and cascading nothing.
    void SetAllStates(TCheckCheckState state);

    bool CascadeChecks() const { return m_cascadeChecks; }
    void setCascadeChecks(bool on) { m_cascadeChecks = on; }

    // The face colour of the boxes.
    QColor HighlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor& color);

    // Where the node's box is drawn, in viewport coordinates; empty when the
    // node is not shown.
    QRect checkBoxRect(QTreeWidgetItem* node) const;

signals:
    // Raised before a state is stored; a handler clears AllowChange to keep
    // the old state. Only direct connections can write AllowChange back.
    void OnStateChanging(tolvane::widgets::TCheckTree* Sender, QTreeWidgetItem* Node,
                         tolvane::widgets::TCheckCheckState NewState, bool& AllowChange);
    void OnStateChange(tolvane::widgets::TCheckTree* Sender, QTreeWidgetItem* Node,
                       tolvane::widgets::TCheckCheckState NewState);
    // Raised once the descendants of a toggled node have been set, before
    // its ancestors are settled.
    void OnUpdateChildren(tolvane::widgets::TCheckTree* Sender);
    // The tree's ordinary mouse-up, for any button; after the toggle a click
    // on a box causes.
    void OnMouseUp(QMouseEvent* event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool applyState(QTreeWidgetItem* node, TCheckCheckState state);
    void cascadeDown(QTreeWidgetItem* node, TCheckCheckState state);
    void settleAncestors(QTreeWidgetItem* node);
    void notePress(QMouseEvent* event);

    bool m_cascadeChecks = true;
    QColor m_highlightColor = Qt::white;
    // The selected node whose box the left button went down on.
    QPersistentModelIndex m_boxPress;
};

} // namespace tolvane::widgets
