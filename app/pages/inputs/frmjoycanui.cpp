#include "frmjoycanui.h"

#include "controlarray.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QString inputName(int i)
{
    return QStringLiteral("DI_%1").arg(i, 2, 10, QLatin1Char('0'));
}

template <typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

template <typename W> W *element(W *widget, const char *array, int index)
{
    return named(widget, ControlArray::name(QLatin1String(array), index));
}

// A list whose items stand for the numbers first, first + 1, ...
QComboBox *list(const QStringList &items, int first = 0)
{
    auto *combo = new QComboBox;
    for (int i = 0; i < items.size(); ++i)
        combo->addItem(items[i], first + i);
    return combo;
}

// "OFF" followed by the fourteen digital inputs: the position is the input number.
QComboBox *inputList()
{
    QStringList items{QStringLiteral("OFF")};
    for (int i = 1; i <= JoyCanWords::DigitalInputs; ++i)
        items << inputName(i);
    return list(items);
}

QComboBox *digitList()
{
    QStringList items;
    for (int i = 0; i < 8; ++i)
        items << QString::number(i);
    return list(items);
}

QLabel *header(const QString &text)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// Text box and scroll bar of one number, side by side.
QHBoxLayout *numberRow(QLineEdit *&text, QScrollBar *&bar, const QString &textName, const QString &barName)
{
    text = named(new QLineEdit, textName);
    // wide enough for five digits in the box's own font, as the largest values have
    const int margins = text->sizeHint().width() - text->fontMetrics().horizontalAdvance(QString(17, QLatin1Char('x')));
    text->setFixedWidth(text->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + qMax(margins, 12));
    text->setAlignment(Qt::AlignRight);
    bar = named(new QScrollBar(Qt::Horizontal), barName);
    bar->setMinimumWidth(110);
    auto *row = new QHBoxLayout;
    row->addWidget(text);
    row->addWidget(bar, 1);
    return row;
}

} // namespace

void FrmJoyCanUi::setupUi(QWidget *window)
{
    auto *left = new QVBoxLayout;
    left->addWidget(buildJoystick());
    left->addWidget(buildChannels());
    left->addWidget(buildOptions());
    left->addStretch();

    auto *right = new QVBoxLayout;
    right->addWidget(buildCommands());
    right->addStretch();

    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(buildDigital());
    columns->addLayout(right);

    CmdOk = named(new QPushButton(QStringLiteral("Ok")), QStringLiteral("CmdOk"));
    CmdCancel = named(new QPushButton(QStringLiteral("Cancel")), QStringLiteral("CmdCancel"));
    for (QPushButton *button : {CmdOk, CmdCancel}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(90);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);

    auto *layout = new QVBoxLayout(window);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

QGroupBox *FrmJoyCanUi::buildJoystick()
{
    FrameJoyID = named(new QGroupBox(QStringLiteral("Joystick ID")), QStringLiteral("FrameJoyID"));
    auto *idLayout = new QVBoxLayout(FrameJoyID);
    idLayout->addLayout(numberRow(TxtJoyID, hscJoyID, QStringLiteral("TxtJoyID"), QStringLiteral("hscJoyID")));

    Frame1 = named(new QGroupBox(QStringLiteral("Joystick Rx Timeout [ms]")), QStringLiteral("Frame1"));
    auto *timeoutLayout = new QVBoxLayout(Frame1);
    timeoutLayout->addLayout(
        numberRow(TxtJoyTimeout, hscJoyTimeout, QStringLiteral("TxtJoyTimeout"), QStringLiteral("hscJoyTimeout")));

    auto *box = new QGroupBox(QStringLiteral("CAN Joystick"));
    auto *row = new QHBoxLayout(box);
    row->addWidget(FrameJoyID);
    row->addWidget(Frame1);
    return box;
}

QGroupBox *FrmJoyCanUi::buildChannels()
{
    auto *box = named(new QGroupBox(QStringLiteral("Joystick Channels")), QStringLiteral("FrameJoyChannels"));
    auto *grid = new QGridLayout(box);
    const QStringList titles{QStringLiteral("Type"), QStringLiteral("Word"), QStringLiteral("Switch A"),
                             QStringLiteral("Switch B"), QStringLiteral("Invert Joystick Side")};
    for (int c = 0; c < titles.size(); ++c)
        grid->addWidget(header(titles[c]), 0, c + 1);
    const QStringList types{QStringLiteral("OFF"), QStringLiteral("Propotional"), QStringLiteral("Digial Reg."),
                            QStringLiteral("Digial Not Reg."), QStringLiteral("ON/OFF Indipendent")};
    const QStringList words{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral(" "), QStringLiteral(" "),
                            QStringLiteral("W"), QStringLiteral("Z"), QStringLiteral("J"), QStringLiteral(" ")};
    for (int k = 0; k < Channels; ++k) {
        LblJoyName[k] = element(new QLabel(QStringLiteral("Joy %1").arg(k + 1)), "LblJoyName", k);
        CmbJoyType[k] = element(list(types), "CmbJoyType", k);
        CmbJoyWord[k] = element(list(words), "CmbJoyWord", k);
        CmbJoyDgtA[k] = element(inputList(), "CmbJoyDgtA", k);
        CmbJoyDgtB[k] = element(inputList(), "CmbJoyDgtB", k);
        CmbJoyInversion[k] = element(new QComboBox, "CmbJoyInversion", k);
        CmbJoyInversion[k]->addItem(QStringLiteral("NO"), JoyCanWords::PolarityNo);
        CmbJoyInversion[k]->addItem(QStringLiteral("YES"), JoyCanWords::PolarityYes);
        grid->addWidget(LblJoyName[k], k + 1, 0);
        grid->addWidget(CmbJoyType[k], k + 1, 1);
        grid->addWidget(CmbJoyWord[k], k + 1, 2);
        grid->addWidget(CmbJoyDgtA[k], k + 1, 3);
        grid->addWidget(CmbJoyDgtB[k], k + 1, 4);
        grid->addWidget(CmbJoyInversion[k], k + 1, 5);
    }
    return box;
}

QGroupBox *FrmJoyCanUi::buildDigital()
{
    Frame2 = named(new QGroupBox(QStringLiteral("Digial settings")), QStringLiteral("Frame2"));
    auto *grid = new QGridLayout(Frame2);
    const QStringList titles{QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Byte"),
                             QStringLiteral("Bit")};
    for (int c = 0; c < titles.size(); ++c)
        grid->addWidget(header(titles[c]), 0, c);
    const QStringList types{QStringLiteral("OFF"), QStringLiteral("LEVEL"), QStringLiteral("EDGE")};
    for (int i = 1; i <= Inputs; ++i) {
        LblGgtName[i] = element(new QLabel(inputName(i)), "LblGgtName", i);
        CmbDgtType[i] = element(list(types), "CmbDgtType", i);
        CmbByteNum[i] = element(digitList(), "CmbByteNum", i);
        CmbBitNum[i] = element(digitList(), "CmbBitNum", i);
        grid->addWidget(LblGgtName[i], i, 0);
        grid->addWidget(CmbDgtType[i], i, 1);
        grid->addWidget(CmbByteNum[i], i, 2);
        grid->addWidget(CmbBitNum[i], i, 3);
    }
    return Frame2;
}

QGroupBox *FrmJoyCanUi::buildCommands()
{
    Frame4 = named(new QGroupBox(QStringLiteral("Command settings")), QStringLiteral("Frame4"));
    auto *grid = new QGridLayout(Frame4);
    grid->addWidget(header(QStringLiteral("Input")), 0, 1);
    grid->addWidget(header(QStringLiteral("Current [mA]")), 0, 2);
    const QStringList rows{QStringLiteral("Dead Man"), QStringLiteral("Fast/Slow")};
    for (int j = 0; j < Functions; ++j) {
        const QString caption = j < 2 ? rows[j] : QStringLiteral("Float Sec. %1").arg(j - 1);
        CmbDgtIndex[j] = element(inputList(), "CmbDgtIndex", j);
        grid->addWidget(new QLabel(caption), j + 1, 0);
        grid->addWidget(CmbDgtIndex[j], j + 1, 1);
        if (j < 2)
            continue;
        const int n = j - 1; // float section 1 .. 4
        // the last bar's name is spelt with a capital H
        const QString barName = (n == 4 ? QStringLiteral("HscCurrentFloat") : QStringLiteral("hscCurrentFloat"))
            + QString::number(n);
        grid->addLayout(numberRow(TxtCurrentFloat[n - 1], hscCurrentFloat[n - 1],
                                  QStringLiteral("TxtCurrentFloat%1").arg(n), barName),
                        j + 1, 2);
        ChkFloat[n - 1] = named(new QCheckBox(QStringLiteral("On Side B")), QStringLiteral("ChkFloat_%1").arg(n));
        grid->addWidget(ChkFloat[n - 1], j + 1, 3);
    }
    return Frame4;
}

QGroupBox *FrmJoyCanUi::buildOptions()
{
    Frame5 = named(new QGroupBox(QStringLiteral("Advance Settings")), QStringLiteral("Frame5"));
    auto *grid = new QGridLayout(Frame5);
    const QStringList columns{QStringLiteral("Sec.1"), QStringLiteral("Sec. 2"), QStringLiteral("Sec. 3"),
                              QStringLiteral("Sec. 4")};
    const QStringList rows{QStringLiteral("Section enabled with Dead-Man"),
                           QStringLiteral("Wait for joystick NEUTRAL at START UP"),
                           QStringLiteral("Wait for joystick NEUTRAL at RUN TIME")};
    for (int k = 0; k < Channels; ++k)
        grid->addWidget(header(columns[k]), 0, k + 1, Qt::AlignHCenter);
    for (int r = 0; r < rows.size(); ++r)
        grid->addWidget(new QLabel(rows[r]), r + 1, 0);
    for (int k = 0; k < Channels; ++k) {
        ChkUpEn[k] = element(new QCheckBox, "ChkUpEn", k);
        ChkUpEn[k]->setToolTip(QStringLiteral("Dead man enable"));
        ChkUpJoyNeutral[k] = element(new QCheckBox, "ChkUpJoyNeutral", k);
        ChkNeutralNeed[k] = element(new QCheckBox, "ChkNeutralNeed", k);
        grid->addWidget(ChkUpEn[k], 1, k + 1, Qt::AlignHCenter);
        grid->addWidget(ChkUpJoyNeutral[k], 2, k + 1, Qt::AlignHCenter);
        grid->addWidget(ChkNeutralNeed[k], 3, k + 1, Qt::AlignHCenter);
    }
    return Frame5;
}
