#include "frminit.h"

#include "appinfo.h"
#include "respaths.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {
// A frame shape that gives a picture its place and size.
QFrame *shape(const QString &name, const QRect &rect, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(rect);
    return frame;
}

QLabel *pictureOn(const QString &name, const QFrame *place, QWidget *parent)
{
    auto *picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setGeometry(place->geometry().adjusted(1, 1, -1, -1));
    picture->setScaledContents(true);
    picture->setAlignment(Qt::AlignCenter);
    return picture;
}
} // namespace

FrmInit::FrmInit(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmInit"));
    setFixedSize(500, 386);
    setAutoFillBackground(true);

    // Step 1: the picture is loaded when the splash is created.
    m_photo = QPixmap(ResPaths::res(QStringLiteral("bmp/Init.jpg")));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setGeometry(rect());

    const QFrame *shpPhoto = shape(QStringLiteral("shpPhoto"), QRect(10, 10, 480, 300), this);
    const QFrame *shpLogo = shape(QStringLiteral("shpLogo"), QRect(10, 318, 236, 30), this);
    const QFrame *shpApplication = shape(QStringLiteral("shpApplication"), QRect(254, 318, 236, 30), this);
    m_imgPhoto = pictureOn(QStringLiteral("imgPhoto"), shpPhoto, this);
    m_imgPhoto->setToolTip(QStringLiteral("Typical valve configuration"));
    m_imgLogo = pictureOn(QStringLiteral("imgLogo"), shpLogo, this);
    m_imgLogo->setScaledContents(false);
    m_imgLogo->setText(AppInfo::makerName());
    m_imgApplication = pictureOn(QStringLiteral("imgApplication"), shpApplication, this);
    m_imgApplication->setScaledContents(false);
    m_imgApplication->setText(AppInfo::title() + QStringLiteral("  ") + AppInfo::versionText());

    m_prgInit = new FlatProgressBar(this);
    m_prgInit->setObjectName(QStringLiteral("PrgInit"));
    m_prgInit->setGeometry(10, 356, 480, 20);
    m_prgInit->setTextVisible(false);

    m_tmrInit = new QTimer(this);
    m_tmrInit->setObjectName(QStringLiteral("TmrInit"));
    m_tmrInit->setInterval(2);
    m_tmrInit->setTimerType(Qt::PreciseTimer);
    connect(m_tmrInit, &QTimer::timeout, this, &FrmInit::tick);
}

void FrmInit::InitFormReset()
{
    m_prgInit->setMaximum(100);
    m_prgInit->setMinimum(0);
    m_prgInit->setValue(0);
}

void FrmInit::tick()
{
    if (m_prgInit->value() < m_prgInit->maximum())
        m_prgInit->setValue(m_prgInit->value() + 1);
    else
        m_prgInit->setValue(m_prgInit->maximum());
}

void FrmInit::run(const std::function<void()> &loadMain, const std::function<void()> &resetFlags)
{
    resetFlags();
    m_imgPhoto->setPixmap(m_photo);
    show();
    repaint();

    m_tmrInit->start();
    InitFormReset();
    QCoreApplication::processEvents();

    loadMain();
    resetFlags();

    while (m_prgInit->value() < m_prgInit->maximum())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    m_tmrInit->stop();
    close();
}
