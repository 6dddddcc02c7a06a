#pragma once

#include "tessera_global.h"

#include <QWidget>

class CVarDataS;
class QCheckBox;
class QGroupBox;
class QLabel;
class FlatProgressBar;
class ShapeWidget;

// Shows one live controller value: name, formatted value, unit and a bar,
// with a check box that switches monitoring of the value on and off. The host
// binds a record (owned by the host) and pushes readings with UpdateDisplay.
class TESSERA_EXPORT JoyMonitor : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool ActiveProgressBar READ ActiveProgressBar WRITE setActiveProgressBar)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int Value READ Value)
    Q_PROPERTY(int VarID READ VarID)
    Q_PROPERTY(int ThMax READ ThMax WRITE setThMax)
    Q_PROPERTY(QString DataFormat READ DataFormat WRITE setDataFormat)
    Q_PROPERTY(int ThMin READ ThMin WRITE setThMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(bool MonitorEnable READ MonitorEnable WRITE setMonitorEnable)

public:
    explicit JoyMonitor(QWidget *parent = nullptr);

    CVarDataS *Carica() const { return m_record; }
    void setCarica(CVarDataS *record);
    bool ActiveProgressBar() const { return m_barActive; }
    void setActiveProgressBar(bool active);
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 color);
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 color);
    // The number shown; a digital value counts 1 for "ON" and 0 for "OFF".
    qint16 Value() const { return m_value; }
    qint16 VarID() const;
    qint16 ThMax() const { return m_thMax; }
    void setThMax(int value);
    QString DataFormat() const { return m_dataFormat; }
    void setDataFormat(const QString &pattern);
    qint16 ThMin() const { return m_thMin; }
    void setThMin(int value);
    qint16 Max() const { return m_max; }
    void setMax(int value);
    qint16 Min() const { return m_min; }
    void setMin(int value);
    bool MonitorEnable() const;
    void setMonitorEnable(bool enable);
    void UpdateDisplay(double reading);
    // No live value is known (the link was lost): while monitored, "---" and
    // an empty bar until the next reading. Raises no event.
    void MarkStale();

signals:
    // Both pass their value by reference: connect a function or lambda
    // (QSignalSpy cannot record reference arguments).
    void CheckEnabled(qint16 &Value);
    void UpdateValue(qint16 &Value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void checkToggled(bool checked);
    void showValue(const QString &text, qint16 number, int barValue);
    void updateBarRange();
    void fitValueLabel();
    void placeFocusFrame();
    int barBounded(int value) const;

    QGroupBox *m_frame;
    FlatProgressBar *m_bar;
    QCheckBox *m_check;
    ShapeWidget *m_focusFrame;
    QLabel *m_lblName;
    QLabel *m_lblValue;
    QLabel *m_lblUnit;

    CVarDataS *m_record = nullptr;
    bool m_barActive = false;
    quint32 m_foreColor;
    quint32 m_backColor;
    qint16 m_value = 0;
    qint16 m_thMax = 0;
    QString m_dataFormat;
    qint16 m_thMin = 0;
    qint16 m_max = 32000;
    qint16 m_min = 0;
};
