#include "frmmagsel.h"

#include "controlarray.h"
#include "cvardatas.h"
#include "helpshortcut.h"
#include "numericfield.h"
#include "session.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

FrmMagSel::FrmMagSel(Session &session, const QPixmap &magnet, const ManualHelp *help, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("FrmMagSel"));
    setWindowTitle(QStringLiteral("Dither Settings"));

    m_freq = makePair(QStringLiteral("Dither Frequency [Hz]"), QStringLiteral("LblDitherFreq"),
                      QStringLiteral("TxtDitherFreq"), QStringLiteral("hscDitherFreq"), KRV_DITHER_FREQ);
    m_amp = makePair(QStringLiteral("Dither Amplitude [mA]"), QStringLiteral("Label1"), QStringLiteral("TxtDitherAmp"),
                     QStringLiteral("hscDitherAmp"), KRV_DITHER_AMP);
    m_ampPerc = makePair(QStringLiteral("Dither Amplitude [%]"), QStringLiteral("Label2"),
                         QStringLiteral("TxtDitherAmpPerc"), QStringLiteral("hscDitherAmpPerc"), KRV_DITHER_AMP_PERC);

    auto *picture = new QLabel;
    picture->setObjectName(ControlArray::name(QStringLiteral("ImgMag"), 0));
    picture->setPixmap(magnet);
    picture->setAlignment(Qt::AlignCenter);

    auto *fields = new QGridLayout;
    int row = 0;
    for (const Pair *pair : {&m_freq, &m_amp, &m_ampPerc}) {
        fields->addWidget(pair->label, row, 0, 1, 2);
        fields->addWidget(pair->text, row + 1, 0);
        fields->addWidget(pair->bar, row + 1, 1);
        row += 2;
    }
    fields->setColumnMinimumWidth(1, 160);
    // The percentage pair exists but is not offered.
    for (QWidget *w : {static_cast<QWidget *>(m_ampPerc.label), static_cast<QWidget *>(m_ampPerc.text),
                       static_cast<QWidget *>(m_ampPerc.bar)})
        w->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(fields);

    CmdOk = new QPushButton(QStringLiteral("OK"));
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setAutoDefault(false);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"));
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setAutoDefault(false);
    connect(CmdOk, &QPushButton::clicked, this, &FrmMagSel::cmdOk);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmMagSel::cmdCancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    buildMagnetPieces();

    HelpShortcut::install(this, help, HelpPage);
}

FrmMagSel::~FrmMagSel() = default;

FrmMagSel::Pair FrmMagSel::makePair(const QString &caption, const QString &labelName, const QString &textName,
                                    const QString &barName, KrvId id)
{
    Pair pair;
    pair.label = new QLabel(caption);
    pair.label->setObjectName(labelName);
    pair.text = new QLineEdit;
    pair.text->setObjectName(textName);
    pair.text->setMaximumWidth(70);
    pair.text->setAlignment(Qt::AlignRight);
    pair.bar = new QScrollBar(Qt::Horizontal);
    pair.bar->setObjectName(barName);
    pair.field = new NumericField(pair.text, pair.bar, [this, id] { return record(id); }, m_session.messages, this);
    return pair;
}

void FrmMagSel::buildMagnetPieces()
{
    // Magnet-type pictures and texts: present, hidden, without behaviour.
    for (int i = 0; i < 4; ++i) {
        for (const char *array : {"PicMag", "LblMag", "FocusMag", "lblMagDesc"}) {
            auto *piece = new QLabel(this);
            piece->setObjectName(ControlArray::name(QLatin1String(array), i));
            piece->hide();
        }
        if (i > 0) {
            auto *picture = new QLabel(this);
            picture->setObjectName(ControlArray::name(QStringLiteral("ImgMag"), i));
            picture->hide();
        }
    }
}

CVarDataS *FrmMagSel::record(KrvId id) const
{
    return m_session.catalogue.data(id);
}

void FrmMagSel::open()
{
    show();
    raise();
    activateWindow();
}

void FrmMagSel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Activate();
}

void FrmMagSel::Activate()
{
    if (const CVarDataS *freq = record(KRV_DITHER_FREQ))
        SavedDitherFreq = freq->KrvDownloadValueE2;
    if (const CVarDataS *amp = record(KRV_DITHER_AMP))
        SavedDitherAmp = amp->KrvDownloadValueE2;
    loadPair(m_freq, KRV_DITHER_FREQ);
    loadPair(m_amp, KRV_DITHER_AMP);
}

void FrmMagSel::loadPair(const Pair &pair, KrvId id)
{
    const CVarDataS *rec = record(id);
    if (!rec)
        return;
    pair.field->load(rec->KrvDownloadValueE2);
    pair.text->setToolTip(rec->TooltipDecription);
}

void FrmMagSel::cmdOk()
{
    m_session.catalogue.ConfigSaved = false;
    drawDither();
    hide();
}

void FrmMagSel::cmdCancel()
{
    if (CVarDataS *amp = record(KRV_DITHER_AMP))
        amp->KrvDownloadValueE2 = SavedDitherAmp;
    if (CVarDataS *freq = record(KRV_DITHER_FREQ))
        freq->KrvDownloadValueE2 = SavedDitherFreq;
    drawDither();
    hide();
}

void FrmMagSel::reject()
{
    hide();
}

void FrmMagSel::drawDither()
{
    if (m_drawDither)
        m_drawDither();
}
