#include "frmabout.h"

#include "appinfo.h"
#include "respaths.h"
#include "sysinfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
QLabel *namedLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}
} // namespace

FrmAbout::FrmAbout(const SysInfo &sysInfo, QWidget *parent) : QDialog(parent), m_sysInfo(sysInfo)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(false);
    setWindowTitle(AppInfo::title() + QStringLiteral("-[Info]"));

    auto *icon = namedLabel(QStringLiteral("picIcon"), QString(), this);
    icon->setPixmap(QPixmap(ResPaths::res(QStringLiteral("bmp/Init.jpg")))
                        .scaled(96, 60, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto *title = namedLabel(QStringLiteral("lblTitle"), AppInfo::title(), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto *version = namedLabel(QStringLiteral("lblVersion"), QStringLiteral("Version : ") + AppInfo::versionText(), this);
    auto *factory = namedLabel(QStringLiteral("LblFactory"), AppInfo::makerAddress(), this);
    auto *description = namedLabel(QStringLiteral("lblDescription"), AppInfo::makerContact(), this);
    factory->setWordWrap(true);
    description->setWordWrap(true);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("CmdOk"));
    ok->setDefault(true);
    auto *sys = new QPushButton(QStringLiteral("&System Info..."), this);
    sys->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sys, &QPushButton::clicked, this, [this] { m_sysInfo.StartSysInfo(); });

    auto *grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(version, 1, 1, 1, 2);
    grid->addWidget(factory, 2, 0, 1, 3);
    grid->addWidget(description, 3, 0, 1, 3);
    grid->addWidget(ok, 4, 1, Qt::AlignRight);
    grid->addWidget(sys, 4, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(460);
}
