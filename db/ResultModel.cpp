#include "db/ResultModel.h"

#include "core/Handler.h"

namespace tolvane::db {

ResultModel::ResultModel(Query* query, QObject* parent)
    : QAbstractTableModel(parent), m_query(query) {
    connect(query, &Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(query, &Query::resetDone, this, [this] { endResetModel(); });
    connect(query, &Query::rowsAboutToBeAppended, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(query, &Query::rowsAppended, this, [this] { endInsertRows(); });
}

bool ResultModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_query && m_query->canFetchMore();
}

void ResultModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !m_query)
        return;
    // Called by the view while it lays itself out: a read error is shown,
    // never thrown through the toolkit.
    runHandler([this] { m_query->fetchMore(); });
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_query)
        return 0;
    return m_query->recordCount();
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_query)
        return 0;
    return static_cast<int>(m_query->columnNames().size());
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!m_query || !index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::EditRole)
        return Query::displayText(m_query->value(index.row(), index.column()));
    return QVariant();
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !m_query)
        return QVariant();
    if (orientation == Qt::Horizontal) {
        const QStringList names = m_query->columnNames();
        return section >= 0 && section < names.size() ? QVariant(names[section]) : QVariant();
    }
    return section + 1;
}

} // namespace tolvane::db
