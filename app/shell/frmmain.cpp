#include "frmmain.h"

#include "appinfo.h"
#include "frmabout.h"
#include "frmcomment.h"
#include "frmdebug.h"
#include "frmhistory.h"
#include "frmmonitor.h"
#include "frmpwd.h"
#include "frmsectioncolour.h"
#include "frmwait.h"
#include "maincommands.h"
#include "maindrawing.h"
#include "mainstatusbar.h"
#include "pagebase.h"
#include "session.h"
#include "trendwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int twips(int t) { return t / 15; }
constexpr int WindowWidth = 11520;
constexpr int WindowHeight = 9335;

struct ButtonSpec
{
    int position;
    const char *key;
    const char *toolTip;
    const char *image;
};

const ButtonSpec Buttons[] = {
    {1, "Load Configuration", "Load From File", "Load"},
    {2, "Save Configuration", "Save To File", "Save"},
    {4, "Read All", "Read All From Electronic", "ReadAll"},
    {5, "Write All", "Write All To Electronic", "WriteAll"},
    {7, "Reset", "Reset Electronic", "Reset"},
    {9, "Read", "Read From Electronic", "read"},
    {10, "Write", "Write To Electronic", "Write"},
    {12, "Login", "Assistance Login", "Login"},
    {13, "Logout", "Assistance Logout", "Logout"},
    {15, "Help", "Help Topics", "Help"},
    {16, "Info", "Software Info", "Info"},
    {19, "Connect", "Connect", "Conncect"},
};

struct TabSpec
{
    const char *key;
    const char *caption;
    const char *toolTip;
};

const TabSpec Tabs[] = {
    {"A1", "Configure", "System Configuration Parameters"},
    {"A2", "Monitor", "On Line System Monitor"},
    {"A3", "Diagnostic", "On Line System Diagnostic"},
    {"A4", "Key", "Unlock Control Unit"},
    {"A5", "Debugger", "Electronic Debugger"},
    {"A6", "Info", "Additional Info"},
};

} // namespace

FrmMain::FrmMain(Session &session, ShellServices services, QWidget *parent)
    : QMainWindow(parent),
      m_session(session),
      m_services(std::move(services)),
      m_paths(m_services.programFolder, m_services.userFolders, m_services.writeTarget),
      m_help(m_services.viewer, m_services.messages, m_services.programFolder),
      m_keys(m_services.keyStorePath),
      m_sysInfo(m_keys, m_services.searchPath, m_services.launcher, m_services.messages)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppInfo::mainCaption());

    // Initialisation: the connection state is shared with the core, not connected.
    m_session.mainWindow = this;
    m_session.pages = this;
    m_session.waitWindow = this;
    m_session.rs232.setPortControl(&m_msComm);
    m_session.link.setState(ConnectionState::NotConnected);

    buildMenus();
    buildToolBar();
    buildCentre();
    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    m_wait = new FrmWait(this);
    m_wait->setPump([this] { m_session.link.pumpEvents(); });

    m_pageContext.session = &m_session;
    m_pageContext.mainWindow = this;
    m_pageContext.txtConnect = m_connectBox.get();
    m_pageContext.txtPar = m_parBox.get();
    m_pageContext.help = &m_help;
    m_pageContext.dialogs = m_services.dialogs;
    m_pageContext.colours = &m_sectionColours;
    m_pageContext.loggedIn = [this] { return LoggedIn; };

    m_commands = std::make_unique<MainCommands>(*this);
    m_drawing = std::make_unique<MainDrawing>(*this);

    m_tmrDraw = new QTimer(this);
    m_tmrDraw->setObjectName(QStringLiteral("TmrDraw"));
    m_tmrDraw->setInterval(500);
    connect(m_tmrDraw, &QTimer::timeout, this, [this] { m_drawing->tick(); });

    setFixedSize(twips(WindowWidth), twips(WindowHeight));
    m_statusBar->AddProgBar();
    m_tmrDraw->start();
    m_session.draw.ResetCommands();
    m_session.devLink.ComPort = 1;
    ComBaudText = QStringLiteral("9600");

    // Whenever the link drops, the monitor falls back to its idle drawing.
    connect(&m_session.IsConnectObj, &ConnectionState::assigned, this, [this](int16_t value) {
        if (value == ConnectionState::NotConnected)
            if (FrmMonitor *monitor = monitorPage())
                monitor->fireRedrawTriggers();
    });
}

FrmMain::~FrmMain()
{
    m_tmrDraw->stop();
    if (m_session.mainWindow == this)
        m_session.mainWindow = nullptr;
    if (m_session.pages == this)
        m_session.pages = nullptr;
    if (m_session.waitWindow == this)
        m_session.waitWindow = nullptr;
    m_session.commentPage = nullptr;
    m_session.rs232.setPortControl(nullptr);
}

void FrmMain::Load()
{
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    const QString icons = m_services.programFolder + QStringLiteral("/res/ico/");
    m_stateIcons[0] = QIcon(icons + QStringLiteral("Green 16.ico"));
    m_stateIcons[1] = QIcon(icons + QStringLiteral("White 16.ico"));
    m_stateIcons[2] = QIcon(icons + QStringLiteral("Red 16.ico"));
    m_statusBar->setStateIcons(m_stateIcons[0], m_stateIcons[1], m_stateIcons[2]);

    SystemTypeNames = {QStringLiteral("TBX 100 P"), QStringLiteral("TBX 200 P"), QStringLiteral("TBX 300 P"),
                       QStringLiteral("TBX 400 P"), QStringLiteral("TBX 100 F"), QStringLiteral("TBX 200 F"),
                       QStringLiteral("TBX 300 F"), QStringLiteral("TBX 400 F")};
    ControlUnitNames.clear();
    for (int i = 0; i < 8; ++i)
        ControlUnitNames << QStringLiteral("QEL400W");

    // The global initialisation: catalogue, tabs, pages, counts, draw timer.
    m_session.catalogue.LoadRamList(m_services.programFolder + QStringLiteral("/res/ini/Ramlist.ini"));
    addTabs();
    loadPages();
    if (FrmMonitor *monitor = monitorPage())
        connect(monitor, &FrmMonitor::trendRequested, this, &FrmMain::showTrend);
    m_session.e2Image.CountAllPageVars();
    m_tmrDraw->start();
}

void FrmMain::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addMenuItem(file, QStringLiteral("mnuFile_Load"), QStringLiteral("&Load Configuration"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addMenuItem(file, QStringLiteral("mnuFile_Save"), QStringLiteral("&Save Configuration"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addMenuItem(file, QStringLiteral("mnuFile_CompareFile"), QStringLiteral("Compare with &File..."));
    addMenuItem(file, QStringLiteral("mnuFile_CompareUnit"), QStringLiteral("Compare with Control &Unit..."));
    addMenuItem(file, QStringLiteral("mnuFile_Exit"), QStringLiteral("&Exit"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    addMenuItem(view, QStringLiteral("mnuView_Page"), QStringLiteral("&Show next Page"));
    connect(addMenuItem(view, QStringLiteral("mnuView_Trend"), QStringLiteral("&Trend...")), &QAction::triggered, this,
            &FrmMain::showTrend);
    connect(addMenuItem(view, QStringLiteral("mnuView_History"), QStringLiteral("Service &History...")),
            &QAction::triggered, this, [this] {
                historyWindow()->show();
                historyWindow()->raise();
            });

    QMenu *hw = menuBar()->addMenu(QStringLiteral("H&ardware"));
    hw->setObjectName(QStringLiteral("mnuHW"));
    addMenuItem(hw, QStringLiteral("mnuHW_Connect"), QStringLiteral("&Connect"));
    addMenuItem(hw, QStringLiteral("mnuHW_WriteAll"), QStringLiteral("Writ&e All"));
    addMenuItem(hw, QStringLiteral("mnuHW_ReadAll"), QStringLiteral("Rea&d All"));
    addMenuItem(hw, QStringLiteral("mnuHW_Write"), QStringLiteral("&Write"));
    addMenuItem(hw, QStringLiteral("mnuHw_Read"), QStringLiteral("&Read"));
    addMenuItem(hw, QStringLiteral("mnuHw_Reset"), QStringLiteral("Re&set"));

    QMenu *set = menuBar()->addMenu(QStringLiteral("&Set"));
    set->setObjectName(QStringLiteral("mnuSet"));
    QMenu *ports = set->addMenu(QStringLiteral("Set &Com Port"));
    ports->setObjectName(QStringLiteral("mnuSet_ComID"));
    m_menuItems.insert(ports->objectName(), ports->menuAction());
    for (int i = 0; i < ComPortItems; ++i) {
        QAction *item = ports->addAction(i == 0 ? QStringLiteral("None") : QStringLiteral("COM &%1").arg(i));
        item->setObjectName(QStringLiteral("mnuSet_Com_%1").arg(i));
        item->setCheckable(true);
        m_comItems << item;
    }
    QMenu *bauds = set->addMenu(QStringLiteral("Set Com  &Bauld Rate"));
    bauds->setObjectName(QStringLiteral("mnuSet_ComBauldID"));
    m_menuItems.insert(bauds->objectName(), bauds->menuAction());
    m_baudItems << nullptr;   // items count from 1
    QAction *baud = bauds->addAction(QStringLiteral("9600"));
    baud->setObjectName(QStringLiteral("mnuSet_ComBauld_1"));
    baud->setCheckable(true);
    baud->setChecked(true);
    m_baudItems << baud;
    addMenuItem(set, QStringLiteral("mnuSet_Palette"), QStringLiteral("&Palette"));
    addMenuItem(set, QStringLiteral("mnuSet_Login"), QStringLiteral("&Login"));
    addMenuItem(set, QStringLiteral("mnuSet_Logout"), QStringLiteral("Log&out"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addMenuItem(help, QStringLiteral("mnuHelp_Help"), QStringLiteral("&Help Topics"));
    addMenuItem(help, QStringLiteral("mnuHelp_Site"), AppInfo::makerName() + QStringLiteral(" Web Site"));
    addMenuItem(help, QStringLiteral("mnuHelp_Info"), QStringLiteral("&Software Info"));
}

QAction *FrmMain::addMenuItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(name);
    m_menuItems.insert(name, item);
    return item;
}

void FrmMain::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    m_buttons.fill(nullptr, ToolbarPositions + 1);
    const QString images = m_services.programFolder + QStringLiteral("/res/bmp/toolbar/");
    int next = 0;
    for (int position = 1; position <= ToolbarPositions; ++position) {
        QAction *button = nullptr;
        if (next < int(std::size(Buttons)) && Buttons[next].position == position) {
            const ButtonSpec &spec = Buttons[next++];
            button = m_toolBar->addAction(QIcon(images + QString::fromLatin1(spec.image) + QStringLiteral(".png")),
                                          QString::fromLatin1(spec.key));
            button->setToolTip(QString::fromLatin1(spec.toolTip));
            button->setProperty("key", QString::fromLatin1(spec.key));
        } else {
            button = m_toolBar->addSeparator();
        }
        button->setObjectName(QStringLiteral("tbToolBar_%1").arg(position));
        m_buttons[position] = button;
    }
    m_buttons[19]->setCheckable(true);
}

QLineEdit *FrmMain::indicatorBox(const QString &name, const QString &toolTip)
{
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setToolTip(toolTip);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(128);
    return box;
}

void FrmMain::buildCentre()
{
    auto *centre = new QWidget(this);
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(2);

    m_tabMain = new QTabBar(centre);
    m_tabMain->setObjectName(QStringLiteral("TabMain"));
    m_tabMain->setExpanding(false);
    m_tabMain->setDrawBase(true);
    column->addWidget(m_tabMain, 0, Qt::AlignLeft);

    // The strip under the tabs with the three state boxes.
    auto *strip = new QWidget(centre);
    strip->setObjectName(QStringLiteral("picStrip"));
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(4, 0, 4, 0);
    m_txtConnect = indicatorBox(QStringLiteral("TxtConnect"), QStringLiteral("Connection Status"));
    m_txtFileTosave = indicatorBox(QStringLiteral("txtFileTosave"), QStringLiteral("Configuration File Status"));
    m_txtPar = indicatorBox(QStringLiteral("TxtPar"), QStringLiteral("Parameter Status"));
    row->addStretch();
    row->addWidget(m_txtConnect);
    row->addWidget(m_txtFileTosave);
    row->addWidget(m_txtPar);
    column->addWidget(strip);
    m_connectBox = std::make_unique<LineEditBox>(m_txtConnect);
    m_parBox = std::make_unique<LineEditBox>(m_txtPar);
    m_connectBox->setText(QStringLiteral("Not Connected"));

    m_pageArea = new QStackedWidget(centre);
    m_pageArea->setObjectName(QStringLiteral("pageArea"));
    m_pageArea->setFrameShape(QFrame::StyledPanel);
    column->addWidget(m_pageArea, 1);
    setCentralWidget(centre);

    connect(m_tabMain, &QTabBar::currentChanged, this, &FrmMain::onTabChanged);
}

void FrmMain::addTabs()
{
    const QSignalBlocker quiet(m_tabMain);
    while (m_tabMain->count() > 0)
        m_tabMain->removeTab(0);
    for (const TabSpec &tab : Tabs) {
        const int index = m_tabMain->addTab(QString::fromLatin1(tab.caption));
        m_tabMain->setTabData(index, QString::fromLatin1(tab.key));
        m_tabMain->setTabToolTip(index, QString::fromLatin1(tab.toolTip));
    }
}

void FrmMain::loadPages()
{
    PageFactory *factory = m_services.pages ? m_services.pages : &m_standardPages;
    const struct { PageFactory::Kind kind; const char *tag; } order[] = {
        {PageFactory::Kind::Config, "A1"},  {PageFactory::Kind::Diagnostic, "A3"}, {PageFactory::Kind::Debug, "A5"},
        {PageFactory::Kind::Service, "A4"}, {PageFactory::Kind::Monitor, "A2"},    {PageFactory::Kind::Comment, "A6"},
    };
    for (const auto &entry : order) {
        PageBase *page = factory->create(entry.kind, m_pageContext, m_pageArea);
        m_pages << page;
        m_pageArea->addWidget(page);
        m_session.link.pumpEvents();
    }
    for (int i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setTag(QString::fromLatin1(order[i].tag));
    m_session.commentPage = commentPage();
}

QList<PageWindow *> FrmMain::openPages() const
{
    QList<PageWindow *> pages;
    for (PageBase *page : m_pages)
        pages << page;
    return pages;
}

PageWindow *FrmMain::currentPage() const
{
    return m_current;
}

PageBase *FrmMain::pageByTag(const QString &tag) const
{
    for (PageBase *page : m_pages)
        if (page->Tag() == tag)
            return page;
    return nullptr;
}

FrmMonitor *FrmMain::monitorPage() const
{
    return qobject_cast<FrmMonitor *>(pageByTag(QStringLiteral("A2")));
}

FrmDebug *FrmMain::debugPage() const
{
    return qobject_cast<FrmDebug *>(pageByTag(QStringLiteral("A5")));
}

FrmComment *FrmMain::commentPage() const
{
    for (PageBase *page : m_pages)
        if (auto *comment = qobject_cast<FrmComment *>(page))
            return comment;
    return nullptr;
}

void FrmMain::selectTab(int index)
{
    if (m_tabMain->currentIndex() == index - 1)
        onTabChanged(index - 1);   // selecting the selected tab still brings its page forward
    else
        m_tabMain->setCurrentIndex(index - 1);
}

int FrmMain::currentTab() const
{
    return m_tabMain->currentIndex() + 1;
}

void FrmMain::onTabChanged(int index)
{
    const QString key = m_tabMain->tabData(index).toString();
    PageBase *next = nullptr;
    for (PageBase *page : m_pages) {
        if (page->MDIChild() && page->Tag() == key)
            next = page;
    }
    if (!next)
        return;
    PageBase *previous = m_current;
    m_current = next;
    for (PageBase *page : m_pages)
        if (page != next)
            page->hide();
    if (previous && previous != next)
        previous->Deactivate();
    m_pageArea->setCurrentWidget(next);
    next->show();
    next->setFocus();
    if (previous != next)
        next->Activate();
}

QAction *FrmMain::toolButton(int position) const
{
    if (position < 1 || position > ToolbarPositions)
        return nullptr;
    return m_buttons[position];
}

FrmAbout *FrmMain::aboutWindow()
{
    if (!m_about)
        m_about = new FrmAbout(m_sysInfo, this);
    return m_about;
}

FrmPwd *FrmMain::passwordDialog()
{
    if (!m_pwd) {
        m_pwd = new FrmPwd(m_services.password, m_services.messages, this);
        connect(m_pwd, &FrmPwd::loggedIn, this, [this] { m_commands->loginAccepted(); });
    }
    return m_pwd;
}

TrendWindow *FrmMain::trendWindow()
{
    FrmMonitor *monitor = monitorPage();
    if (!m_trend && monitor)
        m_trend = new TrendWindow(monitor->recorder(), m_services.dialogs, m_services.messages, this);
    return m_trend;
}

void FrmMain::showTrend()
{
    // one window: opening it again brings it to the front
    if (TrendWindow *trend = trendWindow()) {
        trend->show();
        trend->raise();
        trend->activateWindow();
    }
}

FrmSectionColour *FrmMain::paletteWindow()
{
    if (!m_palette) {
        m_palette = new FrmSectionColour(m_sectionColours, m_paths.colourFile(),
                                         {m_services.dialogs, m_services.messages, &m_help}, this);
        m_palette->setColourFileToRead(m_paths.colourFileToRead());
        auto refresh = [this](const QString &tag) {
            if (PageBase *page = pageByTag(tag))
                page->RefreshColour();
        };
        m_palette->setColourRefreshes([refresh] { refresh(QStringLiteral("A1")); },
                                      [refresh] { refresh(QStringLiteral("A2")); });
    }
    return m_palette;
}

FrmHistory *FrmMain::historyWindow()
{
    if (!m_history)
        m_history = new FrmHistory(m_session.history.store(),
                                   {m_services.dialogs, m_services.messages, m_paths.configurationFolder()}, this);
    return m_history;
}

StatusBarView &FrmMain::statusBar()
{
    return *m_statusBar;
}

ProgressBarView &FrmMain::progressBar()
{
    return *m_statusBar;
}

void FrmMain::setButtonEnabled(int position, bool enabled)
{
    if (QAction *button = toolButton(position))
        button->setEnabled(enabled);
}

void FrmMain::setButtonPressed(int position, bool pressed)
{
    if (QAction *button = toolButton(position)) {
        button->setCheckable(true);
        button->setChecked(pressed);
    }
}

void FrmMain::setButtonToolTip(int position, const QString &toolTip)
{
    if (QAction *button = toolButton(position))
        button->setToolTip(toolTip);
}

void FrmMain::setMenuEnabled(const QString &name, bool enabled)
{
    if (QAction *item = menuItem(name))
        item->setEnabled(enabled);
}

void FrmMain::setMenuCaption(const QString &name, const QString &caption)
{
    if (QAction *item = menuItem(name))
        item->setText(caption);
}

void FrmMain::closeAll()
{
    m_unloading = true;
    m_tmrDraw->stop();
    m_wait->closeWait();
    if (m_about)
        m_about->close();
    if (m_pwd)
        m_pwd->close();
    if (m_palette)
        m_palette->hide();
    close();
}

void FrmMain::unloadAllWindows()
{
    closeAll();
}

void FrmMain::endProgram()
{
    closeAll();
    m_ended = true;
    if (m_services.endProgram)
        m_services.endProgram(0);
}

void FrmMain::DrawWaitBar(int16_t progressValue, const QString &msgText)
{
    m_wait->DrawWaitBar(progressValue, msgText);
}

void FrmMain::closeWaitWindow()
{
    m_wait->closeWait();
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // The close box runs the exit routine; a refused exit keeps the window.
    if (!m_unloading && m_session.draw.ExitProgram() != 0) {
        event->ignore();
        return;
    }
    m_tmrDraw->stop();
    event->accept();
}

void FrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    setFixedSize(twips(WindowWidth), twips(WindowHeight));
    m_tabMain->setFixedWidth(width() - twips(90));
}
