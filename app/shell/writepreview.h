#pragma once

#include "configcompare.h"

#include <QDialog>

class CompareTable;

// Before a write sends anything: the parameters whose new value differs from
// what the unit held at its last read. The program shows a dialog, tests
// answer from a script.
class WritePreview
{
public:
    virtual ~WritePreview() = default;
    // `command` is the write's name ("Write", "Write All"); true: go on and write.
    virtual bool confirm(const QString &command, const QList<ConfigCompare::Row> &rows) = 0;

    static QString noDifferenceText();
};

// The preview as a modal dialog with "Write" and "Cancel".
class WritePreviewDialog : public QDialog
{
    Q_OBJECT
public:
    WritePreviewDialog(const QString &command, const QList<ConfigCompare::Row> &rows, QWidget *parent = nullptr);
    CompareTable *table() const { return m_table; }

private:
    CompareTable *m_table;
};

// The preview shown to the user over the main window.
class DialogWritePreview : public WritePreview
{
public:
    explicit DialogWritePreview(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    bool confirm(const QString &command, const QList<ConfigCompare::Row> &rows) override;

private:
    QWidget *m_parent;
};
