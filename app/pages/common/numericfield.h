#pragma once

#include <QObject>
#include <functional>

class CVarDataS;
class MessageService;
class QLineEdit;
class QScrollBar;

// A number typed into a text box paired with a scroll bar, bound to one
// catalogue record: the scroll bar's range is the valid range, a valid text
// moves the bar and becomes the record's download value, the bar writes its
// position back into the box, and Enter or leaving the box with a value out of
// range offers to restore the controller's value. The ramp fields, the dither
// dialog and the CAN joystick window all edit their numbers this way.
class NumericField : public QObject
{
    Q_OBJECT
public:
    // `record` is asked for on every use, so the host may rebind the catalogue.
    using RecordSource = std::function<CVarDataS *()>;

    NumericField(QLineEdit *text, QScrollBar *bar, RecordSource record, MessageService *messages,
                 QObject *parent = nullptr);

    QLineEdit *text() const { return m_text; }
    QScrollBar *bar() const { return m_bar; }
    CVarDataS *record() const { return m_record ? m_record() : nullptr; }

    // Runs after a value has been stored in the record (the ramp fields clear
    // ConfigSaved there).
    void setOnStored(std::function<void()> onStored) { m_onStored = std::move(onStored); }

    // The refresh: limits from the record's range, the controller value in the
    // box and on the bar, each step through the change rules as a user edit.
    // A controller value the bar cannot hold is shown in the box and stored
    // nowhere, like a typed value out of range.
    void load();
    // The same with the value to show given: the dither dialog shows the
    // value the next write sends.
    void load(int32_t shown);

    // Off: a valid number moves the bar but stays in the box; the host
    // writes it (the CAN joystick window, on Ok).
    void setStoring(bool storing) { m_storing = storing; }

    // The restore prompt: Yes puts the controller value back (and stores it),
    // No sends the focus back to the box, which keeps its text.
    void AskRestoreValue();

    // Enter in the box and leaving it: the two range tests with their prompts.
    void confirm();

    // The box's text as a whole number; false for a text that is not one
    // (more than one ".", a lone ".", or beyond 32 bits).
    static bool textValue(const QString &text, int32_t &value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void textChanged();
    void barChanged();
    void store();
    bool below(int32_t value) const;
    bool above(int32_t value) const;

    QLineEdit *m_text;
    QScrollBar *m_bar;
    RecordSource m_record;
    MessageService *m_messages;
    std::function<void()> m_onStored;
    bool m_confirming = false;
    bool m_storing = true;
};
