#include "joymonitor.h"

#include "cvardatas.h"
#include "flatprogressbar.h"
#include "shapewidget.h"
#include "vbnumber.h"
#include "vbpalette.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The monitor's frame, drawn once and then copied. Every new reading redraws
// the frame behind its label, and the style draws a frame from a picture it
// looks up again each time: more work than the whole reading.
class DrawnOnceFrame : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const qreal ratio = devicePixelRatioF();
        if (m_picture.isNull() || m_picture.deviceIndependentSize() != QSizeF(size())
            || m_picture.devicePixelRatio() != ratio) {
            m_picture = QPixmap(size() * ratio);
            m_picture.setDevicePixelRatio(ratio);
            m_picture.fill(Qt::transparent);
            QPainter painter(&m_picture);
            painter.setFont(font());
            painter.setPen(palette().color(foregroundRole()));
            QStyleOptionGroupBox option;
            initStyleOption(&option);
            style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
        }
        const QRect area = event->rect();
        QPainter painter(this);
        painter.drawPixmap(area, m_picture, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
    }

    void changeEvent(QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::EnabledChange:
        case QEvent::ActivationChange:
            m_picture = QPixmap();   // drawn again from what changed
            break;
        default:
            break;
        }
        QGroupBox::changeEvent(event);
    }

private:
    QPixmap m_picture;
};

} // namespace

JoyMonitor::JoyMonitor(QWidget *parent)
    : QWidget(parent),
      m_foreColor(VbColor::ButtonText),
      m_backColor(VbColor::ButtonFace),
      m_dataFormat(QStringLiteral("##,##0.0"))
{
    m_frame = new DrawnOnceFrame(this);
    m_frame->setObjectName(QStringLiteral("FrmeInput"));
    m_bar = new FlatProgressBar(m_frame);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_check = new QCheckBox(m_frame);
    m_check->setObjectName(QStringLiteral("ChkInputEnable"));
    m_focusFrame = new ShapeWidget(m_frame);
    m_focusFrame->setObjectName(QStringLiteral("ShpChkInputEnable"));
    m_lblName = new QLabel(QStringLiteral("Name"), m_frame);
    m_lblName->setObjectName(QStringLiteral("lblInputName"));
    m_lblValue = new QLabel(QStringLiteral("00.00"), m_frame);
    m_lblValue->setObjectName(QStringLiteral("lblInputValue"));
    m_lblUnit = new QLabel(QStringLiteral("mA"), m_frame);
    m_lblUnit->setObjectName(QStringLiteral("lblInputUnit"));

    m_lblValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fitValueLabel();
    m_lblUnit->setMinimumWidth(m_lblUnit->fontMetrics().horizontalAdvance(QStringLiteral("mA")) + 4);
    m_lblName->setMinimumWidth(60);

    // blue fill on white, no percentage text
    QPalette barPalette = m_bar->palette();
    barPalette.setColor(QPalette::Highlight, VbColor::toQColor(VbColor::rgb(0, 0, 255)));
    barPalette.setColor(QPalette::Base, Qt::white);
    barPalette.setColor(QPalette::Window, Qt::white);
    m_bar->setPalette(barPalette);
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(10);
    QSizePolicy keepSpace = m_bar->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    m_bar->setSizePolicy(keepSpace);
    m_bar->hide();
    updateBarRange();
    m_bar->setValue(0);

    m_focusFrame->setFilled(false);
    m_focusFrame->setBorderColor(m_foreColor);
    m_focusFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_focusFrame->hide();
    m_check->installEventFilter(this);
    m_check->setChecked(true);

    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_check, 0, 0);
    grid->addWidget(m_lblName, 0, 1);
    grid->addWidget(m_lblValue, 0, 2);
    grid->addWidget(m_lblUnit, 0, 3);
    grid->addWidget(m_bar, 1, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_frame);

    connect(m_check, &QCheckBox::toggled, this, &JoyMonitor::checkToggled);
}

void JoyMonitor::setCarica(CVarDataS *record)
{
    m_record = record;
    if (!record)
        return;
    m_lblName->setToolTip(record->TooltipDecription);
    m_lblName->setText(record->MonitorName);
    m_lblUnit->setText(record->Unit);
    UpdateDisplay(record->KrvDisplayValueRAM);
}

void JoyMonitor::setActiveProgressBar(bool active)
{
    m_barActive = active;
    m_bar->setVisible(active);
}

void JoyMonitor::setForeColor(quint32 color)
{
    m_foreColor = color;
    for (QLabel *label : {m_lblName, m_lblValue, m_lblUnit})
        VbColor::applyTo(label, QPalette::WindowText, color);
    m_focusFrame->setBorderColor(color);
}

void JoyMonitor::setBackColor(quint32 color)
{
    m_backColor = color;
    VbColor::applyTo(this, QPalette::Window, color);
    VbColor::applyTo(m_check, QPalette::Window, color);
    VbColor::applyTo(m_frame, QPalette::Window, color);
}

qint16 JoyMonitor::VarID() const
{
    return m_record ? m_record->VarID : 0;
}

void JoyMonitor::setThMax(int value)
{
    m_thMax = std::min<qint16>(VbNumber::saturateInt16(value), 500);
}

void JoyMonitor::setDataFormat(const QString &pattern)
{
    m_dataFormat = pattern;
    fitValueLabel();
}

void JoyMonitor::setThMin(int value)
{
    m_thMin = VbNumber::saturateInt16(value);
}

void JoyMonitor::setMax(int value)
{
    m_max = std::min<qint16>(VbNumber::saturateInt16(value), 32000);
    updateBarRange();
}

void JoyMonitor::setMin(int value)
{
    m_min = VbNumber::saturateInt16(value);
    updateBarRange();
}

bool JoyMonitor::MonitorEnable() const
{
    return m_check->isChecked();
}

void JoyMonitor::setMonitorEnable(bool enable)
{
    m_check->setChecked(enable);
}

void JoyMonitor::UpdateDisplay(double reading)
{
    if (!m_check->isChecked() || std::isnan(reading))
        return;
    if (m_record && m_record->F_DownloadToDisplay.contains(QLatin1Char('&'))) {
        // a bit test: the value is on or off
        const bool on = reading > 0;
        showValue(on ? QStringLiteral("ON") : QStringLiteral("OFF"), on ? 1 : 0,
                  on ? m_bar->maximum() : barBounded(0));
        return;
    }
    // the sums saturate rather than wrap when the tolerances push them out of range
    const int low = VbNumber::saturateInt16(int(m_min) + int(m_thMin));
    const int high = VbNumber::saturateInt16(int(m_max) + int(m_thMax));
    // the limits are checked against the reading as a whole number: 1000.4
    // with a maximum of 1000 still shows as read
    const double whole = VbNumber::roundHalfEven(reading);
    double shown = reading;
    if (whole < low)
        shown = m_min;
    else if (whole > high)
        shown = m_max;
    const QString text = VbNumber::format(shown, m_dataFormat);
    double number = 0;
    qint16 n = 0;
    if (VbNumber::parseFormatted(text, number))
        n = VbNumber::saturateInt16(number);
    showValue(text, n, text.isEmpty() ? barBounded(0) : barBounded(n));
    qint16 value = n;
    emit UpdateValue(value);
}

void JoyMonitor::MarkStale()
{
    if (!m_check->isChecked())
        return; // not monitored: already shows "0"
    showValue(QStringLiteral("---"), 0, m_bar->minimum());
}

void JoyMonitor::checkToggled(bool checked)
{
    if (m_record)
        m_record->MonitorEnable = checked;
    if (!checked)
        showValue(QStringLiteral("0"), 0, barBounded(0));
    qint16 state = checked ? 1 : 0;
    emit CheckEnabled(state);
}

void JoyMonitor::showValue(const QString &text, qint16 number, int barValue)
{
    m_lblValue->setText(text);
    m_value = number;
    m_bar->setValue(barValue);
}

void JoyMonitor::fitValueLabel()
{
    // The reading changes several times a second while the monitor polls; a
    // label of fixed size never asks for the monitor to be laid out again.
    // Wide enough for the longest reading the format can give.
    const QFontMetrics metrics = m_lblValue->fontMetrics();
    int widest = metrics.horizontalAdvance(QStringLiteral("-32,768.0"));
    for (double extreme : {-32768.0, 32767.0})
        widest = std::max(widest, metrics.horizontalAdvance(VbNumber::format(extreme, m_dataFormat)));
    m_lblValue->setFixedSize(widest + 4, m_lblValue->sizeHint().height());
}

void JoyMonitor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        fitValueLabel();
    QWidget::changeEvent(event);
}

void JoyMonitor::updateBarRange()
{
    const int low = m_min;
    int high = std::max<int>(m_max, m_min);
    if (high == low)
        high = low + 1; // an empty range would turn the bar into a busy indicator
    m_bar->setRange(low, high);
}

int JoyMonitor::barBounded(int value) const
{
    if (m_bar->maximum() < value)
        return m_bar->maximum();
    if (m_bar->minimum() > value)
        return m_bar->minimum();
    return value;
}

void JoyMonitor::placeFocusFrame()
{
    m_focusFrame->setGeometry(m_check->geometry().adjusted(-2, -2, 2, 2));
    m_focusFrame->raise();
}

bool JoyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_check) {
        switch (event->type()) {
        case QEvent::FocusIn:
            placeFocusFrame();
            m_focusFrame->show();
            break;
        case QEvent::FocusOut:
            m_focusFrame->hide();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            placeFocusFrame();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
