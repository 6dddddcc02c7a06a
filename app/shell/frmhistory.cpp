#include "frmhistory.h"

#include "exportfile.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Typing into a filter re-reads the file once the typing pauses, not per key.
constexpr int FilterPauseMs = 250;

QDateEdit *dateEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QDateEdit(QDateTime::currentDateTimeUtc().date(), parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setEnabled(false);
    return edit;
}

} // namespace

// The rows as the table shows them; a model, so a long history costs no item per cell.
class HistoryModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<ServiceHistory::Row> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const QList<ServiceHistory::Row> &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_titles.size()); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_rows[index.row()].fields().value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        return m_titles.value(section);
    }

private:
    const QStringList m_titles = ServiceHistory::titles();
    QList<ServiceHistory::Row> m_rows;
};

FrmHistory::FrmHistory(ServiceHistory *store, Services services, QWidget *parent)
    : QDialog(parent), m_store(store), m_services(std::move(services))
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Service History"));

    m_unit = new QLineEdit(this);
    m_unit->setObjectName(QStringLiteral("txtUnit"));
    m_unit->setPlaceholderText(QStringLiteral("serial or production no."));
    m_unit->setClearButtonEnabled(true);
    m_fromSet = new QCheckBox(QStringLiteral("From"), this);
    m_fromSet->setObjectName(QStringLiteral("chkFrom"));
    m_from = dateEdit(QStringLiteral("dtFrom"), this);
    m_toSet = new QCheckBox(QStringLiteral("To"), this);
    m_toSet->setObjectName(QStringLiteral("chkTo"));
    m_to = dateEdit(QStringLiteral("dtTo"), this);
    m_parameter = new QLineEdit(this);
    m_parameter->setObjectName(QStringLiteral("txtParameter"));
    m_parameter->setPlaceholderText(QStringLiteral("part of the name"));
    m_parameter->setClearButtonEnabled(true);

    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Unit"), this));
    filters->addWidget(m_unit, 2);
    filters->addSpacing(12);
    filters->addWidget(m_fromSet);
    filters->addWidget(m_from);
    filters->addWidget(m_toSet);
    filters->addWidget(m_to);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("Parameter"), this));
    filters->addWidget(m_parameter, 2);

    m_model = new HistoryModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("lvHistory"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_export = new QPushButton(QStringLiteral("Export CSV..."), this);
    m_export->setObjectName(QStringLiteral("cmdExport"));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_export);
    bottom->addWidget(close);

    auto *column = new QVBoxLayout(this);
    column->addLayout(filters);
    column->addWidget(m_table, 1);
    column->addLayout(bottom);
    resize(1180, 520);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(FilterPauseMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &FrmHistory::refresh);
    const auto refreshSoon = [this] { m_refreshTimer->start(); };
    connect(m_unit, &QLineEdit::textChanged, this, refreshSoon);
    connect(m_parameter, &QLineEdit::textChanged, this, refreshSoon);
    for (auto [set, date] : {std::pair{m_fromSet, m_from}, std::pair{m_toSet, m_to}}) {
        connect(set, &QCheckBox::toggled, date, &QWidget::setEnabled);
        connect(set, &QCheckBox::toggled, this, refreshSoon);
        connect(date, &QDateEdit::dateChanged, this, refreshSoon);
    }
    connect(m_export, &QPushButton::clicked, this, &FrmHistory::exportCsv);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void FrmHistory::showEvent(QShowEvent *event)
{
    // the other program may have written meanwhile
    refresh();
    QDialog::showEvent(event);
}

ServiceHistory::Filter FrmHistory::filter() const
{
    ServiceHistory::Filter f;
    f.unit = m_unit->text();
    if (m_fromSet->isChecked())
        f.from = m_from->date();
    if (m_toSet->isChecked())
        f.to = m_to->date();
    f.parameter = m_parameter->text();
    return f;
}

const QList<ServiceHistory::Row> &FrmHistory::rowsShown() const
{
    return m_model->rows();
}

void FrmHistory::refresh()
{
    m_refreshTimer->stop();
    m_model->setRows(m_store ? m_store->rows(filter()) : QList<ServiceHistory::Row>());
    m_table->resizeColumnsToContents();
    const QList<ServiceHistory::Row> &rows = rowsShown();
    const bool off = !m_store || m_store->isOff();
    m_export->setEnabled(!off && !rows.isEmpty());
    if (!m_store)
        m_status->setText(QStringLiteral("Service history is off: no history file in this run."));
    else if (off)
        m_status->setText(m_store->offText() + QStringLiteral("."));
    else
        m_status->setText(rows.size() == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows.size()));
}

bool FrmHistory::exportCsv()
{
    return exportFile(m_services.dialogs, m_services.messages,
                      {QStringLiteral("Export Service History As ..."), QStringLiteral("*.csv|*.csv|All files|*"),
                       m_services.exportFolder, QStringLiteral("service-history.csv")},
                      [this] { return ServiceHistory::csv(rowsShown()).toUtf8(); });
}
