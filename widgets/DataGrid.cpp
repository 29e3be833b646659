#include "widgets/DataGrid.h"

#include "db/Query.h"
#include "db/ResultModel.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace tolvane::widgets {

// Titles set by column position over the model's own, dropped when the
// result set is reset.
class TitleModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    void setTitle(int column, const QString& title) {
        m_titles.insert(column, title);
        emit headerDataChanged(Qt::Horizontal, column, column);
    }
    void clearTitles() { m_titles.clear(); }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            auto it = m_titles.constFind(section);
            if (it != m_titles.constEnd())
                return *it;
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

private:
    QMap<int, QString> m_titles;
};

namespace {

// One line per cell: line breaks of a long text become spaces, and what does
// not fit is elided; the model gives the whole text as tooltip.
class TextCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        QString text = option->text;
        for (QChar& c : text) {
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator || c == QLatin1Char('\t'))
                c = QLatin1Char(' ');
        }
        option->text = text;
        option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideRight;
        option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
};

} // namespace

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new TextCellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    m_titles = new TitleModel(this);
    setModel(m_titles);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_syncing || !m_query || !current.isValid())
                    return;
                m_syncing = true;
                m_query->setCurrentRow(current.row());
                m_syncing = false;
            });
    connect(m_titles, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_titles->clearTitles(); });
    // Connected after the view's own handling, so the view is reset first.
    connect(m_titles, &QAbstractItemModel::modelReset, this, [this] { selectQueryRow(); });
}

void TDBGrid::setQuery(db::Query* query) {
    if (m_query)
        disconnect(m_query, nullptr, this, nullptr);
    db::ResultModel* old = m_model;
    m_query = query;
    m_model = query ? new db::ResultModel(query, this) : nullptr;
    m_titles->clearTitles();
    m_titles->setSourceModel(m_model);
    delete old;
    if (query)
        connect(query, &db::Query::currentRowChanged, this, [this](int row) { followQuery(row); });
    selectQueryRow();
}

void TDBGrid::followQuery(int row) {
    if (m_syncing)
        return;
    m_syncing = true;
    if (row >= 0 && row < model()->rowCount()) {
        const int column = qMax(0, currentIndex().column());
        setCurrentIndex(model()->index(row, column));
    } else {
        clearSelection();
        selectionModel()->clearCurrentIndex();
    }
    m_syncing = false;
}

void TDBGrid::selectQueryRow() {
    followQuery(m_query ? m_query->currentRow() : -1);
}

int TDBGrid::selectedRow() const {
    if (!m_query || !m_query->isOpen() || m_query->eof())
        return -1;
    return m_query->currentRow();
}

QVariant TDBGrid::selectedField(int column) const {
    const int row = selectedRow();
    if (row < 0 || column < 0 || column >= m_query->columnNames().size())
        return QVariant();
    return m_query->value(row, column);
}

QString TDBGrid::selectedText(int column) const {
    const QVariant value = selectedField(column);
    return value.isNull() ? QString(QLatin1String("")) : db::Query::displayText(value);
}

void TDBGrid::setSelectedRow(int row) {
    if (!m_query)
        return;
    if (row < 0) {
        followQuery(-1);
        return;
    }
    m_query->setCurrentRow(row);
    followQuery(m_query->currentRow());
}

void TDBGrid::setColumnTitle(int column, const QString& title) {
    m_titles->setTitle(column, title);
}

void TDBGrid::setColumnWidthChars(int column, int chars) {
    const int margin = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 6;
    setColumnWidth(column, chars * fontMetrics().averageCharWidth() + margin);
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    emit mouseUp(event);
}

} // namespace tolvane::widgets
