#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class SysInfo;

// The about window: program title, version, maker and a way to the
// system-information tool.
class FrmAbout : public QDialog
{
    Q_OBJECT
public:
    FrmAbout(const SysInfo &sysInfo, QWidget *parent = nullptr);

private:
    const SysInfo &m_sysInfo;
};
