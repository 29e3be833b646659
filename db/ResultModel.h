#pragma once

#include "db/Query.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace tolvane::db {

// Binds a grid to the result set of a query: one column per result column,
// titled with the column's name. The model follows the query as it is
// reopened, appended to or deleted from.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultModel(Query* query, QObject* parent = nullptr);

    Query* query() const { return m_query; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // A query that reads its rows in blocks gives the next block as the grid
    // scrolls to it.
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    QPointer<Query> m_query;
};

} // namespace tolvane::db
