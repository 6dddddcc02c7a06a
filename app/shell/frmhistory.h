#pragma once

#include "servicehistory.h"

#include <QDialog>

class FileDialogService;
class MessageService;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class HistoryModel;

// The service history window: every recorded write, newest first, narrowed
// by unit, date and parameter, and exported as CSV. When the history is off
// it says why instead.
class FrmHistory : public QDialog
{
    Q_OBJECT
public:
    struct Services
    {
        FileDialogService *dialogs = nullptr;
        MessageService *messages = nullptr;
        QString exportFolder; // where the export dialog starts
    };

    // `store` may be nullptr: no history in this run.
    FrmHistory(ServiceHistory *store, Services services, QWidget *parent = nullptr);

    // Reads the rows again with the filters as they stand; a changed filter
    // does so by itself once the typing pauses.
    void refresh();
    // Asks for a file and writes the rows shown; false when nothing was written.
    bool exportCsv();

    const QList<ServiceHistory::Row> &rowsShown() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    ServiceHistory::Filter filter() const;

    ServiceHistory *m_store;
    Services m_services;
    HistoryModel *m_model = nullptr;
    QTimer *m_refreshTimer = nullptr;
    QLineEdit *m_unit = nullptr;
    QCheckBox *m_fromSet = nullptr;
    QDateEdit *m_from = nullptr;
    QCheckBox *m_toSet = nullptr;
    QDateEdit *m_to = nullptr;
    QLineEdit *m_parameter = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_export = nullptr;
};
