#include "frmdiagnostic.h"

#include "activeerrorlist.h"
#include "diagnosticerror.h"
#include "pagepoller.h"
#include "session.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QHeaderView>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The error words of rows 0 to 6, in row order.
const KrvId RowWords[FrmDiagnostic::BoundRows] = {KRV_ERROR_CODE,  KRV_VBB_ERROR,   KRV_HSD_ERROR,  KRV_ERROR_SEC_1,
                                                  KRV_ERROR_SEC_2, KRV_ERROR_SEC_3, KRV_ERROR_SEC_4};

struct OptionGroupSpec
{
    const char *frame;
    const char *title;
    const char *name;
    const char *caption;
};
const OptionGroupSpec OptionGroups[] = {
    {"FrameJoySel", "Joystick", "optSelectjoy", "Joystick %1"},
    {"FrameCurSel", "Current", "optSelectCur", "Current %1"},
    {"FrameSptSel", "Setpoint", "optSelectSP", "Setpoint %1"},
};

const QString DiagnosticText = QStringLiteral("Diagnostic...");

// The page area of the main window, and the page's margin.
constexpr int PageWidth = 764;
constexpr int Margin = 4;
constexpr int MinCaptionWidth = 24;

// The rows are laid out for a wider window than the page: a smaller, narrower
// type lets a row show all eight bits within the page's width.
void useSmallType(DiagnosticError *row)
{
    QFont small = row->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    small.setStretch(QFont::SemiCondensed);
    row->setFont(small);
}

QList<QLabel *> bitCaptions(const DiagnosticError *row)
{
    return row->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^lblErrorBit_\\d+$")));
}

// The width a row of `rowWidth` leaves to its bit captions.
int captionRoom(const DiagnosticError *row, int rowWidth)
{
    int captions = 0;
    for (const QLabel *caption : bitCaptions(row))
        captions += caption->width();
    return rowWidth - (row->minimumSizeHint().width() - captions);
}

// Shares the room among the row's bit captions: each gets at least its
// longest word (the captions wrap over up to three lines), the rest is shared
// evenly.
void fitCaptions(DiagnosticError *row, int room)
{
    const QList<QLabel *> captions = bitCaptions(row);
    if (captions.isEmpty())
        return;
    QList<int> needs;
    int needed = 0;
    for (const QLabel *caption : captions) {
        const QFontMetrics metrics(caption->font());
        int need = MinCaptionWidth;
        for (const QString &word : caption->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            need = std::max(need, metrics.horizontalAdvance(word) + 2);
        needs << need;
        needed += need;
    }
    const int spare = std::max(0, room - needed) / int(captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        captions[i]->setFixedWidth(needs[i] + spare);
        captions[i]->setMinimumHeight(3 * captions[i]->fontMetrics().height());
    }
}

// Unticks a radio button even though it belongs to an exclusive set.
void deselect(QRadioButton *button)
{
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

} // namespace

FrmDiagnostic::FrmDiagnostic(const PageContext &context, QWidget *parent, const QString &listPath)
    : PageBase(QStringLiteral("frmDiagnostic"), QStringLiteral("Diagnostic"), 0, 0, 29, context, parent),
      m_list(session().messages),
      m_poller(new PagePoller(session(), ConnectionState::DiagnosticPolling, QStringLiteral("TimerDiagnostic"), this))
{
    m_poller->setCycle([this] { return ReadDiagnosticVar(); });
    connect(m_poller, &PagePoller::pollFailed, this, &FrmDiagnostic::showStale);

    setMinimumSize(PageWidth, 452);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    buildRows(layout);

    auto *bottom = new QHBoxLayout;
    auto *messages = new QVBoxLayout;
    messages->setSpacing(0);
    m_tabStrip = new QTabBar(this);
    m_tabStrip->setObjectName(QStringLiteral("TabStrip1"));
    m_tabStrip->addTab(QStringLiteral("Message"));
    m_tabStrip->setExpanding(false);
    messages->addWidget(m_tabStrip);
    m_listView = new QTreeWidget(this);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setHeaderLabels({QStringLiteral("VarKey"), QStringLiteral("Error ID"), QStringLiteral("Description")});
    m_listView->setRootIsDecorated(false);
    m_listView->setColumnWidth(0, 150);
    m_listView->setColumnWidth(1, 70);
    m_listView->header()->setStretchLastSection(true);
    messages->addWidget(m_listView);
    bottom->addLayout(messages, 1);
    bottom->addWidget(buildOptions());
    layout->addLayout(bottom);
    layout->setStretch(0, 3);
    layout->setStretch(1, 2);

    m_active = std::make_unique<ActiveErrorList>(m_listView, m_list);
    for (int i = 0; i < RowCount; ++i)
        connect(m_rows[i], &DiagnosticError::UpdateErrorMessage, this,
                [this, i](qint16 &value, qint32 &changed) { m_active->rowChanged(i, value, changed); });

    // page load
    m_list.Load(listPath);
    m_rows[5]->setEnable(true);
    m_rows[6]->setEnable(true);
    RefreshObject();
    m_poller->stop();
}

FrmDiagnostic::~FrmDiagnostic() = default;

void FrmDiagnostic::buildRows(QVBoxLayout *layout)
{
    auto *area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("rowArea"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto *rows = new QWidget(area);
    auto *column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    const int rowWidth = PageWidth - 2 * Margin - area->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < RowCount; ++i) {
        m_rows[i] = new DiagnosticError(rows);
        m_rows[i]->setObjectName(QStringLiteral("DiagnosticError_%1").arg(i));
        useSmallType(m_rows[i]);
        m_captionRoom = captionRoom(m_rows[i], rowWidth);
        column->addWidget(m_rows[i]);
    }
    column->addStretch(1);
    area->setWidget(rows);
    layout->addWidget(area);
}

QWidget *FrmDiagnostic::buildOptions()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    for (int g = 0; g < 3; ++g) {
        auto *frame = new QGroupBox(QString::fromLatin1(OptionGroups[g].title), box);
        frame->setObjectName(QString::fromLatin1(OptionGroups[g].frame));
        auto *items = new QVBoxLayout(frame);
        items->setSpacing(2);
        for (int i = 0; i < OptionCount; ++i) {
            auto *button = new QRadioButton(QString::fromLatin1(OptionGroups[g].caption).arg(i + 1), frame);
            button->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(OptionGroups[g].name)).arg(i));
            items->addWidget(button);
            m_options[g][i] = button;
        }
        row->addWidget(frame);
    }
    return box;
}

QRadioButton *FrmDiagnostic::option(OptionGroup group, int index) const
{
    return m_options[static_cast<size_t>(group)][static_cast<size_t>(index)];
}

QTimer *FrmDiagnostic::TimerDiagnostic() const
{
    return m_poller->timer();
}

void FrmDiagnostic::RefreshObject()
{
    for (int i = 0; i < BoundRows; ++i)
        m_rows[i]->setCarica(session().catalogue.data(RowWords[i]));
    for (int i = BoundRows; i < RowCount; ++i)
        m_rows[i]->hide();
    for (int i = 0; i < std::min(m_list.rowCount(), RowCount); ++i) {
        for (int bit = 0; bit < DiagnosticList::BitSlots; ++bit)
            m_rows[i]->SetDecripion(static_cast<qint16>(bit), m_list.code(i, bit));
        m_rows[i]->setMsgID(i);
    }
    for (DiagnosticError *r : m_rows)
        fitCaptions(r, m_captionRoom);
    DrawOptSelct();
}

void FrmDiagnostic::DrawOptSelct()
{
    const CVarDataS *sections = session().catalogue.data(KRV_NUM_PROP_REG);
    const int last = (sections ? sections->KrvDisplayValueE2 : 0) - 1;
    for (auto &group : m_options) {
        for (int i = 0; i < OptionCount; ++i) {
            group[i]->setEnabled(i <= last);
            if (i > last && group[i]->isChecked())
                deselect(group[i]);
        }
        if (!group[0]->isChecked() && !group[1]->isChecked() && !group[2]->isChecked())
            group[0]->setChecked(true);
    }
}

void FrmDiagnostic::DrawBar(StatusBarView &statusBar, ProgressBarView &, const QString &text)
{
    setLoginCommands(false, false);
    drawConnectionBar(statusBar, text, {});
    m_poller->showLinkLost(context().txtConnect);
}

void FrmDiagnostic::showStale()
{
    for (DiagnosticError *r : m_rows)
        r->MarkStale();
    m_active->clear();
}

void FrmDiagnostic::DisableTimer()
{
    m_poller->stop();
}

bool FrmDiagnostic::StatusTimerForm() const
{
    return m_poller->busy();
}

void FrmDiagnostic::Activate()
{
    m_poller->clearDeactivated();
    if (session().IsConnectObj.value() == ConnectionState::Connected)
        m_poller->start();
    else
        m_poller->stop();
    RefreshObject();
}

void FrmDiagnostic::Deactivate()
{
    m_poller->deactivate();
}

QString FrmDiagnostic::ReadDiagnosticVar()
{
    QList<DiagnosticError *> polled;
    for (DiagnosticError *r : m_rows)
        if (!r->isHidden() && r->Enable())
            polled << r;

    // a row whose word the list lacks has nothing to read
    Session &s = session();
    QList<int> steps;
    QList<int32_t> addresses;
    QList<DiagnosticError *> read;
    for (int i = 0; i < polled.size(); ++i) {
        if (CVarData *entry = s.catalogue.entry(polled[i]->VarID())) {
            steps << i + 1;
            addresses << entry->Data->Address;
            read << polled[i];
        }
    }
    return s.link.readWords(addresses, [&](int i, int32_t value) {
        s.link.setState(ConnectionState::DiagnosticPolling);
        s.StatusText = DiagnosticText;
        qint32 word = value & 0xFFFF; // the error bits, not a signed number
        read[i]->UpdateDisplay(word);
        m_poller->setProgress(steps[i], static_cast<int>(polled.size()));
        m_poller->refreshStatus();
        return m_poller->timerEnabled();
    });
}
