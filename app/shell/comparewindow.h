#pragma once

#include "configcompare.h"

#include <QDateTime>
#include <QDialog>

class CompareTable;
class FileDialogService;
class MessageService;
class QLabel;

// The program's values against a file or the unit: the differing
// parameters in a sortable table, copied, printed to PDF or exported as CSV.
// Non-modal: it may stay open while the user edits.
class CompareWindow : public QDialog
{
    Q_OBJECT
public:
    struct Services
    {
        FileDialogService *dialogs = nullptr;
        MessageService *messages = nullptr;
        QString folder;             // where files are proposed
    };

    CompareWindow(const Services &services, QWidget *parent = nullptr);

    // `otherTitle` names the other side's column ("File value", "Unit value").
    void showComparison(const QString &title, const ConfigCompare::Side &program, const ConfigCompare::Side &other,
                        const QString &otherTitle, const QList<ConfigCompare::Row> &rows);

    CompareTable *table() const { return m_table; }

    void copy();
    void printToPdf();
    void exportCsv();

private:
    Services m_services;
    CompareTable *m_table;
    QLabel *m_sides;
    QString m_title;
    QString m_sidesText;
    QDateTime m_when;
};
