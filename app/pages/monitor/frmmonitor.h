#pragma once

#include "krvid.h"
#include "pagebase.h"
#include "pollingpage.h"
#include "sectioncolours.h"
#include "systempictures.h"
#include "trendrecorder.h"

#include <QPixmap>
#include <memory>

class JoyMonitor;
class MonitorDrawing;
class PagePoller;
class QLabel;
class QPushButton;
class QScrollBar;

// Tab 2, the on-line monitor: while the page is in front and the link is
// up, TmrMonitor reads the controller's live values every 100 ms and shows
// them on the drawing of the valve system. It only reads.
class FrmMonitor : public PageBase, public PollingPage
{
    Q_OBJECT
public:
    explicit FrmMonitor(const PageContext &context, QWidget *parent = nullptr);
    ~FrmMonitor() override;

    // Page interface.
    void RefreshObject() override;
    void DrawBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text) override;
    void DisableTimer() override;
    bool StatusTimerForm() const override;
    void Activate() override;
    void Deactivate() override;
    PagePoller &poller() override { return *m_poller; }

    // Section colours: the palette's tables of the page context, else the
    // page's own reading of colour.ini; a test may hand in its own.
    void setSectionColours(const SectionColours *colours);
    Q_INVOKABLE void RefreshColour() override;

    void UpdateActiveDin(int16_t &ReadVal);
    void UpdateActiveOutput(int16_t &ReadVal);
    void UpdateErrObj(int16_t &ReadVal);
    void DrawVisibleObject();
    void DrawActualObject(int16_t NumPropReg, int16_t SystemType);
    void MonitorDrawMag();
    void MonitorDrawJoy();
    // One polling cycle; the error text of the failed read, else empty.
    QString ReadMonitorVar();
    void SetObject();

    // Sets both redraw triggers, as the main window does when the link drops.
    void fireRedrawTriggers();

    MonitorDrawing &drawing() const { return *m_draw; }
    QTimer *TmrMonitor() const;
    const QPixmap &vbbPicture() const { return m_vbbPicture; }

    // Every completed cycle lands here, whether a trend window shows it or
    // not: the values are read anyway, keeping them costs no link access.
    TrendRecorder &recorder() { return m_recorder; }
    QPushButton *trendButton() const { return m_trendButton; }

signals:
    // The joystick or the solenoid and supply pictures were drawn again.
    void idleDrawn();
    // "Trend..." was clicked.
    void trendRequested();

private:
    // The raw EEPROM value of a well-known variable; `fallback` when the list lacks it.
    int32_t e2Value(KrvId id, int32_t fallback = 0) const;
    QString stopCycle(const QString &error);
    // Lets pending events run; false when the timer was switched off meanwhile.
    bool refreshAndCheck();
    void checkValves(int k);
    void onTrigger(QScrollBar *trigger, int value, void (FrmMonitor::*draw)());

    std::unique_ptr<MonitorDrawing> m_draw;
    PagePoller *m_poller;
    SystemPictures m_pictures;
    QPixmap m_vbbPicture;
    SectionColours m_ownColours;
    const SectionColours *m_colours = &m_ownColours;
    TrendRecorder m_recorder;
    QPushButton *m_trendButton;
};
