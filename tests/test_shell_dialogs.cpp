// The shell's small windows and services: wait window, login, about and
// system information, help, splash, file dialog filters, the compare window.
#include "fakemessageservice.h"
#include "shellfakes.h"
#include "tempfile.h"
#include "waituntil.h"

#include "comparetable.h"
#include "comparewindow.h"
#include "manualviewer.h"
#include "dialogmessageservice.h"
#include "filedialogservice.h"
#include "frmabout.h"
#include "frmhistory.h"
#include "frminit.h"
#include "frmpwd.h"
#include "frmwait.h"
#include "keystore.h"
#include "manualhelp.h"
#include "passwordcheck.h"
#include "programlauncher.h"
#include "sysinfo.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTableView>
#include <QCheckBox>
#include <QDateEdit>
#include <QTableWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>


TEST(WaitWindow, DrawWaitBarShowsCaptionAndValueAndClosesAtHundred)
{
    QWidget mainWindow;
    FrmWait wait(&mainWindow);
    mainWindow.setEnabled(false); // as during a transfer
    int16_t value = 40;
    wait.DrawWaitBar(value, QStringLiteral("Writing..."));
    EXPECT_TRUE(wait.isVisible());
    EXPECT_EQ(wait.windowTitle(), QStringLiteral("Writing..."));
    EXPECT_EQ(wait.progressBar()->value(), 40);
    const QImage bar = wait.progressBar()->grab().toImage();
    EXPECT_EQ(bar.pixelColor(2, bar.height() / 2), wait.palette().color(QPalette::Active, QPalette::Highlight))
        << "the bar is drawn in an enabled bar's colours while the main window is disabled";

    value = 100;
    wait.DrawWaitBar(value, QStringLiteral("Writing..."));
    EXPECT_FALSE(wait.isVisible()) << "100 closes the window in the same call";
    EXPECT_EQ(wait.progressBar()->value(), 100);

    value = 5;
    wait.DrawWaitBar(value, QStringLiteral("Reading..."));
    EXPECT_TRUE(wait.isVisible()) << "a later transfer shows it again";
    wait.closeWait();
    EXPECT_FALSE(wait.isVisible());
}

TEST(MessageBoxes, BelongToTheMainWindowEvenWhenNoWindowIsActive)
{
    QMainWindow mainWindow;
    mainWindow.show();
    QWidget *parent = nullptr;
    QString text;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer.stop();
        parent = box->parentWidget();
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    answer.start(10);
    DialogMessageService messages;
    const auto answered = messages.show(QStringLiteral("Lock the control unit?"), MessageService::Buttons::YesNo,
                                        MessageService::Icon::Question, QString());
    EXPECT_EQ(text, QStringLiteral("Lock the control unit?"));
    EXPECT_EQ(parent, &mainWindow) << "centred on the main window and kept above it";
    EXPECT_EQ(answered, MessageService::Answer::No);
}

TEST(Login, DefaultPasswordInAnyLetterCase)
{
    const PasswordCheck check;
    EXPECT_TRUE(check.matches(QStringLiteral("tbxservice")));
    EXPECT_TRUE(check.matches(QStringLiteral("TBXSERVICE")));
    EXPECT_TRUE(check.matches(QStringLiteral("TbxService")));
    EXPECT_FALSE(check.matches(QStringLiteral("tbxservice ")));
    EXPECT_FALSE(check.matches(QString()));
}

TEST(Login, FileBesideTheProgramReplacesThePassword)
{
    TempFolder dir;
    const QByteArray hash = PasswordCheck::hashOf("pepper", QStringLiteral("workshop7"));
    const QString path = dir.write(QStringLiteral("password.ini"), "[Login]\nSalt=pepper\nHash=" + hash + "\n");
    const PasswordCheck check = PasswordCheck::fromFile(path);
    EXPECT_TRUE(check.matches(QStringLiteral("WorkShop7")));
    EXPECT_FALSE(check.matches(QStringLiteral("tbxservice")));

    // A damaged file does not lock everybody out: the built-in password stays.
    const QString broken = dir.write(QStringLiteral("broken.ini"), "[Login]\nSalt=pepper\nHash=12ab\n");
    EXPECT_TRUE(PasswordCheck::fromFile(broken).matches(QStringLiteral("tbxservice")));
    EXPECT_TRUE(PasswordCheck::fromFile(dir.path(QStringLiteral("missing.ini"))).matches(QStringLiteral("tbxservice")));
}

TEST(Login, CorrectPasswordAcceptsAndWrongOneKeepsTheDialogOpen)
{
    FakeMessageService messages;
    FrmPwd dialog(PasswordCheck(), &messages);
    int loggedIn = 0;
    QObject::connect(&dialog, &FrmPwd::loggedIn, [&] { ++loggedIn; });
    dialog.open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Password Required"));

    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("CmdOk"));
    ASSERT_NE(ok, nullptr);
    dialog.entry()->setText(QStringLiteral("guess"));
    ok->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.entry()->text().isEmpty());
    EXPECT_EQ(loggedIn, 0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), QStringLiteral("Wrong Password"));

    dialog.entry()->setText(QStringLiteral("TBXSERVICE"));
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(loggedIn, 1);
    EXPECT_TRUE(dialog.entry()->text().isEmpty()) << "the password does not stay in memory in the box";
}

TEST(Login, ApostropheIsSwallowedAndEscCancels)
{
    FrmPwd dialog(PasswordCheck(), nullptr);
    int loggedIn = 0;
    QObject::connect(&dialog, &FrmPwd::loggedIn, [&] { ++loggedIn; });
    dialog.open();
    QTest::keyClicks(dialog.entry(), QStringLiteral("ab'c"));
    EXPECT_EQ(dialog.entry()->text(), QStringLiteral("abc"));

    QTest::keyClick(dialog.entry(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(loggedIn, 0);
}

TEST(KeyStore, TextValuesNumbersAndFailures)
{
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("keys.ini"));
    {
        QSettings s(path, QSettings::IniFormat);
        s.beginGroup(QStringLiteral("HKEY_LOCAL_MACHINE/SOFTWARE/Tools/Info"));
        s.setValue(QStringLiteral("PATH"), QStringLiteral("/opt/info/bin/sysinfo"));
        s.setValue(QStringLiteral("Level"), QStringLiteral("dword:0102000A"));
        s.setValue(QStringLiteral("Bad"), QStringLiteral("dword:xyz"));
        s.setValue(QStringLiteral("Long"), QString(1024, QLatin1Char('x')));
        s.setValue(QStringLiteral("Nul"), QStringLiteral("abc") + QChar(0) + QStringLiteral("def"));
        s.endGroup();
    }
    const KeyStore keys(path);
    const QString root = QString::fromLatin1(KeyStore::LocalMachine);
    QString value = QStringLiteral("stale");
    EXPECT_TRUE(keys.GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Info"), QStringLiteral("PATH"), value));
    EXPECT_EQ(value, QStringLiteral("/opt/info/bin/sysinfo"));

    // Byte by byte from the highest, each byte without leading zeros.
    EXPECT_TRUE(keys.GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Info"), QStringLiteral("Level"), value));
    EXPECT_EQ(value, QStringLiteral("&h120A"));

    EXPECT_TRUE(keys.GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Info"), QStringLiteral("Nul"), value));
    EXPECT_EQ(value, QStringLiteral("abc"));

    value = QStringLiteral("stale");
    EXPECT_FALSE(keys.GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Info"), QStringLiteral("Long"), value));
    EXPECT_TRUE(value.isEmpty());
    value = QStringLiteral("stale");
    EXPECT_FALSE(keys.GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Info"), QStringLiteral("Bad"), value));
    EXPECT_TRUE(value.isEmpty());
    EXPECT_FALSE(keys.GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Other"), QStringLiteral("PATH"), value));
    EXPECT_FALSE(KeyStore(dir.path(QStringLiteral("none.ini")))
                     .GetKeyValue(root, QStringLiteral("SOFTWARE\\Tools\\Info"), QStringLiteral("PATH"), value));
    EXPECT_TRUE(value.isEmpty());
}

TEST(SysInfo, NothingFoundSaysUnavailable)
{
    TempFolder dir;
    FakeMessageService messages;
    RecordingLauncher launcher;
    const KeyStore keys(dir.path(QStringLiteral("none.ini")));
    SysInfo info(keys, dir.path(QStringLiteral("emptybin")), &launcher, &messages);
    info.StartSysInfo();
    EXPECT_TRUE(launcher.programs.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.lastText(), QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST(SysInfo, KeyStoreFirstThenToolFolderThenSearchPath)
{
    TempFolder dir;
    FakeMessageService messages;
    RecordingLauncher launcher;
    QDir(dir.path(QString())).mkpath(QStringLiteral("bin"));
    QDir(dir.path(QString())).mkpath(QStringLiteral("tools"));
    const QString onPath = dir.write(QStringLiteral("bin/hardinfo"), "#!/bin/sh\n");
    QFile::setPermissions(onPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString keyPath = dir.path(QStringLiteral("keys.ini"));
    SysInfo info(KeyStore(keyPath), dir.path(QStringLiteral("bin")), &launcher, &messages);
    EXPECT_EQ(info.findProgram(), QFileInfo(onPath).absoluteFilePath()) << "no key: the search path";

    // The tool folder counts only when the tool is in it.
    {
        QSettings s(keyPath, QSettings::IniFormat);
        s.setValue(QStringLiteral("HKEY_LOCAL_MACHINE/SOFTWARE/Microsoft/Shared Tools Location/MSINFO"),
                   dir.path(QStringLiteral("tools")));
    }
    const KeyStore keys(keyPath);
    SysInfo withFolder(keys, QString(), &launcher, &messages);
    EXPECT_TRUE(withFolder.findProgram().isEmpty());
    const QString tool = dir.write(QStringLiteral("tools/MSINFO32.EXE"), "x");
    EXPECT_EQ(withFolder.findProgram(), QDir(dir.path(QStringLiteral("tools"))).filePath(QStringLiteral("MSINFO32.EXE")));

    {
        QSettings s(keyPath, QSettings::IniFormat);
        s.setValue(QStringLiteral("HKEY_LOCAL_MACHINE/SOFTWARE/Microsoft/Shared Tools/MSINFO/PATH"),
                   QStringLiteral("/usr/local/bin/msinfo"));
    }
    SysInfo withPath(keys, dir.path(QStringLiteral("bin")), &launcher, &messages);
    withPath.StartSysInfo();
    EXPECT_EQ(launcher.programs, QStringList{QStringLiteral("/usr/local/bin/msinfo")});
    EXPECT_TRUE(messages.shown.isEmpty());
    Q_UNUSED(tool);
}

TEST(About, CaptionVersionMakerAndSysInfoButton)
{
    TempFolder dir;
    FakeMessageService messages;
    RecordingLauncher launcher;
    const KeyStore keys(dir.path(QStringLiteral("none.ini")));
    const SysInfo info(keys, QString(), &launcher, &messages);
    FrmAbout about(info);
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("KRV Studio-[Info]"));
    EXPECT_FALSE(about.isModal());
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version : 16.0.1"));
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("KRV Studio"));
    EXPECT_FALSE(about.findChild<QLabel *>(QStringLiteral("LblFactory"))->text().isEmpty());
    EXPECT_FALSE(about.findChild<QLabel *>(QStringLiteral("lblDescription"))->text().isEmpty());

    about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    EXPECT_EQ(messages.lastText(), QStringLiteral("System Information Is Unavailable At This Time"));
    about.findChild<QPushButton *>(QStringLiteral("CmdOk"))->click();
    EXPECT_FALSE(about.isVisible());
}

TEST(Help, ParameterTextIsBuiltExactly)
{
    EXPECT_EQ(ManualHelp::parameterText(33, QStringLiteral("C:\\KRV")),
              QStringLiteral("/A \"page=33&pagemode=bookmarks&zoom=100\"  \"C:\\KRV\\HX0MAN01E.pdf"));
    EXPECT_EQ(ManualHelp::parameterText(1, QStringLiteral("/opt/krv")),
              QStringLiteral("/A \"page=1&pagemode=bookmarks&zoom=100\"  \"/opt/krv\\HX0MAN01E.pdf"));
}

TEST(Help, MissingManualIsReportedAndPresentManualIsOpened)
{
    TempFolder dir;
    FakeMessageService messages;
    RecordingViewer opener;
    const QString folder = dir.path(QStringLiteral("prog"));
    QDir().mkpath(folder);
    ManualHelp help(&opener, &messages, folder);

    help.open(26);
    EXPECT_TRUE(opener.calls.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.lastText().startsWith(QStringLiteral("User Manual Not Found")));

    dir.write(QStringLiteral("prog/HX0MAN01E.pdf"), "%PDF-1.4\n");
    help.open(26);
    ASSERT_EQ(opener.calls.size(), 1);
    EXPECT_EQ(opener.calls[0].first, QStringLiteral("AcroRd32.exe"));
    EXPECT_EQ(opener.calls[0].second, ManualHelp::parameterText(26, folder));
}

TEST(Splash, BarReachesHundredBeforeTheMainWindowIsShownHoweverFastTheLoad)
{
    FrmInit splash;
    int flagResets = 0;
    int valueAfterLoad = -1;
    QElapsedTimer clock;
    clock.start();
    splash.run([&] { valueAfterLoad = splash.PrgInit()->value(); }, [&] { ++flagResets; });
    EXPECT_EQ(splash.PrgInit()->value(), 100);
    EXPECT_EQ(splash.PrgInit()->maximum(), 100);
    EXPECT_LT(valueAfterLoad, 100) << "an instant load still waits for the bar";
    EXPECT_EQ(flagResets, 2);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.TmrInit()->isActive());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(splash.findChild<QLabel *>(QStringLiteral("imgPhoto"))->toolTip(),
              QStringLiteral("Typical valve configuration"));
}

TEST(FileDialogs, FilterPairsBecomeQtFilters)
{
    EXPECT_EQ(QtFileDialogService::qtFilter(QStringLiteral("*.txt|*.txt")), QStringLiteral("*.txt (*.txt)"));
    EXPECT_EQ(QtFileDialogService::qtFilter(QStringLiteral("*.*|*.*")), QStringLiteral("*.* (*.*)"));
    EXPECT_EQ(QtFileDialogService::qtFilter(QStringLiteral("Text|*.txt|All|*")), QStringLiteral("Text (*.txt);;All (*)"));
}

TEST(CompareWindow, SortsValuesAsNumbersAndCopiesExportsAndPrintsTheRowsAsShown)
{
    TempFolder folder;
    ScriptedFileDialogs dialogs;
    FakeMessageService messages;
    CompareWindow window({&dialogs, &messages, folder.path(QString())});
    const ConfigCompare::Value nine{true, 9, false};
    const ConfigCompare::Value ten{true, 10, false};
    const ConfigCompare::Value high{true, 700, true};
    window.showComparison(QStringLiteral("Compare with File"), {QStringLiteral("Program"), {}, {}},
                          {QStringLiteral("set, 2.txt"), {}, {}}, QStringLiteral("File value"),
                          {{1, QStringLiteral("RAMP"), nine, ten, QStringLiteral("ms")},
                           {2, QStringLiteral("LIMIT"), ten, high, QStringLiteral("mA")},
                           {3, QStringLiteral("GAIN, X"), {}, nine, QString()}});
    window.show();
    QHeaderView *header = window.table()->view()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
    const QString sorted = QStringLiteral("Name\tProgram value\tFile value\tUnit\nGAIN, X\t(missing)\t9\t\n"
                                          "RAMP\t9\t10\tms\nLIMIT\t10\t700 (out of range)\tmA\n");
    window.findChild<QPushButton *>(QStringLiteral("CmdCopy"))->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), sorted);

    dialogs.answers.push_back(folder.path(QStringLiteral("table")));
    window.findChild<QPushButton *>(QStringLiteral("CmdExport"))->click();
    QFile csv(folder.path(QStringLiteral("table.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), QByteArray("Name,Program value,File value,Unit\n\"GAIN, X\",(missing),9,\nRAMP,9,10,ms\n"
                                        "LIMIT,10,700 (out of range),mA\n"));

    dialogs.answers.push_back(folder.path(QStringLiteral("table.pdf")));
    window.findChild<QPushButton *>(QStringLiteral("CmdPrint"))->click();
    QFile pdf(folder.path(QStringLiteral("table.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdf.readAll();
    EXPECT_TRUE(pdfBytes.startsWith("%PDF-") && pdfBytes.trimmed().endsWith("%%EOF"));   // whole, not cut off
    EXPECT_TRUE(messages.shown.isEmpty());

    // nothing differs: said in place of the table
    window.showComparison(QStringLiteral("Compare with File"), {QStringLiteral("Program"), {}, {}},
                          {QStringLiteral("same.txt"), {}, {}}, QStringLiteral("File value"), {});
    EXPECT_TRUE(window.table()->view()->isHidden());
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("LblNoDifference"))->text(), QStringLiteral("No parameter differs."));
    EXPECT_FALSE(window.findChild<QLabel *>(QStringLiteral("LblNoDifference"))->isHidden());
}

TEST(HistoryWindow, FiltersAsTypedAndExportsWhatItShows)
{
    TempFolder folder;
    ServiceHistory store(folder.path(QStringLiteral("history.sqlite")));
    const auto row = [](const QString &time, const QString &serial, const QString &parameter) {
        ServiceHistory::Row r;
        r.time = time;
        r.program = QStringLiteral("krvstudio");
        r.serial = serial;
        r.action = QStringLiteral("Write All");
        r.parameter = parameter;
        r.newValue = QStringLiteral("a, \"quoted\" value");
        r.result = ServiceHistory::Done;
        return r;
    };
    ASSERT_TRUE(store.append({row("2026-03-01T10:00:00.000Z", "7", "IMAX_1A"),
                              row("2026-03-02T10:00:00.000Z", "7", "IMIN_1A"),
                              row("2026-03-03T10:00:00.000Z", "8", "IMAX_2B")}));
    ScriptedFileDialogs dialogs;
    FakeMessageService messages;
    FrmHistory window(&store, {&dialogs, &messages, folder.path(QString())});
    window.show();
    auto *view = window.findChild<QTableView *>(QStringLiteral("lvHistory"));
    ASSERT_NE(view, nullptr);
    const QAbstractItemModel *table = view->model();
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->index(0, 7).data().toString(), QStringLiteral("IMAX_2B"));   // newest first

    // the file is read again once the typing pauses, not per key
    int reads = 0;
    QObject::connect(table, &QAbstractItemModel::modelReset, [&reads] { ++reads; });
    QTest::keyClicks(window.findChild<QLineEdit *>(QStringLiteral("txtParameter")), QStringLiteral("max"));
    EXPECT_TRUE(waitUntil([&] { return table->rowCount() == 2; }, 3000));
    EXPECT_EQ(reads, 1);
    window.findChild<QCheckBox *>(QStringLiteral("chkTo"))->setChecked(true);
    window.findChild<QDateEdit *>(QStringLiteral("dtTo"))->setDate(QDate(2026, 3, 2));
    ASSERT_TRUE(waitUntil([&] { return table->rowCount() == 1; }, 3000));
    EXPECT_EQ(table->index(0, 0).data().toString(), QStringLiteral("2026-03-01T10:00:00.000Z"));

    dialogs.answers.push_back(folder.path(QStringLiteral("export.csv")));
    window.findChild<QPushButton *>(QStringLiteral("cmdExport"))->click();
    QFile file(folder.path(QStringLiteral("export.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), ServiceHistory::csv(window.rowsShown()));
    EXPECT_EQ(window.rowsShown().size(), 1);

    // a folder that takes no file: said with the reason, nothing left behind
    const QString nowhere = folder.path(QStringLiteral("missing/export.csv"));
    dialogs.answers.push_back(nowhere);
    window.findChild<QPushButton *>(QStringLiteral("cmdExport"))->click();
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_TRUE(messages.lastText().startsWith(QStringLiteral("Cannot write ") + nowhere + QStringLiteral(": ")));
    EXPECT_GT(messages.lastText().size(), QString(QStringLiteral("Cannot write ") + nowhere + QStringLiteral(": ")).size());
    EXPECT_FALSE(QFileInfo::exists(nowhere));

    // a damaged file: the window says why and offers no export
    ServiceHistory damaged(folder.write(QStringLiteral("damaged.sqlite"), QByteArray(2048, 'x')));
    FrmHistory off(&damaged, {&dialogs, &messages, QString()});
    off.show();
    EXPECT_EQ(off.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
              damaged.offText() + QStringLiteral("."));
    EXPECT_TRUE(damaged.offText().contains(QStringLiteral("file is not a database")));
    EXPECT_FALSE(off.findChild<QPushButton *>(QStringLiteral("cmdExport"))->isEnabled());
}
