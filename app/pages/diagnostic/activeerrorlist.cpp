#include "activeerrorlist.h"

#include "diagnosticerror.h"
#include "diagnosticlist.h"

#include <QTreeWidget>

namespace {
// Where an item keeps the row and bit it stands for.
constexpr int RowRole = Qt::UserRole;
constexpr int BitRole = Qt::UserRole + 1;
} // namespace

ActiveErrorList::ActiveErrorList(QTreeWidget *view, const DiagnosticList &list) : m_view(view), m_list(list) {}

QTreeWidgetItem *ActiveErrorList::item(int row, int bit) const
{
    for (int i = 0; i < m_view->topLevelItemCount(); ++i) {
        QTreeWidgetItem *candidate = m_view->topLevelItem(i);
        if (candidate->data(0, RowRole).toInt() == row && candidate->data(0, BitRole).toInt() == bit)
            return candidate;
    }
    return nullptr;
}

void ActiveErrorList::rowChanged(int row, qint16 value, qint32 changedBitMask)
{
    for (int bit = 0; bit < DiagnosticError::BitCount; ++bit) {
        if (!((changedBitMask >> bit) & 1))
            continue;
        const CDiagnosticData *entry = m_list.cell(row, bit);
        if (!entry)
            continue;
        QTreeWidgetItem *shown = item(row, bit);
        if ((value >> bit) & 1) {
            if (entry->DescrLine1.isEmpty() || shown)
                continue;
            auto *added = new QTreeWidgetItem(
                {QString::number(1 << bit) + QStringLiteral(" - ") + entry->DescrLine1, entry->DescrLine2,
                 entry->DescrLine3});
            // a narrow column cuts a long description short: the tooltip keeps it whole
            for (int column = 0; column < added->columnCount(); ++column)
                added->setToolTip(column, added->text(column));
            added->setData(0, RowRole, row);
            added->setData(0, BitRole, bit);
            m_view->addTopLevelItem(added);
        } else {
            // by row and bit: two rows may describe a bit with the same text
            delete shown;
        }
    }
}

void ActiveErrorList::clear()
{
    m_view->clear();
}
