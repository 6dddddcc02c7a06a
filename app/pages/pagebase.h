#pragma once

#include "pagecontext.h"
#include "pagewindow.h"

#include <QWidget>

// A page window of the main window: the page interface, F1 help at the
// page's manual page, and the pieces every page's DrawBar is made of.
class PageBase : public QWidget, public PageWindow
{
    Q_OBJECT
public:
    PageBase(const QString &name, const QString &caption, int16_t readKey, int16_t writeKey, int helpPage,
             const PageContext &context, QWidget *parent = nullptr);

    QString Tag() const override { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    int16_t ReadKey() const override { return m_readKey; }
    int16_t WriteKey() const override { return m_writeKey; }
    QString CheckDataToWrite() override { return QString(); }
    void RefreshObject() override {}
    void DisableTimer() override {}
    bool StatusTimerForm() const override { return false; }

    int helpPage() const { return m_helpPage; }
    void showHelp() const;

    // Repaints the sections in the colours of the palette (pages that show them).
    virtual void RefreshColour() {}

    // The page comes to the front or leaves it.
    virtual void Activate() {}
    virtual void Deactivate() {}

protected:
    void keyPressEvent(QKeyEvent *event) override;

    const PageContext &context() const { return m_context; }
    Session &session() const { return *m_context.session; }
    MainWindowView &mainWindow() const { return *m_context.mainWindow; }
    bool loggedIn() const { return m_context.loggedIn && m_context.loggedIn(); }

    // Panel 1 picture and the connection box.
    void showConnected(StatusBarView &statusBar, const QString &text);
    void showNotConnected(StatusBarView &statusBar);
    void setLoginCommands(bool login, bool logout);
    // The command states of a connected page: which transfers it allows;
    // Connect reads "Disconnect", the port menus are locked.
    struct Allowed
    {
        bool readAll = false, writeAll = false, read = false, write = false, reset = false;
        bool loadSave = false;
    };
    void setConnectedCommands(const Allowed &allowed);
    // The common table: connected (1, 3, 4, 5) shows "Connected" and the
    // allowed commands, connecting (2) shows the text, not connected shows
    // "Not Connected" and clears the progress.
    void drawConnectionBar(StatusBarView &statusBar, const QString &text, const Allowed &allowed);

private:
    QString m_tag;
    int16_t m_readKey;
    int16_t m_writeKey;
    int m_helpPage;
    PageContext m_context;
};
