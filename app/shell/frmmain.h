#pragma once

#include "keystore.h"
#include "lineeditbox.h"
#include "mainwindowview.h"
#include "manualhelp.h"
#include "mscomm.h"
#include "pagecontext.h"
#include "pagefactory.h"
#include "pageset.h"
#include "sectioncolours.h"
#include "shellservices.h"
#include "sysinfo.h"
#include "waitwindow.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QVector>
#include <memory>

class FrmAbout;
class FrmComment;
class FrmDebug;
class FrmHistory;
class FrmMonitor;
class FrmPwd;
class FrmSectionColour;
class FrmWait;
class MainCommands;
class MainDrawing;
class MainStatusBar;
class PageBase;
class QAction;
class QLineEdit;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;
class Session;
class TrendWindow;

// The program's single top-level window: menus, toolbar, page tabs, state
// boxes, status bar, and the six pages in front of one another. It owns the
// window-wide state the pages read; its commands and its draw timer live in
// MainCommands and MainDrawing.
class FrmMain : public QMainWindow, public MainWindowView, public PageSet, public WaitWindow
{
    Q_OBJECT
public:
    static constexpr int ToolbarPositions = 19;
    static constexpr int ComPortItems = 15;

    FrmMain(Session &session, ShellServices services, QWidget *parent = nullptr);
    ~FrmMain() override;

    // The load: state icons, name tables, catalogue, tabs, pages, counts, draw timer.
    void Load();

    // Window-wide state.
    bool LoggedIn = false;
    QString ComBaudText = QStringLiteral("9600");
    QStringList SystemTypeNames;
    QStringList ControlUnitNames;

    Session &session() { return m_session; }
    const ShellServices &services() const { return m_services; }
    MainCommands &commands() { return *m_commands; }
    MainDrawing &drawing() { return *m_drawing; }

    // Pages.
    QList<PageWindow *> openPages() const override;
    PageWindow *currentPage() const override;
    PageBase *currentPageWindow() const { return m_current; }
    PageBase *pageByTag(const QString &tag) const;
    FrmMonitor *monitorPage() const;
    FrmDebug *debugPage() const;
    FrmComment *commentPage() const;
    // Selects the tab (1-based); the page with its key comes to the front.
    void selectTab(int index);
    int currentTab() const;

    // Widgets the commands and the drawing address.
    QTabBar *TabMain() const { return m_tabMain; }
    QLineEdit *TxtConnect() const { return m_txtConnect; }
    QLineEdit *txtFileTosave() const { return m_txtFileTosave; }
    QLineEdit *TxtPar() const { return m_txtPar; }
    MainStatusBar *mainStatusBar() const { return m_statusBar; }
    QTimer *TmrDraw() const { return m_tmrDraw; }
    QAction *menuItem(const QString &name) const { return m_menuItems.value(name); }
    QAction *toolButton(int position) const;
    QAction *comPortItem(int index) const { return m_comItems.value(index); }
    QAction *baudItem(int index) const { return m_baudItems.value(index); }
    FrmWait *waitWindow() const { return m_wait; }
    FrmAbout *aboutWindow();
    FrmPwd *passwordDialog();
    FrmSectionColour *paletteWindow();
    // View > Service History: made on first use, not modal.
    FrmHistory *historyWindow();
    // The trend of the monitor's recording, made on first use; null without a monitor page.
    TrendWindow *trendWindow();
    void showTrend();
    SectionColours &sectionColours() { return m_sectionColours; }
    const ManualHelp &help() const { return m_help; }
    const WritablePaths &writablePaths() const { return m_paths; }
    const SysInfo &sysInfo() const { return m_sysInfo; }
    bool programEnded() const { return m_ended; }
    bool windowsUnloaded() const { return m_unloading; }
    MsComm &serialPort() { return m_msComm; }

    // MainWindowView
    StatusBarView &statusBar() override;
    ProgressBarView &progressBar() override;
    void setButtonEnabled(int position, bool enabled) override;
    void setButtonPressed(int position, bool pressed) override;
    void setButtonToolTip(int position, const QString &toolTip) override;
    void setMenuEnabled(const QString &name, bool enabled) override;
    void setMenuCaption(const QString &name, const QString &caption) override;
    void unloadAllWindows() override;
    void endProgram() override;

    // WaitWindow
    void DrawWaitBar(int16_t progressValue, const QString &msgText = QString()) override;
    void closeWaitWindow();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildCentre();
    QAction *addMenuItem(class QMenu *menu, const QString &name, const QString &caption);
    QLineEdit *indicatorBox(const QString &name, const QString &toolTip);
    void addTabs();
    void loadPages();
    void onTabChanged(int index);
    void closeAll();

    Session &m_session;
    ShellServices m_services;
    WritablePaths m_paths;
    PageFactory m_standardPages;
    ManualHelp m_help;
    KeyStore m_keys;
    SysInfo m_sysInfo;
    MsComm m_msComm;

    QHash<QString, QAction *> m_menuItems;
    QVector<QAction *> m_buttons;      // 1-based, separators included
    QVector<QAction *> m_comItems;
    QVector<QAction *> m_baudItems;
    QToolBar *m_toolBar = nullptr;
    QTabBar *m_tabMain = nullptr;
    QLineEdit *m_txtConnect = nullptr;
    QLineEdit *m_txtFileTosave = nullptr;
    QLineEdit *m_txtPar = nullptr;
    std::unique_ptr<LineEditBox> m_connectBox;
    std::unique_ptr<LineEditBox> m_parBox;
    MainStatusBar *m_statusBar = nullptr;
    QStackedWidget *m_pageArea = nullptr;
    QTimer *m_tmrDraw = nullptr;
    FrmWait *m_wait = nullptr;
    FrmAbout *m_about = nullptr;
    FrmPwd *m_pwd = nullptr;
    FrmSectionColour *m_palette = nullptr;
    FrmHistory *m_history = nullptr;
    TrendWindow *m_trend = nullptr;
    SectionColours m_sectionColours;

    PageContext m_pageContext;
    QList<PageBase *> m_pages;          // in load order
    PageBase *m_current = nullptr;
    QIcon m_stateIcons[3];

    std::unique_ptr<MainCommands> m_commands;
    std::unique_ptr<MainDrawing> m_drawing;
    bool m_unloading = false;
    bool m_ended = false;
};
