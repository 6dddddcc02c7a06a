#include "diagnosticerror.h"

#include "cvardatas.h"
#include "shapewidget.h"
#include "vbcolor.h"
#include "vbnumber.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

DiagnosticError::DiagnosticError(QWidget *parent) : QWidget(parent)
{
    m_check = new QCheckBox(QStringLiteral("Enable"), this);
    m_check->setObjectName(QStringLiteral("ChkEnable"));
    m_frame = new QGroupBox(QStringLiteral("Title"), this);
    m_frame->setObjectName(QStringLiteral("FrameDiagnostic"));

    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    for (int bit = 0; bit < BitCount; ++bit) {
        m_lamp[bit] = new ShapeWidget(m_frame);
        m_lamp[bit]->setObjectName(QStringLiteral("shpBit_%1").arg(bit));
        m_lamp[bit]->setFixedSize(12, 12);
        m_lblBit[bit] = new QLabel(QStringLiteral("------"), m_frame);
        m_lblBit[bit]->setObjectName(QStringLiteral("lblErrorBit_%1").arg(bit));
        m_lblBit[bit]->setWordWrap(true);
        m_lblBit[bit]->setFixedWidth(86);
        m_lblBit[bit]->setMinimumHeight(2 * m_lblBit[bit]->fontMetrics().height());
        m_lblBit[bit]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(m_lamp[bit], 0, 2 * bit, Qt::AlignVCenter);
        grid->addWidget(m_lblBit[bit], 0, 2 * bit + 1);
    }

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_check);
    row->addWidget(m_frame, 1);

    // starts cleared: the row is off until the host or the user ticks it
    m_frame->setEnabled(false);
    paintLamps(VbColor::ButtonFace);
    connect(m_check, &QCheckBox::toggled, this, &DiagnosticError::checkToggled);
}

void DiagnosticError::setCarica(CVarDataS *record)
{
    m_record = record;
    if (record)
        m_frame->setTitle(record->MonitorName);
}

qint16 DiagnosticError::VarID() const
{
    return m_record ? m_record->VarID : 0;
}

void DiagnosticError::setLongVar(bool longVar)
{
    m_longVar = longVar;
}

void DiagnosticError::setMsgID(int id)
{
    m_msgId = VbNumber::saturateInt16(id);
}

void DiagnosticError::SetDecripion(qint16 bit, const QString &text)
{
    if (bit >= 0 && bit < BitCount) {
        m_lblBit[bit]->setText(text);
        // two narrow lines cut longer descriptions
        m_lblBit[bit]->setToolTip(text);
    }
}

bool DiagnosticError::Enable() const
{
    return m_check->isChecked();
}

void DiagnosticError::setEnable(bool enable)
{
    m_check->setChecked(enable);
}

void DiagnosticError::UpdateDisplay(qint32 &reading)
{
    if (!m_check->isChecked())
        return;
    if (m_longVar)
        reading /= 256; // truncates towards zero
    const qint32 word = reading;
    for (int bit = 0; bit < BitCount; ++bit)
        m_lamp[bit]->setFillColor((word >> bit) & 1 ? VbColor::rgb(255, 0, 0) : VbColor::WindowBackground);
    const qint32 previous = m_lastError;
    m_lastError = word;
    if (word != previous) {
        // the whole word is compared; the event's 16-bit value carries its low 16 bits
        qint16 value = static_cast<qint16>(static_cast<quint16>(word & 0xFFFF));
        qint32 changed = previous ^ word;
        emit UpdateErrorMessage(value, changed);
    }
}

void DiagnosticError::MarkStale()
{
    paintLamps(VbColor::ButtonFace);
    m_lastError = 0;
}

void DiagnosticError::checkToggled(bool checked)
{
    m_frame->setEnabled(checked);
    if (checked) {
        paintLamps(VbColor::WindowBackground);
        return;
    }
    paintLamps(VbColor::ButtonFace);
    m_lastError = 0;
    qint16 value = 0;
    qint32 changed = 255;
    emit UpdateErrorMessage(value, changed);
}

void DiagnosticError::paintLamps(quint32 color)
{
    for (ShapeWidget *lamp : m_lamp)
        lamp->setFillColor(color);
}
