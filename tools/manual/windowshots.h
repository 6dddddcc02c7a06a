#pragma once

#include "quietservices.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>

class FrmMain;
class QWidget;
class Session;
struct FakeController;
class FakeDeviceLinkFactory;

// Pictures of the program's windows for the manual, grabbed offscreen from
// the real main window, pages and dialogs, connected to an in-memory
// controller that holds a plausible machine: four sections, a joystick
// moved, two outputs on, a supply error raised.
class WindowShots
{
public:
    WindowShots();
    ~WindowShots();

    // Builds the windows, drives them and grabs every picture; false with
    // error() set when a window cannot be brought to the state shown.
    bool grabAll();

    const QHash<QString, QImage> &images() const { return m_images; }
    QString error() const { return m_error; }
    // Message boxes the program showed while the pictures were taken.
    QStringList messages() const { return m_messages.shown; }

private:
    void seedController();
    bool connect();
    // cropToContent: only the part of the widget its children cover, with a small margin.
    void shoot(const QString &name, QWidget *widget, bool cropToContent = false);
    void showPage(int tab, int settleMs = 0);
    void shootDialogs();
    void shootPages();
    // The preview before a write and the compare window, for two edited values.
    void shootComparison();
    // The service history window over a few writes recorded in a scratch file.
    void shootHistory();
    void shootTrend();

    QuietMessages m_messages;
    QuietDialogs m_dialogs;
    QuietViewer m_viewer;
    QuietLauncher m_launcher;
    std::unique_ptr<FakeDeviceLinkFactory> m_links;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<FrmMain> m_main;
    QHash<QString, QImage> m_images;
    QString m_error;
};
