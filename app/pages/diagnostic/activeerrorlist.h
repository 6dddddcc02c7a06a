#pragma once

#include <QtGlobal>

class DiagnosticList;
class QTreeWidget;
class QTreeWidgetItem;

// The list of errors that are set now (`ListView1`): one item per error bit,
// added when a row reports the bit set and removed when it clears, with the
// texts of the diagnostic list.
class ActiveErrorList
{
public:
    ActiveErrorList(QTreeWidget *view, const DiagnosticList &list);

    // A row reported its new error bits and the bits that changed.
    void rowChanged(int row, qint16 value, qint32 changedBitMask);

    // Nothing listed (the error words are no longer known).
    void clear();

    // The item of a row's bit, or nullptr.
    QTreeWidgetItem *item(int row, int bit) const;

private:
    QTreeWidget *m_view;
    const DiagnosticList &m_list;
};
