#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class ProgressBarView;
class QTimer;
class Session;
class StatusBarView;
class TextBoxView;
class WindowView;

// Keeps the main window's status bar, toolbar and menus and the pages'
// parameter-status field in step with the link and the transfers; the
// program's exit routine.
class Draw
{
public:
    explicit Draw(Session &session);
    ~Draw();

    // Colours as 0x00BBGGRR.
    static constexpr uint32_t ButtonFace = 0x8000000F;
    static constexpr uint32_t LightYellow = 0x0080FFFF;
    static constexpr uint32_t Green = 0x0000C000;

    // Exits refused more often than this end the program unconditionally.
    static constexpr int MaxExitAttempts = 8;
    // A refused exit is tried again this soon (besides every draw tick): the
    // poll that held it up ends with the read in flight, and the program is
    // gone within half a second even when a page never lets go.
    static constexpr int ExitRetryMs = 50;

    void ShowParamStatus(TextBoxView &box) const;
    static void SelectAllText(TextBoxView &box);
    static void CenterWindow(WindowView &window, const WindowView &reference);

    void ResetCommands();
    void UpdateCommandState();
    void UpdateStatusBar(StatusBarView &statusBar, ProgressBarView &progressBar, const QString &text);
    // The same on the main window's own status bar (nothing without a main window).
    void UpdateStatusBar(const QString &text);

    // 1 when the exit is refused (for now, and then tried again), else 0.
    int ExitProgram();
    int exitAttempts() const { return m_exitAttempts; }

    // Panel texts: "v001.23" or "----"; "100W" .. "400W" or "---".
    static QString versionText(int32_t displayValue);
    static QString systemSizeText(int32_t displayValue);

private:
    // The hardware commands of the not-connected and busy states.
    void applyIdleCommands(bool busy);
    void applyHelpCommands();

    void retryExitSoon();

    Session &m_session;
    int m_exitAttempts = 0;
    std::unique_ptr<QTimer> m_exitRetry;
};
