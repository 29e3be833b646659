#pragma once

#include "db/Query.h"

#include <QMap>
#include <QPointer>
#include <QTableView>
#include <QVariant>

class QMouseEvent;

namespace tolvane::db {
class ResultModel;
} // namespace tolvane::db

namespace tolvane::widgets {

// A read-only grid over the result set of one query: one column per result
// column, whole rows selected one at a time. The selected row and the query's
// current row are kept the same both ways, so the windows can work on either.
// Every cell is drawn as its text on one line, elided, with the full text as
// tooltip; long texts are thereby readable.
class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    // Shows the query's result set; the grid follows the query as it is
    // reopened. nullptr unbinds.
    void setQuery(db::Query* query);
    db::Query* query() const { return m_query; }
    db::ResultModel* resultModel() const { return m_model; }

    // The selected row (the query's current row), or -1 when there is none.
    int selectedRow() const;
    // The field shown in the column of the selected row; null without a row
    // or without such a column.
    QVariant selectedField(int column) const;
    bool selectedIsNull(int column) const { return selectedField(column).isNull(); }
    QString selectedText(int column) const; // a null reads as ""
    // Moves the selection (and the query's current row); -1 clears it.
    void setSelectedRow(int row);

    // A column title and a width in characters; both hold until the query
    // is reopened, when the grid shows the column names again.
    void setColumnTitle(int column, const QString& title);
    void setColumnWidthChars(int column, int chars);

signals:
    // Any mouse button released over the grid, after the selection moved.
    void mouseUp(QMouseEvent* event);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void followQuery(int row);
    void selectQueryRow();

    QPointer<db::Query> m_query;
    db::ResultModel* m_model = nullptr;
    class TitleModel* m_titles = nullptr;
    bool m_syncing = false;
};

} // namespace tolvane::widgets
