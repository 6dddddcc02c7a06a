#pragma once

#include "debugcommands.h"

#include <QGroupBox>

class QLineEdit;
class QPushButton;
class QScrollBar;

// The "Dither Configuration" frame of the debugger page: one entry box and
// slider per dither setting, limited to the setting's range in the catalogue.
class DitherFrame : public QGroupBox
{
    Q_OBJECT
public:
    DitherFrame(const DebugCommands &commands, const class Catalogue &catalogue, QWidget *parent = nullptr);

    // Shows values read from the controller (entry and slider).
    void showValues(const DebugCommands::DitherValues &values);
    // Takes every entry as Enter would; false when one is not a number.
    bool acceptEntries();
    DebugCommands::DitherValues values() const;

    QLineEdit *entry(int row) const { return m_entries[row]; }
    QScrollBar *slider(int row) const { return m_sliders[row]; }
    QPushButton *readButton() const { return m_read; }
    QPushButton *updateButton() const { return m_update; }

signals:
    // The text typed into a row's entry is not a number (the entry shows the
    // slider's value again).
    void entryRefused(int row, const QString &text);

private:
    bool acceptEntry(int row);

    QLineEdit *m_entries[DebugCommands::DitherRows] = {};
    QScrollBar *m_sliders[DebugCommands::DitherRows] = {};
    bool m_bound[DebugCommands::DitherRows] = {};   // the list carries the row's variable
    QPushButton *m_read = nullptr;
    QPushButton *m_update = nullptr;
};
