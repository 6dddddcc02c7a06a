#pragma once

#include "cvardatas.h"

#include <QWidget>
#include <deque>

class CSection;
class DiagnosticError;
class JoyMonitor;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTimer;

// Every Tessera control bound to sample records. A timer can feed changing
// readings; the events the controls raise are listed at the bottom.
class GalleryWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget *parent = nullptr);

    // Pushes one set of readings (step 0 is the still picture).
    void showReadings(int step);

private:
    CVarDataS &newRecord(const QString &name, qint16 id, const QString &unit);
    QWidget *buildSections();
    QWidget *buildMonitors();
    QWidget *buildDiagnostics();
    void log(const QString &line);
    void showRecord(const CVarDataS &record);

    std::deque<CVarDataS> m_records; // stable addresses: the controls keep pointers
    QList<JoyMonitor *> m_monitors;
    QList<DiagnosticError *> m_rows;
    QLabel *m_recordView = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QCheckBox *m_simulate = nullptr;
    QTimer *m_timer = nullptr;
    int m_step = 0;
};
