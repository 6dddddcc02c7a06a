#pragma once

#include "tessera_global.h"

#include <QWidget>

class CVarDataS;
class QCheckBox;
class QGroupBox;
class QLabel;
class ShapeWidget;

// One controller error word as a titled row of eight error bits, each with a
// description and a lamp that is red while the bit is set. The row is polled
// only while its Enable box is ticked; the host learns which bits changed
// from UpdateErrorMessage.
class TESSERA_EXPORT DiagnosticError : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int VarID READ VarID)
    Q_PROPERTY(bool LongVar READ LongVar WRITE setLongVar)
    Q_PROPERTY(int MsgID READ MsgID WRITE setMsgID)
    Q_PROPERTY(bool Enable READ Enable WRITE setEnable)

public:
    static constexpr int BitCount = 8;

    explicit DiagnosticError(QWidget *parent = nullptr);

    // Binding shows the record's monitor name as the row's title.
    void setCarica(CVarDataS *record);
    qint16 VarID() const;
    // True when the eight bits are the high byte of the word.
    bool LongVar() const { return m_longVar; }
    void setLongVar(bool longVar);
    // Kept for the host; the row does not use it.
    qint16 MsgID() const { return m_msgId; }
    void setMsgID(int id);
    // Caption of bit 0 to 7; other bit numbers are ignored.
    void SetDecripion(qint16 bit, const QString &text);
    bool Enable() const;
    void setEnable(bool enable);
    // Shows a reading of the error word. With LongVar the reading is first
    // reduced to its high byte, and the caller's variable receives that too.
    void UpdateDisplay(qint32 &reading);
    // The word is no longer known (the link was lost): neutral lamps, and the
    // next reading is compared with 0, so every bit set then is reported
    // again. Raises no event.
    void MarkStale();

signals:
    // Value: the new error bits as a 16-bit word (the low 16 bits of a wider
    // reading); ChangedBitMask: the bits that differ from the previous reading.
    // Both by reference: connect a function or lambda, not a QSignalSpy.
    void UpdateErrorMessage(qint16 &Value, qint32 &ChangedBitMask);

private:
    void checkToggled(bool checked);
    void paintLamps(quint32 color);

    QCheckBox *m_check;
    QGroupBox *m_frame;
    QLabel *m_lblBit[BitCount];
    ShapeWidget *m_lamp[BitCount];

    qint32 m_lastError = 0;
    bool m_longVar = false;
    qint16 m_msgId = 0;
    CVarDataS *m_record = nullptr;
};
