#pragma once

#include "krvid.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class CVarDataS;
class ManualHelp;
class NumericField;
class QLabel;
class QPixmap;
class QLineEdit;
class QPushButton;
class QScrollBar;
class Session;

// The dither settings: frequency and amplitude, one pair for every coil.
// Accepted numbers go straight into the download values; Cancel puts back
// what they were when the dialog was shown, OK keeps them.
class FrmMagSel : public QDialog
{
    Q_OBJECT
public:
    static constexpr int HelpPage = 18;

    // `magnet` is the solenoid picture the page shows on its dither buttons.
    FrmMagSel(Session &session, const QPixmap &magnet, const ManualHelp *help, QWidget *parent = nullptr);
    ~FrmMagSel() override;

    // The configuration page's dither captions, redrawn by OK and Cancel.
    void setDrawDither(std::function<void()> drawDither) { m_drawDither = std::move(drawDither); }

    // Shows the dialog modeless; a hidden dialog is filled anew.
    void open();

    // Download values at the last activation: what Cancel returns to.
    int32_t SavedDitherFreq = 0;
    int32_t SavedDitherAmp = 0;

public slots:
    // Closing the window by other means than OK or Cancel only hides it.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Pair
    {
        QLabel *label = nullptr;
        QLineEdit *text = nullptr;
        QScrollBar *bar = nullptr;
        NumericField *field = nullptr;
    };

    Pair makePair(const QString &caption, const QString &labelName, const QString &textName,
                  const QString &barName, KrvId id);
    void buildMagnetPieces();
    CVarDataS *record(KrvId id) const;
    void Activate();
    void loadPair(const Pair &pair, KrvId id);
    void cmdOk();
    void cmdCancel();
    void drawDither();

    Session &m_session;
    std::function<void()> m_drawDither;
    Pair m_freq;
    Pair m_amp;
    Pair m_ampPerc;
    QPushButton *CmdOk = nullptr;
    QPushButton *CmdCancel = nullptr;
};
