#include "numericfield.h"

#include "cvardatas.h"
#include "messageservice.h"
#include "numberkeys.h"
#include "vbnumber.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include <cstdint>

namespace {

int toBarLimit(int32_t value)
{
    return int(qBound<int32_t>(INT16_MIN, value, INT16_MAX));
}

} // namespace

NumericField::NumericField(QLineEdit *text, QScrollBar *bar, RecordSource record, MessageService *messages,
                           QObject *parent)
    : QObject(parent), m_text(text), m_bar(bar), m_record(std::move(record)), m_messages(messages)
{
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &NumericField::textChanged);
    connect(m_bar, &QScrollBar::valueChanged, this, &NumericField::barChanged);
}

bool NumericField::textValue(const QString &text, int32_t &value)
{
    bool digit = false;
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128)
            digit = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else if (!(c == QLatin1Char('-') && i == 0))
            return false;
    }
    return digit && VbNumber::toInt32(VbNumber::leadingNumber(text), value);
}

bool NumericField::below(int32_t value) const
{
    return value < m_bar->minimum();
}

bool NumericField::above(int32_t value) const
{
    return value > m_bar->maximum();
}

void NumericField::textChanged()
{
    if (m_text->text().isEmpty()) {
        m_text->setText(QStringLiteral("0")); // runs this rule for the zero
        m_text->setSelection(0, 1);           // the next digit replaces it
        return;
    }
    int32_t value = 0;
    if (!textValue(m_text->text(), value) || below(value) || above(value))
        return; // out of range: the text stays as typed, nothing is stored
    m_bar->setValue(value);
    store();
}

void NumericField::barChanged()
{
    const QString position = QString::number(m_bar->value());
    if (m_text->text() != position)
        m_text->setText(position);
    confirm();
}

void NumericField::store()
{
    CVarDataS *rec = record();
    if (!rec || !m_storing)
        return;
    rec->KrvDownloadValueE2 = m_bar->value();
    if (m_onStored)
        m_onStored();
}

void NumericField::load()
{
    if (const CVarDataS *rec = record())
        load(rec->QelValueE2);
}

void NumericField::load(int32_t shown)
{
    const CVarDataS *rec = record();
    if (!rec)
        return;
    {
        // Narrowing the range must not push a stale position into the record.
        const QSignalBlocker quiet(m_bar);
        m_bar->setRange(toBarLimit(rec->QelValE2Min), toBarLimit(rec->QelValE2Max));
    }
    const QString value = QString::number(shown);
    if (m_text->text() == value)
        textChanged(); // the box does not report an unchanged text
    else
        m_text->setText(value);
    if (!below(shown) && !above(shown))
        m_bar->setValue(shown);
}

void NumericField::confirm()
{
    if (m_confirming)
        return;
    const QScopedValueRollback<bool> guard(m_confirming, true);
    int32_t value = 0;
    if (!textValue(m_text->text(), value) || below(value))
        AskRestoreValue();
    if (textValue(m_text->text(), value) && above(value))
        AskRestoreValue();
}

void NumericField::AskRestoreValue()
{
    const CVarDataS *rec = record();
    if (!rec || !m_messages)
        return;
    const QString value = QString::number(rec->QelValueE2);
    const auto answer = m_messages->show(QStringLiteral("Value Not Correct : Restore With '") + value
                                             + QStringLiteral("' ?"),
                                         MessageService::Buttons::YesNo, MessageService::Icon::Information);
    if (answer == MessageService::Answer::Yes) {
        m_text->setText(value);
    } else {
        // After the focus change that may have brought us here has finished.
        QLineEdit *box = m_text;
        QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
    }
}

bool NumericField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_text)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            confirm();
            return true; // Enter types nothing
        }
        if (!NumberKeys::accepts(*key))
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        // Switching windows or opening a menu is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            confirm();
    }
    return QObject::eventFilter(watched, event);
}
