#include "frmwait.h"

#include "flatprogressbar.h"

#include <QVBoxLayout>

FrmWait::FrmWait(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmWait"));
    setWindowTitle(QStringLiteral("Reading..."));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_bar = new FlatProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    // The main window disables itself, and with it this window, while a
    // transfer runs; the bar is what the user watches then, so it keeps the
    // colours of an enabled bar.
    QPalette colours = m_bar->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Highlight})
        colours.setColor(QPalette::Disabled, role, colours.color(QPalette::Active, role));
    m_bar->setPalette(colours);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    setFixedSize(320, 60);
}

void FrmWait::DrawWaitBar(int16_t &ProgressValue, const QString &Msg_Text)
{
    if (!isVisible())
        show();
    setWindowTitle(Msg_Text);
    m_bar->setValue(qBound<int>(0, ProgressValue, 100));
    if (m_pump)
        m_pump();
    if (ProgressValue >= 100)
        closeWait();
}

void FrmWait::closeWait()
{
    if (isVisible())
        hide();
}
