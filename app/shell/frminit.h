#pragma once

#include "flatprogressbar.h"

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// The splash window shown while the main window, the catalogue and the pages
// are created; its bar always runs to 100 before the main window shows.
class FrmInit : public QWidget
{
    Q_OBJECT
public:
    explicit FrmInit(QWidget *parent = nullptr);

    void InitFormReset();

    // Steps 2 to 7 of the start: show, run `loadMain` (the main window's
    // initialisation and load), run `resetFlags`, wait for the bar to reach
    // its maximum, close.
    void run(const std::function<void()> &loadMain, const std::function<void()> &resetFlags);

    QProgressBar *PrgInit() const { return m_prgInit; }
    QTimer *TmrInit() const { return m_tmrInit; }

private:
    void tick();

    FlatProgressBar *m_prgInit;
    QTimer *m_tmrInit;
    QLabel *m_imgPhoto;
    QLabel *m_imgLogo;
    QLabel *m_imgApplication;
    QPixmap m_photo;
};
