#include "mainstatusbar.h"

#include "flatprogressbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>

namespace {
struct PanelSpec
{
    const char *key;
    const char *text;
    const char *toolTip;
    int width;
};

// Panel 1 carries a picture before its text; panel 4 is covered by the progress bar.
const PanelSpec Specs[MainStatusBar::PanelCount] = {
    {"", "Not Connectd", "Connection Status", 112},
    {"PStatus", "", "", 52},
    {"", "", "KRV Version", 76},
    {"", "", "", 170},
    {"", "", "Connection Operation Progress", 44},
    {"", "NA", "TBX System Type", 56},
    {"", "----", "Electronic Software Release", 68},
    {"CommPort", "COM 1", "COM Port Selected", 62},
    {"BitRate", "9600", "COM Port Baud Rate", 54},
};

constexpr int twips(int t) { return t / 15; }
constexpr int ProgressTextPanel = 5;
} // namespace

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    for (int i = 1; i <= PanelCount; ++i) {
        const PanelSpec &spec = Specs[i - 1];
        auto *label = new QLabel(QString::fromLatin1(spec.text));
        label->setObjectName(QStringLiteral("StatusBar_%1").arg(i));
        label->setToolTip(QString::fromLatin1(spec.toolTip));
        label->setProperty("key", QString::fromLatin1(spec.key));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(spec.width);
        m_panels[i].text = label;
        if (i == 1) {
            // picture and text in one sunken panel
            auto *box = new QFrame;
            box->setObjectName(QStringLiteral("StatusBar_1_box"));
            box->setFrameShape(QFrame::Panel);
            box->setFrameShadow(QFrame::Sunken);
            box->setToolTip(label->toolTip());
            box->setMinimumWidth(spec.width);
            auto *row = new QHBoxLayout(box);
            row->setContentsMargins(3, 0, 3, 0);
            row->setSpacing(4);
            m_panels[i].picture = new QLabel(box);
            m_panels[i].picture->setObjectName(QStringLiteral("StatusBar_1_picture"));
            m_panels[i].picture->setFixedSize(16, 16);
            label->setFrameShape(QFrame::NoFrame);
            label->setParent(box);
            label->setMinimumWidth(0);
            row->addWidget(m_panels[i].picture);
            row->addWidget(label, 1);
            addPermanentWidget(box);
        } else {
            addPermanentWidget(label, i == 4 ? 1 : 0);
        }
        if (i == ProgressTextPanel) {
            // The percentage changes with every word a transfer or a monitor
            // cycle moves. A label of fixed size never asks its parents for a
            // new layout; any other would lay out the whole main window each
            // time. Painting its own background, it is redrawn alone.
            label->setFixedSize(spec.width, label->sizeHint().height());
            label->setAutoFillBackground(true);
        }
    }
    m_progress = new FlatProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    // The panel moves when the status bar lays itself out: follow it.
    m_panels[4].text->installEventFilter(this);
}

void MainStatusBar::setStateIcons(const QIcon &green, const QIcon &white, const QIcon &red)
{
    m_icons[int(StateIcon::Green)] = green;
    m_icons[int(StateIcon::White)] = white;
    m_icons[int(StateIcon::Red)] = red;
    for (Panel &panel : m_panels)
        if (panel.picture)
            showIcon(panel);
}

void MainStatusBar::showIcon(const Panel &panel)
{
    panel.picture->setPixmap(panel.icon == StateIcon::None ? QPixmap() : m_icons[int(panel.icon)].pixmap(16, 16));
}

QLabel *MainStatusBar::panel(int position) const
{
    if (position < 1 || position > PanelCount)
        return nullptr;
    return m_panels[position].text;
}

void MainStatusBar::setPanelText(int position, const QString &text)
{
    if (QLabel *label = panel(position))
        label->setText(text);
}

QString MainStatusBar::panelText(int position) const
{
    const QLabel *label = panel(position);
    return label ? label->text() : QString();
}

void MainStatusBar::setPanelIcon(int position, StateIcon icon)
{
    if (position < 1 || position > PanelCount || !m_panels[position].picture)
        return;
    // every draw tick and every transfer step sets the picture again
    if (m_panels[position].icon == icon)
        return;
    m_panels[position].icon = icon;
    showIcon(m_panels[position]);
}

StateIcon MainStatusBar::panelIcon(int position) const
{
    if (position < 1 || position > PanelCount)
        return StateIcon::None;
    return m_panels[position].icon;
}

void MainStatusBar::setValue(int value)
{
    m_progress->setValue(qBound(0, value, 100));
}

int MainStatusBar::value() const
{
    return m_progress->value();
}

void MainStatusBar::AddProgBar()
{
    // Flat and borderless, in front of panel 4 and inset into it.
    const QRect cell = m_panels[4].text->geometry();
    m_progress->setGeometry(cell.left() + twips(25), twips(45), qMax(0, cell.width() - twips(45)),
                            qMax(0, height() - twips(75)));
    m_progress->raise();
}

void MainStatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    AddProgBar();
}

bool MainStatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panels[4].text && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        AddProgBar();
    return QStatusBar::eventFilter(watched, event);
}
