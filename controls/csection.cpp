#include "csection.h"

#include "cvardatas.h"
#include "dialogmessageservice.h"
#include "numberkeys.h"
#include "streval.h"
#include "vbnumber.h"
#include "vbpalette.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The number a box holds: optional "-", digits and at most one ".". Anything
// else (a lone ".", "1.2.3", pasted letters) is not a number and counts as out
// of range everywhere.
bool boxNumber(const QString &text, double &out)
{
    bool digit = false;
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else if (!(c == QLatin1Char('-') && i == 0))
            return false;
    }
    if (!digit)
        return false;
    out = VbNumber::leadingNumber(text);
    return true;
}

} // namespace

CSection::CSection(QWidget *parent)
    : QWidget(parent), m_fontColor(VbColor::ButtonText), m_backColor(VbColor::ButtonFace)
{
    m_frame = new QGroupBox(QStringLiteral("1A"), this);
    m_frame->setObjectName(QStringLiteral("FrameSection"));
    m_txtMin = new QLineEdit(QStringLiteral("500"), m_frame);
    m_txtMin->setObjectName(QStringLiteral("txtTMin"));
    m_txtMax = new QLineEdit(QStringLiteral("1000"), m_frame);
    m_txtMax->setObjectName(QStringLiteral("txtTMax"));
    m_txtMax->setToolTip(QStringLiteral("KRV Value - IMax"));
    m_hscMin = new QScrollBar(Qt::Horizontal, m_frame);
    m_hscMin->setObjectName(QStringLiteral("hscTMin"));
    m_hscMax = new QScrollBar(Qt::Horizontal, m_frame);
    m_hscMax->setObjectName(QStringLiteral("hscTMax"));
    for (int i = 0; i < 2; ++i) {
        m_lblUnit[i] = new QLabel(QStringLiteral("mA"), m_frame);
        m_lblUnit[i]->setObjectName(QStringLiteral("lblUnit_%1").arg(i));
    }

    // Starting limits until the host sets its own; the values match the boxes.
    for (QScrollBar *b : {m_hscMin, m_hscMax}) {
        b->setRange(0, 1000);
        b->setSingleStep(1);
        b->setPageStep(10);
        b->setMinimumWidth(100);
    }
    m_hscMin->setValue(m_min);
    m_hscMax->setValue(m_max);
    for (QLineEdit *t : {m_txtMin, m_txtMax}) {
        t->setAlignment(Qt::AlignRight);
        t->setFixedWidth(t->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
        t->installEventFilter(this);
    }

    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_txtMin, 0, 0);
    grid->addWidget(m_lblUnit[0], 0, 1);
    grid->addWidget(m_hscMin, 1, 0, 1, 2);
    grid->addWidget(m_txtMax, 2, 0);
    grid->addWidget(m_lblUnit[1], 2, 1);
    grid->addWidget(m_hscMax, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_frame);

    connect(m_hscMin, &QScrollBar::valueChanged, this, [this] { barChanged(Side::Min); });
    connect(m_hscMax, &QScrollBar::valueChanged, this, [this] { barChanged(Side::Max); });
    connect(m_txtMin, &QLineEdit::textChanged, this, [this] { textChanged(Side::Min); });
    connect(m_txtMax, &QLineEdit::textChanged, this, [this] { textChanged(Side::Max); });
}

CSection::~CSection() = default;

quint32 CSection::FontColor() const
{
    return m_fontColor;
}

void CSection::setFontColor(quint32 color)
{
    m_fontColor = color;
    VbColor::applyTo(m_frame, QPalette::WindowText, color);
    for (QLabel *label : m_lblUnit)
        VbColor::applyTo(label, QPalette::WindowText, color);
}

quint32 CSection::BackColor() const
{
    return m_backColor;
}

void CSection::setBackColor(quint32 color)
{
    m_backColor = color;
    VbColor::applyTo(m_frame, QPalette::Window, color);
    VbColor::applyTo(this, QPalette::Window, color);
}

QString CSection::SectionName() const
{
    return m_frame->title();
}

void CSection::setSectionName(const QString &name)
{
    m_frame->setTitle(name);
}

qint16 CSection::VarMinID() const
{
    return m_recordMin ? m_recordMin->VarID : 0;
}

qint16 CSection::VarMaxID() const
{
    return m_recordMax ? m_recordMax->VarID : 0;
}

qint16 CSection::Max() const
{
    return static_cast<qint16>(m_hscMin->maximum());
}

void CSection::setMax(int value)
{
    const int limit = VbNumber::saturateInt16(value);
    m_hscMin->setMaximum(limit);
    m_hscMax->setMaximum(limit);
}

qint16 CSection::Min() const
{
    return static_cast<qint16>(m_hscMin->minimum());
}

void CSection::setMin(int value)
{
    const int limit = value < 0 ? 0 : VbNumber::saturateInt16(value);
    m_hscMin->setMinimum(limit);
    m_hscMax->setMinimum(limit);
}

void CSection::setCaricaMin(CVarDataS *record)
{
    bind(Side::Min, record);
}

void CSection::setCaricaMax(CVarDataS *record)
{
    bind(Side::Max, record);
}

void CSection::setMessageService(MessageService *service)
{
    m_messages = service;
}

QLineEdit *CSection::box(Side side) const
{
    return side == Side::Min ? m_txtMin : m_txtMax;
}

QScrollBar *CSection::bar(Side side) const
{
    return side == Side::Min ? m_hscMin : m_hscMax;
}

CVarDataS *CSection::record(Side side) const
{
    return side == Side::Min ? m_recordMin : m_recordMax;
}

qint16 &CSection::current(Side side)
{
    return side == Side::Min ? m_min : m_max;
}

CSection::Side CSection::other(Side side)
{
    return side == Side::Min ? Side::Max : Side::Min;
}

void CSection::bind(Side side, CVarDataS *rec)
{
    (side == Side::Min ? m_recordMin : m_recordMax) = rec;
    if (!rec)
        return;
    box(side)->setToolTip(rec->TooltipDecription);
    // Binding runs the change rule even when the box already shows the value,
    // so a valid value is always committed (and its download value computed).
    setTextAndApply(side, QString::number(rec->KrvDisplayValueE2));
    bar(side)->setValue(VbNumber::saturateInt16(rec->KrvDisplayValueE2));
    // The bound value is the side's value even when the change rule refused
    // it (a minimum equal to the maximum, say): Enter or leaving the other
    // box corrects against it, not against what the control showed before.
    current(side) = static_cast<qint16>(std::clamp<int>(VbNumber::saturateInt16(rec->KrvDisplayValueE2),
                                                   bar(side)->minimum(), bar(side)->maximum()));
    if (side == Side::Max) {
        for (QLabel *label : m_lblUnit)
            label->setText(rec->Unit);
    }
}

void CSection::setValue(Side side, int value)
{
    QScrollBar *b = bar(side);
    if (value < b->minimum())
        value = b->minimum();
    if (value > b->maximum())
        value = b->maximum();
    current(side) = static_cast<qint16>(value);
    box(side)->setText(QString::number(value));
    b->setValue(value);
    commit(side);
}

void CSection::commit(Side side)
{
    CVarDataS *rec = record(side);
    if (!rec)
        return; // nothing bound, nothing written, nothing to announce
    rec->KrvDisplayValueE2 = current(side);
    if (rec->F_DisplayToDownload.isEmpty()) {
        rec->KrvDownloadValueE2 = rec->KrvDisplayValueE2;
    } else {
        // the evaluator rewrites its text: work on a copy so the record keeps its formula
        QString formula = rec->F_DisplayToDownload;
        rec->KrvDownloadValueE2 = StrEval::EvaluateFormula(formula, rec->KrvDisplayValueE2);
    }
    if (side == Side::Min)
        emit VarMinChange();
    else
        emit VarMaxChange();
}

void CSection::barChanged(Side side)
{
    QScrollBar *b = bar(side);
    if (m_hscMin->value() < m_hscMax->value()) {
        const int value = b->value();
        box(side)->setText(QString::number(value));
        setValue(side, value);
    } else {
        double number = 0;
        b->setValue(boxNumber(box(side)->text(), number) ? VbNumber::saturateInt16(number)
                                                        : current(side));
    }
}

void CSection::textChanged(Side side)
{
    QLineEdit *b = box(side);
    if (b->text().isEmpty()) {
        b->setText(QStringLiteral("0")); // runs this rule again for the 0
        b->setSelection(0, 1);
        return;
    }
    double number = 0;
    double otherNumber = 0;
    if (!boxNumber(b->text(), number) || !boxNumber(box(other(side))->text(), otherNumber))
        return;
    const QScrollBar *sb = bar(side);
    const bool ordered = side == Side::Min ? number < otherNumber : number > otherNumber;
    if (number >= sb->minimum() && number <= sb->maximum() && ordered)
        setValue(side, VbNumber::saturateInt16(number));
}

void CSection::setTextAndApply(Side side, const QString &text)
{
    QLineEdit *b = box(side);
    if (b->text() == text)
        textChanged(side); // the box would not report an unchanged text
    else
        b->setText(text);
}

void CSection::confirm(Side side)
{
    if (m_confirming)
        return;
    const QScopedValueRollback<bool> guard(m_confirming, true);
    const QScrollBar *sb = bar(side);
    double number = 0;
    if (!boxNumber(box(side)->text(), number) || number < sb->minimum())
        askRestore(side);
    if (boxNumber(box(side)->text(), number) && number > sb->maximum())
        askRestore(side);

    double low = 0;
    double high = 0;
    if (boxNumber(m_txtMin->text(), low) && boxNumber(m_txtMax->text(), high) && low >= high) {
        if (side == Side::Min)
            setTextAndApply(Side::Min, QString::number(m_max - 1));
        else
            setTextAndApply(Side::Max, QString::number(m_min + 1));
    }
}

void CSection::askRestore(Side side)
{
    QLineEdit *b = box(side);
    const CVarDataS *rec = record(side);
    if (!rec) {
        // no controller value to offer: go back to the value in force
        setTextAndApply(side, QString::number(current(side)));
        return;
    }
    const QString value = QString::number(rec->QelValueE2);
    const auto answer = messages().show(QStringLiteral("Value Not Correct : Restore With '") + value
                                            + QStringLiteral("' ?"),
                                        MessageService::Buttons::YesNo, MessageService::Icon::Information);
    if (answer == MessageService::Answer::Yes) {
        setTextAndApply(side, value);
    } else {
        // after the focus change that may have brought us here has finished;
        // the box losing the focus to it is not checked, or two wrong boxes
        // would keep taking the focus from each other
        QTimer::singleShot(0, b, [this, b] {
            const QScopedValueRollback<bool> guard(m_confirming, true);
            b->setFocus(Qt::OtherFocusReason);
        });
    }
}

MessageService &CSection::messages()
{
    if (m_messages)
        return *m_messages;
    if (!m_defaultMessages)
        m_defaultMessages = std::make_unique<DialogMessageService>(QGuiApplication::applicationDisplayName());
    return *m_defaultMessages;
}

bool CSection::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_txtMin && watched != m_txtMax)
        return QWidget::eventFilter(watched, event);
    const Side side = watched == m_txtMin ? Side::Min : Side::Max;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            confirm(side);
            return true;
        }
        if (!NumberKeys::accepts(*key))
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        // switching windows or opening a menu is not leaving the box
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            confirm(side);
    }
    return QWidget::eventFilter(watched, event);
}
