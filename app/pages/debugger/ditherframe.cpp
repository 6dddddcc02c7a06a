#include "ditherframe.h"

#include "catalogue.h"
#include "debuginput.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {
const char *const RowCaptions[DebugCommands::DitherRows] = {"Amplitude", "Amplitude %", "Frequency"};
}

DitherFrame::DitherFrame(const DebugCommands &commands, const Catalogue &catalogue, QWidget *parent)
    : QGroupBox(QStringLiteral("Dither Configuration"), parent)
{
    auto *grid = new QGridLayout(this);
    for (int row = 0; row < DebugCommands::DitherRows; ++row) {
        const CVarDataS *record = catalogue.data(commands.ditherIndex(row));
        auto *caption = new QLabel(QString::fromLatin1(RowCaptions[row]), this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("TxtDataD_%1").arg(row));
        edit->setMaximumWidth(80);
        auto *slider = new QScrollBar(Qt::Horizontal, this);
        slider->setObjectName(QStringLiteral("hscData_%1").arg(row));
        slider->setMinimumWidth(160);
        auto *unit = new QLabel(record ? record->Unit : QString(), this);
        m_bound[row] = record != nullptr;
        if (record) {
            slider->setRange(record->QelValE2Min, record->QelValE2Max);
            slider->setValue(record->QelValueE2);   // what the catalogue holds until DISPLAY
            edit->setToolTip(record->TooltipDecription);
        } else {
            edit->setEnabled(false);
            slider->setEnabled(false);
        }
        edit->setText(QString::number(slider->value()));
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(slider, row, 2);
        grid->addWidget(unit, row, 3);
        m_entries[row] = edit;
        m_sliders[row] = slider;

        connect(edit, &QLineEdit::returnPressed, this, [this, row] { acceptEntry(row); });
        // Moving the slider writes its value back as if typed.
        connect(slider, &QScrollBar::valueChanged, edit, [edit](int value) { edit->setText(QString::number(value)); });
    }
    grid->setColumnStretch(2, 1);

    m_read = new QPushButton(QStringLiteral("DISPLAY"), this);
    m_read->setObjectName(QStringLiteral("CmdDitherRead"));
    m_update = new QPushButton(QStringLiteral("UPDATE"), this);
    m_update->setObjectName(QStringLiteral("CmdUpdate"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_read);
    buttons->addWidget(m_update);
    grid->addLayout(buttons, DebugCommands::DitherRows, 0, 1, 4);
}

bool DitherFrame::acceptEntry(int row)
{
    QScrollBar *slider = m_sliders[row];
    if (!m_bound[row])
        return true;
    int32_t value = 0;
    const QString text = m_entries[row]->text();
    if (!DebugInput::parseDitherValue(text, slider->minimum(), slider->maximum(), value)) {
        m_entries[row]->setText(QString::number(slider->value()));
        emit entryRefused(row, text);
        return false;
    }
    slider->setValue(value);
    m_entries[row]->setText(QString::number(value));
    return true;
}

bool DitherFrame::acceptEntries()
{
    bool ok = true;
    for (int row = 0; row < DebugCommands::DitherRows && ok; ++row)
        ok = acceptEntry(row);
    return ok;
}

void DitherFrame::showValues(const DebugCommands::DitherValues &values)
{
    for (int row = 0; row < DebugCommands::DitherRows; ++row) {
        m_sliders[row]->setValue(values[row]);
        m_entries[row]->setText(QString::number(values[row]));
    }
}

DebugCommands::DitherValues DitherFrame::values() const
{
    DebugCommands::DitherValues v{};
    for (int row = 0; row < DebugCommands::DitherRows; ++row)
        v[row] = m_sliders[row]->value();
    return v;
}
