#include "cataloguewindow.h"

#include "catalogue.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QTreeWidget>

CatalogueWindow::CatalogueWindow(const Catalogue &catalogue, QWidget *parent)
    : QMainWindow(parent), m_catalogue(catalogue), m_list(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("KRV Studio for TBX400C"));
    m_list->setObjectName(QStringLiteral("lstCatalogue"));
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("Address"),
                             QStringLiteral("Value"), QStringLiteral("Unit"), QStringLiteral("Min"),
                             QStringLiteral("Max"), QStringLiteral("Default"), QStringLiteral("Pages"),
                             QStringLiteral("Section"), QStringLiteral("Description")});
    setCentralWidget(m_list);
    resize(1000, 620);
    refresh();
}

void CatalogueWindow::refresh()
{
    m_list->clear();
    for (int i = 1; i < m_catalogue.VarCount; ++i) {
        const CVarDataS *d = m_catalogue.data(i);
        if (!d)
            continue;
        auto *row = new QTreeWidgetItem(m_list);
        row->setText(0, QString::number(i));
        row->setText(1, d->Name);
        row->setText(2, QStringLiteral("%1.%2")
                            .arg(d->Address >> 8, 4, 16, QLatin1Char('0'))
                            .arg(d->Address & 0xFF, 2, 16, QLatin1Char('0'))
                            .toUpper());
        row->setText(3, QString::number(d->KrvDisplayValueE2));
        row->setText(4, d->Unit);
        row->setText(5, QString::number(d->QelValE2Min));
        row->setText(6, QString::number(d->QelValE2Max));
        row->setText(7, QString::number(d->QelValueDefault));
        row->setText(8, QString::number(d->KRVPageDomain));
        row->setText(9, QString::number(d->TbxTypeID));
        row->setText(10, d->TooltipDecription);
        row->setToolTip(1, d->TooltipDecription);
    }
    for (int c = 0; c < m_list->columnCount() - 1; ++c)
        m_list->resizeColumnToContents(c);
    statusBar()->showMessage(QStringLiteral("%1 variables").arg(qMax(0, m_catalogue.VarCount - 1)));
}
