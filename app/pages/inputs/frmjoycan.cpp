#include "frmjoycan.h"

#include "numericfield.h"
#include "session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>

using namespace JoyCanWords;

namespace {

// Marks the list items added for stored values the list does not offer.
constexpr int ExtraItemRole = Qt::UserRole + 1;

constexpr int NodeField = 0, TimeoutField = 1, FirstFloatField = 2;

} // namespace

FrmJoyCan::FrmJoyCan(Session &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("FrmJoyCan"));
    setWindowTitle(QStringLiteral("Configure Joystick Can"));
    m_ui.setupUi(this);

    const auto field = [this](QLineEdit *text, QScrollBar *bar, KrvId id) {
        return new NumericField(
            text, bar, [this, id] { return m_session.catalogue.data(id); }, m_session.messages, this);
    };
    m_numbers[NodeField] = field(m_ui.TxtJoyID, m_ui.hscJoyID, KRV_JOY_NODE_ID);
    m_numbers[TimeoutField] = field(m_ui.TxtJoyTimeout, m_ui.hscJoyTimeout, KRV_JOY_TIMEOUT);
    for (int n = 0; n < FrmJoyCanUi::FloatSections; ++n)
        m_numbers[FirstFloatField + n] = field(m_ui.TxtCurrentFloat[n], m_ui.hscCurrentFloat[n],
                                               static_cast<KrvId>(KRV_FLOAT_CURRENT_1 + n));
    // The numbers reach the catalogue only through Ok.
    for (NumericField *number : m_numbers)
        number->setStoring(false);

    connectRules();
    connect(m_ui.CmdOk, &QPushButton::clicked, this, &FrmJoyCan::cmdOk);
    connect(m_ui.CmdCancel, &QPushButton::clicked, this, &FrmJoyCan::hide);
}

FrmJoyCan::~FrmJoyCan() = default;

void FrmJoyCan::connectRules()
{
    for (int i = 1; i <= FrmJoyCanUi::Inputs; ++i)
        connect(m_ui.CmbDgtType[i], &QComboBox::currentIndexChanged, this, [this, i] { dgtTypeChanged(i); });
    for (int k = 0; k < Channels; ++k) {
        connect(m_ui.CmbJoyType[k], &QComboBox::currentIndexChanged, this, [this, k] { joyTypeChanged(k); });
        connect(m_ui.ChkUpEn[k], &QCheckBox::toggled, this, [this, k](bool on) { optionToggled(k, 1, on); });
        connect(m_ui.ChkUpJoyNeutral[k], &QCheckBox::toggled, this, [this, k](bool on) { optionToggled(k, 2, on); });
        connect(m_ui.ChkNeutralNeed[k], &QCheckBox::toggled, this, [this, k](bool on) { optionToggled(k, 4, on); });
    }
    for (int j = 0; j < Functions; ++j)
        connect(m_ui.CmbDgtIndex[j], &QComboBox::currentIndexChanged, this, [this, j] { dgtIndexChanged(j); });
}

void FrmJoyCan::open()
{
    show();
    raise();
    activateWindow();
}

void FrmJoyCan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Activate();
}

void FrmJoyCan::reject()
{
    hide();
}

void FrmJoyCan::Activate()
{
    const JoyCanSettings s = JoyCanSettings::read(m_session.catalogue);

    m_numbers[NodeField]->load(s.nodeId);
    m_numbers[TimeoutField]->load(s.timeout);
    for (int n = 0; n < FrmJoyCanUi::FloatSections; ++n) {
        m_numbers[FirstFloatField + n]->load(s.floatCurrent[n]);
        m_ui.ChkFloat[n]->setChecked((s.floatSide >> n) & 1);
    }

    // The type last: its rule clears the byte and bit of an input that is off.
    for (int i = 1; i <= FrmJoyCanUi::Inputs; ++i) {
        const DigitalInput &input = s.inputs[i - 1];
        selectValue(m_ui.CmbByteNum[i], input.byte);
        selectValue(m_ui.CmbBitNum[i], input.bit);
        selectValue(m_ui.CmbDgtType[i], input.type);
        dgtTypeChanged(i);
    }

    // The type first: its rule resets the other three fields of the channel.
    for (int k = 0; k < Channels; ++k) {
        const Channel &channel = s.channels[k];
        selectValue(m_ui.CmbJoyType[k], channel.type);
        joyTypeChanged(k);
        selectValue(m_ui.CmbJoyWord[k], channel.word);
        selectValue(m_ui.CmbJoyDgtA[k], channel.a);
        selectValue(m_ui.CmbJoyDgtB[k], channel.b);
    }

    for (int j = 0; j < Functions; ++j) {
        selectValue(m_ui.CmbDgtIndex[j], s.functions[j]);
        dgtIndexChanged(j);
    }

    for (int k = 0; k < Channels; ++k) {
        selectValue(m_ui.CmbJoyInversion[k], s.polarity[k]);
        // The boxes show the stored bits; only a user's change rewrites the word.
        m_options[k] = s.options[k];
        const std::array<std::pair<QCheckBox *, int>, 3> boxes{
            {{m_ui.ChkUpEn[k], 1}, {m_ui.ChkUpJoyNeutral[k], 2}, {m_ui.ChkNeutralNeed[k], 4}}};
        for (const auto &[box, bit] : boxes) {
            const QSignalBlocker quiet(box);
            box->setChecked(s.options[k] & bit);
        }
    }
}

void FrmJoyCan::dgtTypeChanged(int i)
{
    const bool off = value(m_ui.CmbDgtType[i]) == 0;
    if (off) {
        selectValue(m_ui.CmbByteNum[i], 0);
        selectValue(m_ui.CmbBitNum[i], 0);
    }
    m_ui.CmbByteNum[i]->setEnabled(!off);
    m_ui.CmbBitNum[i]->setEnabled(!off);
}

void FrmJoyCan::joyTypeChanged(int k)
{
    const int type = value(m_ui.CmbJoyType[k]);
    selectValue(m_ui.CmbJoyWord[k], WordBlank);
    if (type == ChannelOff || type == ChannelProportional) {
        selectValue(m_ui.CmbJoyDgtA[k], 0);
        selectValue(m_ui.CmbJoyDgtB[k], 0);
    }
    const bool digital = type != ChannelOff && type != ChannelProportional;
    m_ui.CmbJoyWord[k]->setEnabled(type == ChannelProportional);
    m_ui.CmbJoyDgtA[k]->setEnabled(digital);
    m_ui.CmbJoyDgtB[k]->setEnabled(digital);
}

void FrmJoyCan::dgtIndexChanged(int j)
{
    if (j < 2)
        return; // dead-man and fast/slow have no float settings
    const int n = j - 2;
    const bool on = value(m_ui.CmbDgtIndex[j]) != 0;
    m_ui.TxtCurrentFloat[n]->setEnabled(on);
    m_ui.hscCurrentFloat[n]->setEnabled(on);
    m_ui.ChkFloat[n]->setEnabled(on);
}

void FrmJoyCan::optionToggled(int k, int bit, bool checked)
{
    // Clearing an option keeps only the other option bits of the word.
    m_options[k] = checked ? (m_options[k] | bit) : (m_options[k] & (15 & ~bit));
}

JoyCanSettings FrmJoyCan::settings() const
{
    JoyCanSettings s;
    const auto number = [](const QLineEdit *text) {
        int32_t v = 0;
        NumericField::textValue(text->text(), v);
        return v;
    };
    s.nodeId = number(m_ui.TxtJoyID);
    s.timeout = number(m_ui.TxtJoyTimeout);
    for (int n = 0; n < FrmJoyCanUi::FloatSections; ++n) {
        s.floatCurrent[n] = number(m_ui.TxtCurrentFloat[n]);
        if (m_ui.ChkFloat[n]->isChecked())
            s.floatSide |= 1 << n;
    }
    for (int i = 1; i <= FrmJoyCanUi::Inputs; ++i)
        s.inputs[i - 1] = {value(m_ui.CmbDgtType[i]), value(m_ui.CmbByteNum[i]), value(m_ui.CmbBitNum[i])};
    for (int k = 0; k < Channels; ++k) {
        s.channels[k] = {value(m_ui.CmbJoyType[k]), value(m_ui.CmbJoyWord[k]), value(m_ui.CmbJoyDgtA[k]),
                         value(m_ui.CmbJoyDgtB[k])};
        s.polarity[k] = value(m_ui.CmbJoyInversion[k]);
        s.options[k] = m_options[k];
    }
    for (int j = 0; j < Functions; ++j)
        s.functions[j] = value(m_ui.CmbDgtIndex[j]);
    return s;
}

bool FrmJoyCan::confirmNumbers()
{
    for (NumericField *number : m_numbers) {
        if (!number->text()->isEnabled())
            continue; // an unused float section: nothing was typed there
        number->confirm();
        int32_t v = 0;
        if (!NumericField::textValue(number->text()->text(), v) || v < number->bar()->minimum()
            || v > number->bar()->maximum()) {
            number->text()->setFocus();
            return false;
        }
    }
    return true;
}

void FrmJoyCan::cmdOk()
{
    if (!confirmNumbers())
        return;
    settings().write(m_session.catalogue);
    hide();
    if (m_configDrawJoy)
        m_configDrawJoy();
}

void FrmJoyCan::selectValue(QComboBox *combo, int value)
{
    for (int i = combo->count() - 1; i >= 0; --i) {
        if (combo->itemData(i, ExtraItemRole).toBool() && combo->itemData(i).toInt() != value)
            combo->removeItem(i);
    }
    int index = combo->findData(value);
    if (index < 0) {
        combo->addItem(QStringLiteral("[%1]").arg(value), value);
        index = combo->count() - 1;
        combo->setItemData(index, true, ExtraItemRole);
    }
    combo->setCurrentIndex(index);
}

int FrmJoyCan::value(const QComboBox *combo)
{
    return combo->currentData().toInt();
}
