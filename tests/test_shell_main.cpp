// The real main window without a controller: frame, pages, indicators,
// exit, login, help and start-up.
#include "shellfixture.h"

#include "componentfactory.h"
#include "frmabout.h"
#include "frmcomment.h"
#include "frmconfig.h"
#include "frmdebug.h"
#include "frmmain.h"
#include "frmmonitor.h"
#include "frmpwd.h"
#include "frmsectioncolour.h"
#include "frmwait.h"
#include "lineeditbox.h"
#include "maincommands.h"
#include "maindrawing.h"
#include "mainstatusbar.h"
#include "paintcounter.h"
#include "pagefactory.h"
#include "remotecontrol.h"
#include "respaths.h"
#include "session.h"
#include "startup.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>


TEST_F(ShellTest, FrameCaptionSizeMenusToolbarTabsAndPanels)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KRV Studio for TBX400C"));
    EXPECT_EQ(window->size(), QSize(768, 622));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    window->resize(900, 700);
    EXPECT_EQ(window->size(), QSize(768, 622)) << "the size is held";
    // The draw timer may already have run while the pages loaded; a tick makes
    // the connect caption the drawn one either way.
    tick();

    const struct { const char *name; const char *caption; } menus[] = {
        {"mnuFile_Load", "&Load Configuration"}, {"mnuFile_Save", "&Save Configuration"},
        {"mnuFile_Exit", "&Exit"},               {"mnuView_Page", "&Show next Page"},
        {"mnuHW_Connect", "Connect"},            {"mnuHW_WriteAll", "Writ&e All"},
        {"mnuHW_ReadAll", "Rea&d All"},          {"mnuHW_Write", "&Write"},
        {"mnuHw_Read", "&Read"},                 {"mnuHw_Reset", "Re&set"},
        {"mnuSet_ComID", "Set &Com Port"},       {"mnuSet_ComBauldID", "Set Com  &Bauld Rate"},
        {"mnuSet_Palette", "&Palette"},          {"mnuSet_Login", "&Login"},
        {"mnuSet_Logout", "Log&out"},            {"mnuHelp_Help", "&Help Topics"},
        {"mnuHelp_Info", "&Software Info"},
    };
    for (const auto &m : menus) {
        QAction *item = window->menuItem(QLatin1String(m.name));
        ASSERT_NE(item, nullptr) << m.name;
        EXPECT_EQ(item->text(), QLatin1String(m.caption)) << m.name;
    }
    EXPECT_TRUE(window->menuItem(QStringLiteral("mnuHelp_Site"))->text().endsWith(QStringLiteral("Web Site")));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.requests.size(), 2) << "Ctrl+O loads, Ctrl+S saves";
    EXPECT_EQ(window->menuItem(QStringLiteral("mnuFile_Exit"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(window->comPortItem(0)->text(), QStringLiteral("None"));
    EXPECT_EQ(window->comPortItem(14)->text(), QStringLiteral("COM &14"));
    EXPECT_EQ(window->baudItem(1)->text(), QStringLiteral("9600"));

    const int separators[] = {3, 6, 8, 11, 14, 17, 18};
    for (int p = 1; p <= 19; ++p) {
        const bool separator = std::find(std::begin(separators), std::end(separators), p) != std::end(separators);
        EXPECT_EQ(window->toolButton(p)->isSeparator(), separator) << p;
    }
    EXPECT_EQ(window->toolButton(4)->property("key").toString(), QStringLiteral("Read All"));
    EXPECT_EQ(window->toolButton(4)->toolTip(), QStringLiteral("Read All From Electronic"));
    EXPECT_EQ(window->toolButton(13)->toolTip(), QStringLiteral("Assistance Logout"));
    EXPECT_EQ(window->toolButton(19)->property("key").toString(), QStringLiteral("Connect"));
    EXPECT_FALSE(window->toolButton(19)->icon().isNull());

    QTabBar *tabs = window->TabMain();
    ASSERT_EQ(tabs->count(), 6);
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("Key"));
    EXPECT_EQ(tabs->tabData(3).toString(), QStringLiteral("A4"));
    EXPECT_EQ(tabs->tabToolTip(4), QStringLiteral("Electronic Debugger"));
    EXPECT_EQ(tabs->width(), 768 - 6);

    MainStatusBar *bar = window->mainStatusBar();
    EXPECT_EQ(bar->panelText(1), QStringLiteral("Not Connected")) << "the first draw tick has shown the state";
    EXPECT_EQ(bar->panelText(8), QStringLiteral("COM 1"));
    EXPECT_EQ(bar->panelText(9), QStringLiteral("9600"));
    EXPECT_EQ(bar->panel(6)->toolTip(), QStringLiteral("TBX System Type"));
    const QRect cell = bar->panel(4)->geometry();
    const QRect progress = bar->progressBar()->geometry();
    EXPECT_TRUE(cell.adjusted(0, -4, 0, 4).contains(progress)) << "the progress bar lies over panel 4";
    EXPECT_GT(progress.width(), cell.width() / 2);

    EXPECT_EQ(window->TmrDraw()->interval(), 500);
    EXPECT_TRUE(window->TmrDraw()->isActive());
    EXPECT_EQ(window->SystemTypeNames.size(), 8);
    EXPECT_EQ(window->SystemTypeNames[7], QStringLiteral("TBX 400 F"));
    EXPECT_EQ(window->ControlUnitNames, QStringList(8, QStringLiteral("QEL400W")));

    // Start state: nothing but Connect, port choice, help and info.
    EXPECT_FALSE(window->toolButton(12)->isEnabled());
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuSet_Logout"))->isEnabled());
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuHW_ReadAll"))->isEnabled());
    EXPECT_TRUE(window->toolButton(19)->isEnabled());
    EXPECT_TRUE(window->menuItem(QStringLiteral("mnuSet_ComID"))->isEnabled());
    EXPECT_FALSE(window->menuItem(QStringLiteral("mnuSet_ComBauldID"))->isEnabled());
}

TEST_F(ShellTest, PagesLoadedInOrderWithTagsMasksAndTheirTab)
{
    const QList<PageWindow *> open = window->openPages();
    ASSERT_EQ(open.size(), 6);
    QStringList tags;
    for (PageWindow *p : open)
        tags << p->Tag();
    EXPECT_EQ(tags, (QStringList{"A1", "A3", "A5", "A4", "A2", "A6"}));
    EXPECT_EQ(session.e2Image.AllPagesMask(), 10010);
    EXPECT_EQ(session.e2Image.AllPagesWriteMask(), 10011);
    EXPECT_GT(window->pageByTag(QStringLiteral("A1"))->PageVarNum, 0);

    window->TabMain()->setCurrentIndex(3);
    EXPECT_EQ(window->currentPage()->Tag(), QStringLiteral("A4"));
    EXPECT_TRUE(window->pageByTag(QStringLiteral("A4"))->isVisible());
    EXPECT_FALSE(window->pageByTag(QStringLiteral("A1"))->isVisible());
}

TEST_F(ShellTest, ShowNextPageWrapsFromTheLastTabToTheFirst)
{
    window->selectTab(5);
    window->menuItem(QStringLiteral("mnuView_Page"))->trigger();
    EXPECT_EQ(window->currentTab(), 6);
    EXPECT_EQ(window->currentPage()->Tag(), QStringLiteral("A6"));
    window->menuItem(QStringLiteral("mnuView_Page"))->trigger();
    EXPECT_EQ(window->currentTab(), 1);
    EXPECT_EQ(window->currentPage()->Tag(), QStringLiteral("A1"));
}

TEST_F(ShellTest, PortNoneMakesConnectAskForAPort)
{
    window->comPortItem(0)->trigger();
    EXPECT_EQ(window->mainStatusBar()->panelText(8), QStringLiteral("NONE"));
    EXPECT_TRUE(window->comPortItem(0)->isChecked());
    EXPECT_EQ(session.devLink.ComPort, 0);
    messages.shown.clear();

    window->toolButton(19)->trigger();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), QStringLiteral("Select a COM Port"));
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_FALSE(window->toolButton(19)->isChecked());
}

TEST_F(ShellTest, PortThatCannotBeOpenedFallsBackToNone)
{
    qputenv("KRV_COM7", "/nonexistent/tty-krv");
    window->comPortItem(7)->trigger();
    qunsetenv("KRV_COM7");
    EXPECT_EQ(messages.lastText(), QStringLiteral("Can't Open COM 7: no such device (/nonexistent/tty-krv)"));
    EXPECT_EQ(window->mainStatusBar()->panelText(8), QStringLiteral("NONE"));
    EXPECT_TRUE(window->comPortItem(0)->isChecked());
    EXPECT_FALSE(window->comPortItem(7)->isChecked());
    EXPECT_EQ(session.devLink.ComPort, 0);
}

TEST_F(ShellTest, WithoutAUsableVariableListCommandsRefuseAndNameTheFile)
{
    // the program folder's res/ as shipped, but with a list whose fifth line is bad
    window.reset();
    const QString res = folder.file(QStringLiteral("res"));
    const QString shipped = ResPaths::programFolder() + QStringLiteral("/res");
    ASSERT_TRUE(QFile::remove(res));
    ASSERT_TRUE(QDir().mkpath(res + QStringLiteral("/ini")));
    for (const QFileInfo &entry : QDir(shipped).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        if (entry.fileName() != QLatin1String("ini"))
            QFile::link(entry.absoluteFilePath(), res + QLatin1Char('/') + entry.fileName());
    }
    for (const QFileInfo &entry : QDir(shipped + QStringLiteral("/ini")).entryInfoList(QDir::Files)) {
        if (entry.fileName() != QLatin1String("Ramlist.ini"))
            QFile::link(entry.absoluteFilePath(), res + QStringLiteral("/ini/") + entry.fileName());
    }
    QFile shippedList(shipped + QStringLiteral("/ini/Ramlist.ini"));
    ASSERT_TRUE(shippedList.open(QIODevice::ReadOnly));
    QByteArray text;
    for (int n = 0; n < 4; ++n)
        text += shippedList.readLine();
    text += "BROKEN\t0x0099\t0x00\t\tA value\tabc\t0\t11\t0\t10\r\n";
    // as the program names it: its folder, then res/ini/Ramlist.ini
    const QString list = folder.path() + QStringLiteral("/res/ini/Ramlist.ini");
    QFile broken(list);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(text);
    broken.close();

    openWindow(); // the program still starts
    EXPECT_EQ(messageCount(QStringLiteral("'Ramlist.ini' file NOT FOUND or CORRUPTED")), 1);
    const QString refusal = QStringLiteral("Variable list missing or corrupt: ") + list
                            + QStringLiteral(", line 5: column 6 is not a whole number from -32768 to 32767");

    // a good configuration on disk is never replaced by an empty one
    const QString good = folder.file(QStringLiteral("good.txt"));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::WriteOnly));
    goodFile.write("a configuration worth keeping\r\n");
    goodFile.close();
    dialogs.answers.push_back(good);
    const struct { const char *name; void (MainCommands::*command)(); } refused[] = {
        {"Save", &MainCommands::Save},         {"Load", &MainCommands::Load},
        {"Connect", &MainCommands::ConnectCommand}, {"Read", &MainCommands::Read},
        {"Read All", &MainCommands::ReadAll}, {"Write", &MainCommands::Write},
        {"Write All", &MainCommands::WriteAll},
    };
    for (const auto &command : refused) {
        messages.shown.clear();
        (commands().*command.command)();
        ASSERT_EQ(messages.shown.size(), 1) << command.name;
        EXPECT_EQ(messages.lastText(), refusal) << command.name;
        EXPECT_EQ(messages.shown.last().icon, MessageService::Icon::Critical) << command.name;
    }
    EXPECT_TRUE(dialogs.requests.isEmpty()) << "no file dialog is offered";
    QFile kept(good);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("a configuration worth keeping\r\n"));
    EXPECT_EQ(state(), ConnectionState::NotConnected);
    EXPECT_NE(session.devLink.LinkState, DevLink::State::Open);

    // no list at all
    window.reset();
    ASSERT_TRUE(QFile::remove(list));
    openWindow();
    messages.shown.clear();
    window->toolButton(19)->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral("Variable list missing or corrupt: ") + list + QStringLiteral(": not found"));
    EXPECT_EQ(state(), ConnectionState::NotConnected);
}

TEST_F(ShellTest, RemoteAnswersEachCommandOnItsOwnLine)
{
    std::FILE *out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    RemoteControl remote(*window, -1, out);
    QCoreApplication::processEvents();   // "shown" comes once the event loop ran

    EXPECT_EQ(remote.execute(QStringLiteral("page 3")), QStringLiteral("page 3"));
    EXPECT_EQ(window->currentTab(), 3);
    EXPECT_EQ(remote.execute(QStringLiteral("page 7")), QStringLiteral("unknown page 7"));
    EXPECT_EQ(remote.execute(QStringLiteral("page x")), QStringLiteral("unknown page x"));
    EXPECT_EQ(window->currentTab(), 3);
    EXPECT_EQ(remote.execute(QStringLiteral("state")), QStringLiteral("state 0"));

    // no port: the command's own message, and the remote says it failed
    window->comPortItem(0)->trigger();
    messages.shown.clear();
    EXPECT_EQ(remote.execute(QStringLiteral("connect")), QStringLiteral("not connected"));
    EXPECT_EQ(messages.lastText(), QStringLiteral("Select a COM Port"));
    EXPECT_EQ(remote.execute(QStringLiteral("connect now")), QStringLiteral("unknown connect now"));

    std::rewind(out);
    QStringList lines;
    char buffer[128];
    while (std::fgets(buffer, sizeof buffer, out))
        lines << QString::fromUtf8(buffer).trimmed();
    std::fclose(out);
    EXPECT_EQ(lines, (QStringList{"shown", "page 3", "unknown page 7", "unknown page x", "state 0", "not connected",
                                  "unknown connect now"}));
}

TEST_F(ShellTest, IndicatorsSetAgainUnchangedKeepTheirStateAndStillFollowChanges)
{
    MainStatusBar *bar = window->mainStatusBar();
    auto *picture = bar->findChild<QLabel *>(QStringLiteral("StatusBar_1_picture"));
    ASSERT_NE(picture, nullptr);
    bar->setPanelIcon(1, StateIcon::Green);
    const QPixmap green = picture->pixmap();
    ASSERT_FALSE(green.isNull());
    bar->setPanelIcon(1, StateIcon::Green);
    EXPECT_EQ(picture->pixmap().cacheKey(), green.cacheKey()) << "the same picture is not made again";
    bar->setPanelIcon(1, StateIcon::Red);
    EXPECT_EQ(bar->panelIcon(1), StateIcon::Red);
    EXPECT_NE(picture->pixmap().toImage(), green.toImage());
    bar->setPanelIcon(1, StateIcon::None);
    EXPECT_TRUE(picture->pixmap().isNull());
    bar->setPanelIcon(1, StateIcon::Green);
    EXPECT_EQ(picture->pixmap().toImage(), green.toImage());

    // a box given its own text again keeps the cursor where the user left it
    QLineEdit *box = window->TxtConnect();
    LineEditBox view(box);
    view.setText(QStringLiteral("Connected"));
    box->setCursorPosition(3);
    int changes = 0;
    QObject::connect(box, &QLineEdit::textChanged, [&] { ++changes; });
    view.setText(QStringLiteral("Connected"));
    EXPECT_EQ(box->cursorPosition(), 3);
    view.setText(QStringLiteral("Not Connected"));
    EXPECT_EQ(box->text(), QStringLiteral("Not Connected"));
    EXPECT_EQ(changes, 1);
}

TEST_F(ShellTest, ATransferStepRedrawsTheBarAndPercentageAlone)
{
    // every word a transfer or a monitor cycle moves sets both
    MainStatusBar *bar = window->mainStatusBar();
    QCoreApplication::processEvents();
    PaintCounter windowEvents(window.get());
    PaintCounter statusEvents(bar);
    PaintCounter cellEvents(bar->panel(4));
    PaintCounter percentEvents(bar->panel(5));
    PaintCounter progressEvents(bar->progressBar());
    for (int percent = 7; percent <= 100; percent += 31) {
        bar->setValue(percent);
        bar->setPanelText(5, QString::number(percent) + QLatin1Char('%'));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(bar->panelText(5), QStringLiteral("100%"));
    EXPECT_EQ(progressEvents.paints, 4);
    EXPECT_EQ(percentEvents.paints, 4);
    EXPECT_EQ(cellEvents.paints, 0);
    EXPECT_EQ(statusEvents.paints, 0);
    EXPECT_EQ(windowEvents.paints, 0) << "the main window was drawn again behind the progress";
    EXPECT_EQ(statusEvents.layouts, 0);
}

TEST_F(ShellTest, DrawTimerClosesTheWaitWindowUnlessATransferRuns)
{
    window->DrawWaitBar(40, QStringLiteral("Reading..."));
    ASSERT_TRUE(window->waitWindow()->isVisible());
    session.IsConnectObj = ConnectionState::Busy;
    tick();
    EXPECT_TRUE(window->waitWindow()->isVisible()) << "kept while IsConnectObj is 2";
    session.IsConnectObj = ConnectionState::Connected;
    tick();
    EXPECT_FALSE(window->waitWindow()->isVisible());

    window->DrawWaitBar(100, QStringLiteral("Writing..."));
    EXPECT_FALSE(window->waitWindow()->isVisible()) << "100 closes it in the same call";
}

TEST_F(ShellTest, LosingTheLinkRedrawsTheMonitorIdle)
{
    int redraws = 0;
    QObject::connect(pages.monitor, &FrmMonitor::idleDrawn, [&] { ++redraws; });
    session.IsConnectObj = ConnectionState::Connected;
    EXPECT_EQ(redraws, 0);
    session.IsConnectObj = ConnectionState::NotConnected;
    EXPECT_EQ(redraws, 2) << "both the joystick and the magnet trigger";
    session.IsConnectObj = ConnectionState::NotConnected;
    EXPECT_EQ(redraws, 4) << "every assignment counts";
}

TEST_F(ShellTest, EditShowsFileToSaveWithinOneTickOfTheRealTimer)
{
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("---"));
    session.catalogue.entry(KRV_RAMP_TRISE_0)->KRVSetVar(800);
    ASSERT_FALSE(session.catalogue.ConfigSaved);
    QElapsedTimer clock;
    clock.start();
    while (fileBox() != QLatin1String("FILE TO SAVE") && clock.elapsed() < 2000)
        QTest::qWait(20);
    EXPECT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));
    EXPECT_LE(clock.elapsed(), 560);
    EXPECT_TRUE(session.ParamDiff);
    EXPECT_EQ(window->txtFileTosave()->palette().color(QPalette::Base), QColor(255, 255, 128));

    // A comment edit does the same.
    session.FileState = Session::FileNone;
    session.catalogue.ConfigSaved = true;
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("---"));
    window->commentPage()->findChild<QLineEdit *>(QStringLiteral("txtAutor"))->setText(QStringLiteral("Ann"));
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));
}

// File > Load takes a file whole or not at all: a bad file of any kind changes
// no value, no comment, neither the file state nor the page, and names its line.
TEST_F(ShellTest, LoadOfABadFileChangesNothingAndNamesTheLine)
{
    const QString basePath = folder.file(QStringLiteral("base.txt"));
    ASSERT_TRUE(session.file.SaveConfig(basePath));
    QFile baseFile(basePath);
    ASSERT_TRUE(baseFile.open(QIODevice::ReadOnly));
    const QByteArray base = baseFile.readAll();
    // the comment block is empty, so every line ends with CR (the last one with CR LF)
    const QList<QByteArray> lines = base.split('\r');
    const int k = 12;   // a value line with value lines before it
    const QByteArray description = lines[k].left(lines[k].indexOf('\t'));
    const auto withLine = [&](int index, const QByteArray &replacement) {
        QList<QByteArray> changed = lines;
        changed[index] = replacement;
        return changed.join('\r');
    };
    QByteArray random(4096, 0);
    QRandomGenerator(19).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    const auto line = [](int number, const QString &reason) { return QStringLiteral("line %1: %2").arg(number).arg(reason); };
    const struct { const char *name; QByteArray bytes; QString reason; } cases[] = {
        {"empty", "", line(1, "the file is empty")},
        {"random bytes", random, line(1, "no comment block")},
        {"CSV", "Name,Address,Value\r\nI0_MIN,0x2040,400\r\n", line(1, "no comment block")},
        {"no comment block", base.mid(base.indexOf("Variable Name")), line(1, "no comment block")},
        {"cut after whole lines", lines.mid(0, k + 1).join('\r') + '\r', line(k + 1, "the file ends after this line (cut off)")},
        {"cut inside a value", lines.mid(0, k + 1).join('\r').chopped(2), line(k + 1, "the file ends inside this line (cut off)")},
        {"no value", withLine(k, lines[k].left(lines[k].lastIndexOf('\t') + 1)),
         line(k + 1, "no value for '" + QString::fromLatin1(description) + "'")},
        {"unknown line", withLine(k, lines[k] + "\rGone\t0099.98\t00001"),
         line(k + 2, "'Gone' (address 0099.98) is not in the variable list")},
    };

    // memory differs from the file in every saved entry, so any value taken would show
    Catalogue &cat = session.catalogue;
    for (int i = 1; i < cat.VarCount; ++i) {
        if (session.file.isSaved(i))
            cat.data(i)->KrvDownloadValueE2 += 1;
    }
    window->commentPage()->findChild<QLineEdit *>(QStringLiteral("txtAutor"))->setText(QStringLiteral("Before"));
    window->selectTab(4);
    tick();
    const auto everything = [&] {
        QStringList all;
        for (int i = 1; i < cat.VarCount; ++i) {
            const CVarDataS *d = cat.data(i);
            all << QStringLiteral("%1 %2 %3").arg(d->KrvDownloadValueE2).arg(d->QelValueE2).arg(d->KrvDisplayValueE2);
        }
        all << window->commentPage()->BuildInfoStr() << window->commentPage()->fileName() << fileBox()
            << QString::number(session.FileState) << QString::number(session.CommentEdited)
            << QString::number(session.catalogue.ConfigSaved) << QString::number(window->currentTab());
        return all;
    };
    ASSERT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));
    const QStringList before = everything();
    const auto changed = [&] {
        const QStringList now = everything();
        for (int i = 0; i < now.size(); ++i) {
            if (now[i] != before.value(i))
                return QStringLiteral("item %1 is '%2', was '%3'").arg(i).arg(now[i], before.value(i)).toStdString();
        }
        return std::string();
    };

    const QString badPath = folder.file(QStringLiteral("bad.txt"));
    for (const auto &c : cases) {
        messages.shown.clear();
        dialogs.answers.push_back(badPath);
        QFile bad(badPath);
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write(c.bytes);
        bad.close();
        window->toolButton(1)->trigger();
        ASSERT_EQ(messages.shown.size(), 1) << c.name;
        EXPECT_EQ(messages.lastText(), "Error Loading File!\r" + c.reason) << c.name;
        EXPECT_EQ(messages.shown.last().icon, MessageService::Icon::Critical) << c.name;
        tick();
        EXPECT_EQ(changed(), "") << c.name;
    }

    // the good file loads whole, and the page shows it
    dialogs.answers.push_back(basePath);
    window->toolButton(1)->trigger();
    EXPECT_EQ(messages.lastText(), QStringLiteral(" SUCCESS : Configuration Loaded "));
    EXPECT_EQ(dialogs.requests.last().filter, QStringLiteral("*.*|*.*|All files|*"));
    EXPECT_EQ(window->currentTab(), 1);
    tick();
    EXPECT_EQ(fileBox(), QStringLiteral("FILE OK"));
    ASSERT_TRUE(session.file.SaveConfig(folder.file(QStringLiteral("again.txt"))));
    QFile again(folder.file(QStringLiteral("again.txt")));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), base);
}

TEST_F(ShellTest, ExitWithABusyPageRetriesAndIsForcedOnTheNinthAttempt)
{
    pages.monitor->busy = true;
    window->menuItem(QStringLiteral("mnuFile_Exit"))->trigger();
    EXPECT_TRUE(session.ExitRequested);
    EXPECT_FALSE(window->windowsUnloaded());
    for (int attempt = 2; attempt <= 8; ++attempt) {
        tick();
        EXPECT_FALSE(window->programEnded()) << attempt;
    }
    EXPECT_EQ(pages.monitor->disableCalls, 8);
    tick();
    EXPECT_TRUE(window->programEnded());
    EXPECT_EQ(endCodes, QList<int>{0});
    EXPECT_EQ(pages.monitor->disableCalls, 8) << "the ninth attempt does not ask the pages again";
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ShellTest, ExitAsksAboutAnUnsavedFileAndNoKeepsTheProgram)
{
    session.FileState = Session::FileToSave;
    messages.answers.push_back(MessageService::Answer::No);
    window->menuItem(QStringLiteral("mnuFile_Exit"))->trigger();
    EXPECT_EQ(messages.lastText(), MainCommands::unsavedQuestion());
    EXPECT_FALSE(window->windowsUnloaded());
    EXPECT_TRUE(window->isVisible());

    // The close box runs the same routine.
    messages.answers.push_back(MessageService::Answer::Yes);
    window->close();
    EXPECT_TRUE(window->windowsUnloaded());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ShellTest, LoginInAnyLetterCaseAndLogoutDrivesTheDebugger)
{
    FrmDebug *debug = window->debugPage();
    QWidget *inner = debug->findChild<QWidget *>(QStringLiteral("cmbVariablesList"));
    ASSERT_NE(inner, nullptr);
    EXPECT_FALSE(inner->isEnabled());

    window->selectTab(5);
    tick();
    EXPECT_TRUE(window->toolButton(12)->isEnabled()) << "the debugger offers Login";
    EXPECT_FALSE(window->toolButton(13)->isEnabled());

    window->toolButton(12)->trigger();
    FrmPwd *dialog = window->passwordDialog();
    ASSERT_TRUE(dialog->isVisible());
    dialog->entry()->setText(QStringLiteral("nope"));
    dialog->findChild<QPushButton *>(QStringLiteral("CmdOk"))->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->entry()->text().isEmpty());
    EXPECT_FALSE(window->LoggedIn);

    dialog->entry()->setText(QStringLiteral("TbxSERVICE"));
    dialog->findChild<QPushButton *>(QStringLiteral("CmdOk"))->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(window->LoggedIn);
    EXPECT_TRUE(inner->isEnabled());
    tick();
    EXPECT_FALSE(window->toolButton(12)->isEnabled());
    EXPECT_TRUE(window->toolButton(13)->isEnabled());

    window->menuItem(QStringLiteral("mnuSet_Logout"))->trigger();
    EXPECT_FALSE(window->LoggedIn);
    EXPECT_FALSE(inner->isEnabled()) << "logout disables the debugger at once";
}

TEST_F(ShellTest, F1OnEveryPageAndTheHelpMenuOpenTheManualAtTheirPage)
{
    folder.addManual();
    const struct { int tab; int page; } table[] = {{1, 10}, {2, 26}, {3, 29}, {4, 32}, {5, 33}, {6, 34}};
    for (const auto &row : table) {
        window->selectTab(row.tab);
        window->activateWindow();
        QWidget *page = window->currentPageWindow();
        page->setFocus();
        viewer.calls.clear();
        QTest::keyClick(page, Qt::Key_F1);
        ASSERT_EQ(viewer.calls.size(), 1) << "tab " << row.tab;
        EXPECT_EQ(viewer.calls[0].first, QStringLiteral("AcroRd32.exe"));
        EXPECT_EQ(viewer.calls[0].second,
                  QStringLiteral("/A \"page=%1&pagemode=bookmarks&zoom=100\"  \"%2\\HX0MAN01E.pdf")
                      .arg(row.page)
                      .arg(folder.path()));
    }
    viewer.calls.clear();
    window->toolButton(15)->trigger();
    ASSERT_EQ(viewer.calls.size(), 1);
    EXPECT_TRUE(viewer.calls[0].second.startsWith(QStringLiteral("/A \"page=1&")));

    window->menuItem(QStringLiteral("mnuHelp_Site"))->trigger();
    ASSERT_EQ(launcher.urls.size(), 1);
    EXPECT_TRUE(launcher.urls[0].isValid());
}

TEST_F(ShellTest, HelpWithoutTheManualSaysItIsMissing)
{
    window->menuItem(QStringLiteral("mnuHelp_Help"))->trigger();
    EXPECT_TRUE(viewer.calls.isEmpty());
    EXPECT_TRUE(messages.lastText().startsWith(QStringLiteral("User Manual Not Found")));
}

TEST_F(ShellTest, AboutIsModelessAndSaysWhenNoSystemInformationToolExists)
{
    window->toolButton(16)->trigger();
    QDialog *about = window->aboutWindow();
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    EXPECT_EQ(messages.lastText(), QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST_F(ShellTest, PaletteMenuShowsThePaletteWindowAndItsColoursReachThePages)
{
    window->menuItem(QStringLiteral("mnuSet_Palette"))->trigger();
    FrmSectionColour *palette = window->paletteWindow();
    EXPECT_TRUE(palette->isVisible());
    palette->ApplyPalette(3);
    EXPECT_EQ(window->sectionColours().SectionBackColour[0], SectionColours::presetBackColour(3, 0));
    palette->reject();
    EXPECT_FALSE(palette->isVisible());
}

TEST(ShellStart, SplashReachesHundredBeforeTheMainWindowShows)
{
    QApplication::setQuitOnLastWindowClosed(false);
    FakeMessageService messages;
    ComponentFactory components;
    Session session(&components, &messages);
    ShellServices services;
    services.messages = &messages;
    services.programFolder = ResPaths::programFolder();
    session.FileState = Session::FileToSave;
    session.catalogue.ConfigSaved = false;

    StartUp start(session, services);
    int splashAtShow = -1;
    struct ShowWatch : QObject
    {
        std::function<void()> onShow;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Show && o->objectName() == QLatin1String("frmMain"))
                onShow();
            return false;
        }
    } watch;
    watch.onShow = [&] { splashAtShow = start.splash().PrgInit()->value(); };
    qApp->installEventFilter(&watch);
    std::unique_ptr<FrmMain> window = start.run();
    qApp->removeEventFilter(&watch);

    EXPECT_EQ(splashAtShow, 100);
    EXPECT_FALSE(start.splash().isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentPage()->Tag(), QStringLiteral("A1"));
    EXPECT_GT(session.catalogue.VarCount, 100);
    EXPECT_EQ(session.FileState, Session::FileNone);
    EXPECT_TRUE(session.catalogue.ConfigSaved);
}
