#pragma once

#include "configcompare.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// The differing parameters of a comparison in a table sortable by any
// column (values by number), or a line saying that nothing differs. Shared
// by the compare window and the preview before a write.
class CompareTable : public QWidget
{
    Q_OBJECT
public:
    explicit CompareTable(QWidget *parent = nullptr);

    // The four column titles (name, side A, side B, unit), the rows, and the
    // text shown in place of the table when there are none.
    void setRows(const QStringList &headers, const QList<ConfigCompare::Row> &rows, const QString &emptyText);

    int rowCount() const;
    // Wide enough for every column, high enough for up to 16 rows.
    QSize sizeHint() const override;
    QTableView *view() const { return m_view; }
    // The titles, then the rows in the order shown.
    QList<QStringList> shownRows() const;
    // Tab-separated lines, as copied to the clipboard.
    QString tabText() const;
    // Comma-separated lines, as exported.
    QString csvText() const;
    // An HTML table of the shown rows, out-of-range values in red.
    QString htmlTable() const;

protected:
    // The columns fitted again with the fonts the table is shown in, and its window sized to it.
    void showEvent(QShowEvent *event) override;

private:
    void fitColumns();

    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QTableView *m_view;
    QLabel *m_empty;
};
