#include "windowshots.h"

#include "fakedevicelink.h"

#include "catalogue.h"
#include "comparecommands.h"
#include "comparewindow.h"
#include "diagnosticerror.h"
#include "frmabout.h"
#include "frmconfig.h"
#include "frmdiagnostic.h"
#include "frmhistory.h"
#include "frmmain.h"
#include "frmpwd.h"
#include "frmsectioncolour.h"
#include "keycommands.h"
#include "frmmonitor.h"
#include "trendrecorder.h"
#include "trendwindow.h"
#include "krvid.h"
#include "maincommands.h"
#include "maindrawing.h"
#include "respaths.h"
#include "servicehistory.h"
#include "session.h"
#include "writepreview.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cmath>

namespace {

void runEvents(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (clock.elapsed() < milliseconds);
}

template <typename T>
T *child(QWidget *parent, const char *name)
{
    return parent ? parent->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

// The top-level window of a class that the program made on its own.
template <typename T>
T *topLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w))
            return t;
    return nullptr;
}

} // namespace

WindowShots::WindowShots() : m_links(std::make_unique<FakeDeviceLinkFactory>()) {}

WindowShots::~WindowShots()
{
    m_main.reset();
}

void WindowShots::seedController()
{
    const Catalogue &catalogue = m_session->catalogue;
    FakeController &c = *m_links->controller;
    // Every parameter at its default, as a new controller holds them.
    for (int i = 1; i < catalogue.VarCount; ++i)
        if (const CVarDataS *v = catalogue.data(i))
            c.setWord(v->Address, v->QelValueDefault);

    auto set = [&](KrvId id, int value) {
        if (const CVarDataS *v = catalogue.data(id))
            c.setWord(v->Address, value);
    };
    set(KRV_PROG_VERS, 10203);
    set(KRV_NUM_PROP_REG, 4);
    set(KRV_SYSTEM_TYPE, 1);
    // Inputs: X axis, Y axis, a digital joystick on DI_03/DI_05, input 4 off.
    set(KRV_JOY_0_CONFIG, 0x0001);
    set(KRV_JOY_1_CONFIG, 0x0011);
    set(KRV_JOY_2_CONFIG, 0x5372);
    set(KRV_JOY_3_CONFIG, 0x0070);
    set(KRV_JOY_0_ID, 0);
    set(KRV_JOY_1_ID, 1);
    set(KRV_JOY_2_ID, 5);
    set(KRV_JOY_3_ID, 8);
    set(KRV_FLOAT_CONFIG_1, 0x0021);
    // Live values: ready, joystick 1 moved, coils 1A and 2A driven, DI_03 active.
    set(KRV_ERROR_CODE, 0x0040);
    set(KRV_HSD_MONITOR, 0x0005);
    set(KRV_DIGIT_MONITOR, 0x0008);
    set(KRV_JOY0_VALUE, 734);
    set(KRV_JOY1_VALUE, 312);
    set(KRV_I0_MEASURE_400, 8504);
    set(KRV_I1_MEASURE_400, 4230);
    set(KRV_VBB_400, 2415);
    // Diagnostics: a short supply dropout and an open coil 3B.
    set(KRV_VBB_ERROR, 0x0004);
    set(KRV_ERROR_SEC_3, 0x0004);
    // Key page: a production number and an unlocked key.
    c.longs[92] = 0x21470815;
    c.longs[88] = 0x5A3C96E1;
}

bool WindowShots::connect()
{
    m_session->devLink.ComPort = 1;
    m_main->commands().ConnectCommand();
    runEvents(50);
    if (m_session->IsConnectObj.value() != ConnectionState::Connected) {
        m_error = QStringLiteral("the main window did not connect to the in-memory controller (%1)")
                      .arg(m_messages.shown.join(QStringLiteral(" / ")));
        return false;
    }
    m_main->drawing().tick();
    return true;
}

void WindowShots::shoot(const QString &name, QWidget *widget, bool cropToContent)
{
    if (!widget) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("no window for the picture \"%1\"").arg(name);
        return;
    }
    if (!widget->isVisible())
        widget->show();
    runEvents(30);
    const QRect area = cropToContent ? widget->childrenRect().adjusted(-6, -6, 6, 6) & widget->rect() : QRect();
    m_images.insert(name, widget->grab(area.isValid() ? area : QRect(QPoint(0, 0), QSize(-1, -1))).toImage());
}

void WindowShots::showPage(int tab, int settleMs)
{
    m_main->selectTab(tab);
    runEvents(settleMs);
    m_main->drawing().tick();
    runEvents(20);
}

void WindowShots::shootDialogs()
{
    auto *config = qobject_cast<FrmConfig *>(m_main->pageByTag(QStringLiteral("A1")));
    if (config) {
        emit config->ditherSettingsRequested();
        runEvents(30);
        QWidget *dither = config->findChild<QWidget *>(QStringLiteral("FrmMagSel"));
        shoot(QStringLiteral("dither"), dither);
        if (dither)
            dither->hide();
        emit config->canSettingsRequested();
        runEvents(30);
        QWidget *can = config->findChild<QWidget *>(QStringLiteral("FrmJoyCan"));
        shoot(QStringLiteral("canjoy"), can);
        // The window is wide; its frames are shown one by one at full size.
        const QList<QPair<const char *, const char *>> frames = {
            {"canjoy-channels", "FrameJoyChannels"}, {"canjoy-digital", "Frame2"},
            {"canjoy-commands", "Frame4"}, {"canjoy-options", "Frame5"}};
        for (const auto &f : frames)
            shoot(QString::fromLatin1(f.first), child<QWidget>(can, f.second));
        if (QWidget *id = child<QWidget>(can, "FrameJoyID"))
            shoot(QStringLiteral("canjoy-joystick"), id->parentWidget());
        if (can)
            can->hide();
    }

    m_main->commands().Palette();
    shoot(QStringLiteral("palette"), m_main->paletteWindow());
    m_main->paletteWindow()->hide();

    m_main->commands().About();
    shoot(QStringLiteral("about"), m_main->aboutWindow());
    m_main->aboutWindow()->hide();

    FrmPwd *pwd = m_main->passwordDialog();
    pwd->show();
    shoot(QStringLiteral("login"), pwd);
    pwd->hide();
}

void WindowShots::shootHistory()
{
    QTemporaryDir scratch;
    ServiceHistory store(scratch.filePath(QStringLiteral("history.sqlite")));
    HistoryRecorder &history = m_session->history;
    history.setStore(&store);
    history.setProgram(QStringLiteral("krvstudio"));
    // a unit with its serial number, read again as Read All does
    if (const CVarDataS *serial = m_session->catalogue.data(KRV_SERIAL_NUMBER))
        m_links->controller->setWord(serial->Address, 1187);
    m_main->commands().ReadAll();
    // two values of a configuration file written, then a new key
    history.setSourceFile(QStringLiteral("/home/service/line3/TBX400-reference.txt"));
    for (KrvId id : {KRV_I0_MIN, KRV_I1_MIN}) {
        if (CVarData *entry = m_session->catalogue.entry(id))
            entry->Data->KrvDownloadValueE2 += 25;
    }
    m_session->e2Image.WriteE2All(m_session->e2Image.AllPagesWriteMask());
    KeyCommands(*m_session).writeKey(QStringLiteral("0x5A3C96E2"));
    FrmHistory window(&store, {});
    window.resize(1180, 300);
    shoot(QStringLiteral("history"), &window);
    history.setStore(nullptr);
}

void WindowShots::shootPages()
{
    showPage(1);
    shoot(QStringLiteral("main"), m_main.get());
    if (auto *config = m_main->pageByTag(QStringLiteral("A1"))) {
        shoot(QStringLiteral("config"), config);
        auto *tabs = child<QTabWidget>(config, "SSTab1");
        if (tabs) {
            tabs->setCurrentIndex(2);
            shoot(QStringLiteral("config-ramps"), config);
            tabs->setCurrentIndex(1);
            shoot(QStringLiteral("config-slow"), config);
            tabs->setCurrentIndex(0);
        }
    }

    // The monitor polls the in-memory controller a few times.
    showPage(2, 400);
    shoot(QStringLiteral("monitor"), m_main.get());

    // Diagnostics: the supply and output rows ticked as a technician would.
    if (auto *diag = qobject_cast<FrmDiagnostic *>(m_main->pageByTag(QStringLiteral("A3")))) {
        for (int i = 1; i < 3; ++i)
            diag->row(i)->setEnable(true);
    }
    showPage(3, 400);
    shoot(QStringLiteral("diagnostic"), m_main.get());

    showPage(4);
    if (auto *read = child<QPushButton>(m_main->pageByTag(QStringLiteral("A4")), "CmdReadKey"))
        read->click();
    showPage(4);
    shoot(QStringLiteral("key"), m_main.get());
    shoot(QStringLiteral("key-page"), m_main->pageByTag(QStringLiteral("A4")), true);

    m_main->commands().loginAccepted();
    showPage(5);
    QWidget *debug = m_main->pageByTag(QStringLiteral("A5"));
    if (auto *list = child<QComboBox>(debug, "cmbVariablesList")) {
        const int index = m_session->catalogue.index(KRV_DITHER_FREQ);
        list->setCurrentIndex(index);
        if (auto *read = child<QPushButton>(debug, "cmdRead"))
            read->click();
    }
    showPage(5);
    shoot(QStringLiteral("debugger"), m_main.get());
    shoot(QStringLiteral("debugger-page"), debug);
    m_main->commands().Logout();

    showPage(6);
    QWidget *info = m_main->pageByTag(QStringLiteral("A6"));
    const QList<QPair<const char *, QString>> fields = {
        {"txtAutor", QStringLiteral("J. Marsh")},
        {"txtDate", QStringLiteral("09/12/2026")},
        {"TxtRevision", QStringLiteral("B")},
        {"TxtCompany", QStringLiteral("Harbour Cranes Service")},
    };
    for (const auto &f : fields)
        if (auto *edit = child<QLineEdit>(info, f.first))
            edit->setText(f.second);
    if (auto *comments = child<QPlainTextEdit>(info, "TxtInfo"))
        comments->setPlainText(QStringLiteral("Crane 12, boom valve block.\nRamps of section 2 lengthened after test drive."));
    showPage(6);
    shoot(QStringLiteral("info"), m_main.get());
}

void WindowShots::shootComparison()
{
    Catalogue &catalogue = m_session->catalogue;
    CVarData *fall = catalogue.entry(KRV_RAMP_TFALL_1);
    CVarData *rise = catalogue.entry(KRV_RAMP_TRISE_2);
    if (!fall || !rise) {
        m_error = QStringLiteral("the ramp times are not in the variable list");
        return;
    }
    const int32_t fallBefore = fall->Data->KrvDownloadValueE2;
    const int32_t riseBefore = rise->Data->KrvDownloadValueE2;
    fall->KRVSetVar(fallBefore + 250);
    rise->KRVSetVar(riseBefore + 400);
    showPage(1);

    const ConfigCompare::WriteSet set = ConfigCompare::forWrite(*m_session, m_session->e2Image.AllPagesWriteMask());
    WritePreviewDialog preview(QStringLiteral("Write All"), ConfigCompare(catalogue).rows(set.unit, set.sent),
                               m_main.get());
    shoot(QStringLiteral("preview"), &preview);
    preview.hide();

    // the unit holds a dither frequency beyond its range, as after a faulty service tool
    if (const CVarDataS *dither = catalogue.data(KRV_DITHER_FREQ))
        m_links->controller->setWord(dither->Address, dither->QelValE2Max + 100);
    m_main->commands().compare().compareWithUnit();
    runEvents(30);
    shoot(QStringLiteral("compare"), m_main->commands().compare().window());
    if (QWidget *window = m_main->commands().compare().window())
        window->close();
    fall->KRVSetVar(fallBefore);
    rise->KRVSetVar(riseBefore);
}

void WindowShots::shootTrend()
{
    FrmMonitor *monitor = m_main->monitorPage();
    if (!monitor)
        return;
    // A minute as the monitor records it while joystick 1 is worked back and
    // forth: coil 1 follows with its lag, the supply dips a little under load.
    TrendRecorder &recorder = monitor->recorder();
    recorder.clear(); // the few cycles of the monitor picture give way
    const LiveColumns &columns = recorder.columns();
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    for (qint64 t = end - 60000; t <= end; t += 100) {
        const double phase = double(t % 20000) / 20000.0 * 2 * M_PI;
        const double joy = std::max(0.0, 100.0 * std::sin(phase));
        const double joy2 = 30.0 + 20.0 * std::sin(phase / 2);
        TrendRecorder::Sample s = recorder.emptySample(t);
        auto put = [&](KrvId id, double v) {
            if (columns.columnOf(id) >= 0)
                s.values[columns.columnOf(id)] = std::round(v * 10) / 10;
        };
        put(KRV_JOY0_VALUE, joy);
        put(KRV_JOY1_VALUE, joy2);
        put(KRV_JOY2_VALUE, 0);
        put(KRV_JOY3_VALUE, 0);
        put(KRV_I0_MEASURE_400, joy > 5 ? 300 + 6.0 * joy : 0);
        put(KRV_I1_MEASURE_400, joy2 > 5 ? 300 + 6.0 * joy2 : 0);
        put(KRV_I2_MEASURE_400, 0);
        put(KRV_I3_MEASURE_400, 0);
        put(KRV_VBB_400, 24.2 - joy / 100.0 * 0.6);
        recorder.append(s);
    }
    m_main->showTrend();
    TrendWindow *trend = m_main->trendWindow();
    trend->resize(980, 660);
    trend->refresh();
    runEvents(50);
    trend->showCursor(end - 17000);
    shoot(QStringLiteral("trend"), trend);
    trend->hide();
}

bool WindowShots::grabAll()
{
    m_images.clear();
    m_error.clear();
    QApplication::setQuitOnLastWindowClosed(false);

    QTemporaryDir scratch;
    m_session = std::make_unique<Session>(m_links.get(), &m_messages);
    ShellServices services;
    services.messages = &m_messages;
    services.dialogs = &m_dialogs;
    services.viewer = &m_viewer;
    services.launcher = &m_launcher;
    services.keyStorePath = scratch.filePath(QStringLiteral("keystore.ini"));
    services.searchPath = scratch.path();
    services.programFolder = ResPaths::programFolder();
    services.endProgram = [](int) {};

    m_main = std::make_unique<FrmMain>(*m_session, services);
    m_main->Load();
    m_main->show();
    m_main->selectTab(1);
    m_main->paletteWindow()->frmSectionColourInit();
    if (m_session->catalogue.VarCount == 0) {
        m_error = QStringLiteral("the variable list did not load (%1)").arg(m_messages.shown.join(QStringLiteral(" / ")));
        return false;
    }

    // Not yet connected: the window as it opens.
    showPage(1);
    shoot(QStringLiteral("start"), m_main.get());

    seedController();
    if (!connect())
        return false;
    shootPages();
    shootDialogs();
    shootComparison();
    shootHistory();
    shootTrend();
    return m_error.isEmpty();
}
