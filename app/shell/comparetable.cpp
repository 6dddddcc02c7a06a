#include "comparetable.h"

#include "csvtext.h"

#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

constexpr int SortRole = Qt::UserRole;
constexpr int OutOfRangeRole = Qt::UserRole + 1;
const QColor OutOfRangeColour(176, 0, 0);

QStandardItem *textItem(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setData(text.toLower(), SortRole);
    item->setEditable(false);
    return item;
}

QStandardItem *valueItem(const ConfigCompare::Value &value)
{
    auto *item = new QStandardItem(value.shown());
    // a missing value sorts before every number
    item->setData(value.present ? double(value.display) : std::numeric_limits<double>::lowest(), SortRole);
    item->setData(value.outOfRange, OutOfRangeRole);
    if (value.outOfRange)
        item->setForeground(OutOfRangeColour);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setEditable(false);
    return item;
}

} // namespace

CompareTable::CompareTable(QWidget *parent)
    : QWidget(parent), m_model(new QStandardItemModel(this)), m_proxy(new QSortFilterProxyModel(this)),
      m_view(new QTableView(this)), m_empty(new QLabel(this))
{
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(SortRole);
    m_view->setObjectName(QStringLiteral("TblCompare"));
    m_view->setModel(m_proxy);
    m_view->setSortingEnabled(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
    m_empty->setObjectName(QStringLiteral("LblNoDifference"));
    m_empty->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_empty);
    layout->addWidget(m_view);
}

void CompareTable::setRows(const QStringList &headers, const QList<ConfigCompare::Row> &rows, const QString &emptyText)
{
    m_model->clear();
    m_model->setHorizontalHeaderLabels(headers);
    for (const ConfigCompare::Row &row : rows)
        m_model->appendRow({textItem(row.name), valueItem(row.a), valueItem(row.b), textItem(row.unit)});
    // in catalogue order until the user picks a column
    m_view->sortByColumn(-1, Qt::AscendingOrder);
    m_view->horizontalHeader()->setSortIndicatorShown(true);
    fitColumns();
    m_view->selectionModel()->clearCurrentIndex();
    m_empty->setText(emptyText);
    m_empty->setVisible(rows.isEmpty());
    m_view->setVisible(!rows.isEmpty());
}

void CompareTable::fitColumns()
{
    m_view->resizeColumnsToContents();
    for (int c = 1; c <= 2; ++c)
        m_view->setColumnWidth(c, std::max(m_view->columnWidth(c), 110));
}

void CompareTable::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitColumns();
    updateGeometry();
    if (window() != this)
        window()->adjustSize();
}

QSize CompareTable::sizeHint() const
{
    if (m_view->isHidden())
        return m_empty->sizeHint();
    const int frame = 2 * m_view->frameWidth();
    int width = frame + m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view) + 2;
    for (int c = 0; c < m_model->columnCount(); ++c)
        width += m_view->columnWidth(c);
    // a few pixels to spare: a view filled exactly still shows its scroll bars
    int height = frame + m_view->horizontalHeader()->sizeHint().height() + 4;
    for (int r = 0; r < std::min(m_proxy->rowCount(), 16); ++r)
        height += m_view->rowHeight(r);
    return {std::max(width, 420), height};
}

int CompareTable::rowCount() const
{
    return m_proxy->rowCount();
}

QList<QStringList> CompareTable::shownRows() const
{
    QList<QStringList> lines;
    QStringList titles;
    for (int c = 0; c < m_model->columnCount(); ++c)
        titles << m_model->headerData(c, Qt::Horizontal).toString();
    lines << titles;
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < m_proxy->columnCount(); ++c)
            fields << m_proxy->index(r, c).data().toString();
        lines << fields;
    }
    return lines;
}

QString CompareTable::tabText() const
{
    QString text;
    for (const QStringList &fields : shownRows())
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QString CompareTable::csvText() const
{
    QString text;
    for (const QStringList &fields : shownRows())
        text += CsvText::row(fields) + QLatin1Char('\n');
    return text;
}

QString CompareTable::htmlTable() const
{
    const QList<QStringList> lines = shownRows();
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">");
    for (int r = 0; r < lines.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < lines[r].size(); ++c) {
            const bool marked = r > 0 && m_proxy->index(r - 1, c).data(OutOfRangeRole).toBool();
            const QString cell = lines[r][c].toHtmlEscaped();
            html += r == 0 ? QStringLiteral("<th align=\"left\">") + cell + QStringLiteral("</th>")
                           : QStringLiteral("<td") + (marked ? QStringLiteral(" style=\"color:#b00000\"") : QString())
                                 + QLatin1Char('>') + cell + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}
