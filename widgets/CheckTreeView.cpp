#include "widgets/CheckTreeView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTreeWidgetItemIterator>

namespace tolvane::widgets {

namespace {

constexpr int kBoxMargin = 2;  // space left of the box
constexpr int kBoxSpacing = 4; // space between the box and the image or text

QSize boxSize(const QWidget* widget) {
    const QStyle* style = widget->style();
    return QSize(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget),
                 style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget));
}

// The box sits at the left of the node's cell, vertically centred; the image
// and the text follow it.
QRect boxIn(const QRect& cell, const QWidget* widget) {
    const QSize size = boxSize(widget);
    return QRect(cell.left() + kBoxMargin, cell.top() + (cell.height() - size.height()) / 2,
                 size.width(), size.height());
}

TCheckCheckState stateFromData(const QVariant& data) {
    bool ok = false;
    const int value = data.toInt(&ok);
    if (!ok || value < csUnknown || value > csPartiallyChecked)
        return csUnchecked;
    return static_cast<TCheckCheckState>(value);
}

class CheckBoxDelegate : public QStyledItemDelegate {
public:
    explicit CheckBoxDelegate(TCheckTree* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() != 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        // The row's background (the selection too) runs under the box.
        QStyleOptionViewItem background(option);
        initStyleOption(&background, index);
        m_tree->style()->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, m_tree);

        const QRect box = boxIn(option.rect, m_tree);
        const TCheckCheckState state = stateFromData(index.data(TCheckTree::StateRole));
        if (state != csUnknown) {
            QStyleOptionButton button;
            button.rect = box;
            button.palette = option.palette;
            button.palette.setColor(QPalette::Base, m_tree->HighlightColor());
            button.palette.setColor(QPalette::Button, m_tree->HighlightColor());
            button.state = QStyle::State_None;
            if (m_tree->isEnabled())
                button.state |= QStyle::State_Enabled;
            switch (state) {
            case csChecked:
                button.state |= QStyle::State_On;
                break;
            case csPartiallyChecked:
                button.state |= QStyle::State_NoChange;
                break;
            default:
                button.state |= QStyle::State_Off;
                break;
            }
            m_tree->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &button, painter, m_tree);
        }
        // The space stays reserved for csUnknown too, so texts line up.
        QStyleOptionViewItem rest(option);
        rest.rect.setLeft(box.right() + 1 + kBoxSpacing);
        QStyledItemDelegate::paint(painter, rest, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (index.column() == 0) {
            const QSize box = boxSize(m_tree);
            size.rwidth() += kBoxMargin + box.width() + kBoxSpacing;
            size.setHeight(qMax(size.height(), box.height() + 2));
        }
        return size;
    }

private:
    TCheckTree* m_tree;
};

} // namespace

TCheckCustomTreeView::TCheckCustomTreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QTreeWidgetItem* TCheckCustomTreeView::Selected() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

TCheckTree::TCheckTree(QWidget* parent) : TCheckCustomTreeView(parent) {
    setItemDelegate(new CheckBoxDelegate(this));
}

TCheckCheckState TCheckTree::GetNodeState(QTreeWidgetItem* node) const {
    if (!node)
        return csUnknown;
    return stateFromData(node->data(0, StateRole));
}

bool TCheckTree::applyState(QTreeWidgetItem* node, TCheckCheckState state) {
    if (!node)
        return false;
    bool allowChange = true;
    emit OnStateChanging(this, node, state, allowChange);
    if (!allowChange)
        return false;
    node->setData(0, StateRole, static_cast<int>(state));
    emit OnStateChange(this, node, state);
    return true;
}

void TCheckTree::SetNodeState(QTreeWidgetItem* node, TCheckCheckState state) {
    applyState(node, state);
}

void TCheckTree::ToggleNode(QTreeWidgetItem* node) {
    const TCheckCheckState old = GetNodeState(node);
    if (old == csUnknown)
        return;
    const TCheckCheckState state = old == csChecked ? csUnchecked : csChecked;
    // A refused toggle is not cascaded: the descendants and ancestors would
    // otherwise contradict the node that kept its state.
    if (!applyState(node, state))
        return;
    if (!m_cascadeChecks)
        return;
    cascadeDown(node, state);
    emit OnUpdateChildren(this);
    settleAncestors(node);
}

void TCheckTree::cascadeDown(QTreeWidgetItem* node, TCheckCheckState state) {
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        applyState(child, state);
        cascadeDown(child, state);
    }
}

void TCheckTree::settleAncestors(QTreeWidgetItem* node) {
    for (QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent()) {
        bool anyChecked = false;
        bool anyUnchecked = false;
        bool anyPartial = false;
        for (int i = 0; i < parent->childCount() && !anyPartial; ++i) {
            switch (GetNodeState(parent->child(i))) {
            case csChecked:
                anyChecked = true;
                break;
            case csUnchecked:
                anyUnchecked = true;
                break;
            case csPartiallyChecked:
                anyPartial = true;
                break;
            case csUnknown:
                break;
            }
        }
        TCheckCheckState state = csUnchecked;
        if (anyPartial || (anyChecked && anyUnchecked))
            state = csPartiallyChecked;
        else if (anyChecked)
            state = csChecked;
        applyState(parent, state);
    }
}

void TCheckTree::SetAllStates(TCheckCheckState state) {
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        (*it)->setData(0, StateRole, static_cast<int>(state));
    viewport()->update();
}

void TCheckTree::setHighlightColor(const QColor& color) {
    m_highlightColor = color;
    viewport()->update();
}

QRect TCheckTree::checkBoxRect(QTreeWidgetItem* node) const {
    if (!node || node->treeWidget() != this)
        return QRect();
    const QRect cell = visualItemRect(node);
    if (cell.isEmpty())
        return QRect();
    return boxIn(cell, this);
}

void TCheckTree::notePress(QMouseEvent* event) {
    m_boxPress = QPersistentModelIndex();
    if (event->button() != Qt::LeftButton)
        return;
    // Only the node selected before this press counts: a press that selects
    // a node does not toggle it.
    QTreeWidgetItem* selected = Selected();
    const QPoint pos = event->position().toPoint();
    if (selected && itemAt(pos) == selected && checkBoxRect(selected).contains(pos))
        m_boxPress = QPersistentModelIndex(indexFromItem(selected));
}

void TCheckTree::mousePressEvent(QMouseEvent* event) {
    notePress(event);
    TCheckCustomTreeView::mousePressEvent(event);
}

void TCheckTree::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other.
    notePress(event);
    TCheckCustomTreeView::mouseDoubleClickEvent(event);
}

void TCheckTree::mouseReleaseEvent(QMouseEvent* event) {
    TCheckCustomTreeView::mouseReleaseEvent(event);
    const QPersistentModelIndex pressed = m_boxPress;
    m_boxPress = QPersistentModelIndex();
    if (pressed.isValid() && event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint())) {
        QTreeWidgetItem* node = itemFromIndex(pressed);
        if (node && node == Selected())
            ToggleNode(node);
    }
    emit OnMouseUp(event);
}

void TCheckTree::keyPressEvent(QKeyEvent* event) {
    // Space only toggles, on its release; the view would otherwise use it to
    // select or to search.
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    TCheckCustomTreeView::keyPressEvent(event);
}

void TCheckTree::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        event->accept();
        // A held key repeats its releases; only the real one toggles.
        if (!event->isAutoRepeat() && state() != QAbstractItemView::EditingState) {
            if (QTreeWidgetItem* node = Selected())
                ToggleNode(node);
        }
        return;
    }
    TCheckCustomTreeView::keyReleaseEvent(event);
}

} // namespace tolvane::widgets
