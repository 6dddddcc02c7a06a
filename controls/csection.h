#pragma once

#include "tessera_global.h"

#include <QWidget>
#include <memory>

class CVarDataS;
class MessageService;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;

// One valve output section: its minimum and maximum current as a pair, each
// with a text box and a scroll bar. The pair is kept ordered and inside the
// scroll-bar range; accepted values are written into the two bound records
// (owned by the host) and announced by VarMinChange / VarMaxChange.
class TESSERA_EXPORT CSection : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QString SectionName READ SectionName WRITE setSectionName)
    Q_PROPERTY(int VarMinID READ VarMinID)
    Q_PROPERTY(int VarMaxID READ VarMaxID)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)

public:
    explicit CSection(QWidget *parent = nullptr);
    ~CSection() override;

    quint32 FontColor() const;
    void setFontColor(quint32 color);
    quint32 BackColor() const;
    void setBackColor(quint32 color);
    QString SectionName() const;
    void setSectionName(const QString &name);
    qint16 VarMinID() const;
    qint16 VarMaxID() const;
    qint16 Max() const;
    void setMax(int value);
    qint16 Min() const;
    void setMin(int value);
    CVarDataS *CaricaMin() const { return m_recordMin; }
    void setCaricaMin(CVarDataS *record);
    CVarDataS *CaricaMax() const { return m_recordMax; }
    void setCaricaMax(CVarDataS *record);

    // The restore question goes here; nullptr means a real message box.
    void setMessageService(MessageService *service);

signals:
    void VarMinChange();
    void VarMaxChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Side { Min, Max };

    QLineEdit *box(Side side) const;
    QScrollBar *bar(Side side) const;
    CVarDataS *record(Side side) const;
    qint16 &current(Side side);
    static Side other(Side side);

    void bind(Side side, CVarDataS *record);
    void setValue(Side side, int value);
    void commit(Side side);

    void barChanged(Side side);
    void textChanged(Side side);
    void setTextAndApply(Side side, const QString &text);
    void confirm(Side side);
    void askRestore(Side side);
    MessageService &messages();

    QGroupBox *m_frame;
    QLineEdit *m_txtMin;
    QLineEdit *m_txtMax;
    QScrollBar *m_hscMin;
    QScrollBar *m_hscMax;
    QLabel *m_lblUnit[2];

    qint16 m_min = 500;
    qint16 m_max = 1000;
    CVarDataS *m_recordMin = nullptr;
    CVarDataS *m_recordMax = nullptr;
    quint32 m_fontColor;
    quint32 m_backColor;
    bool m_confirming = false;
    MessageService *m_messages = nullptr;
    std::unique_ptr<MessageService> m_defaultMessages;
};
