#include "componentfactory.h"
#include "dialogmessageservice.h"
#include "filedialogservice.h"
#include "frmmain.h"
#include "manualviewer.h"
#include "programinfo.h"
#include "programlauncher.h"
#include "remotecontrol.h"
#include "respaths.h"
#include "servicehistory.h"
#include "session.h"
#include "startup.h"
#include "writepreview.h"

#include <QApplication>
#include <QIcon>

namespace {

// Answered without a display, before the window system is touched.
const char *const HelpText =
    "Usage: krvstudio [options]\n"
    "The service tool for TBX valve controllers (control unit QEL400W): reads, edits,\n"
    "saves and writes the controller's parameter set over a serial port, and shows\n"
    "its live values and diagnostic errors.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  --version      Show the version and exit.\n"
    "Qt's own options (such as -platform or -style) are taken as well.\n"
    "\n"
    "Ports are named COM 1, COM 2, ...: COM n is the device in the environment\n"
    "variable KRV_COMn, else /dev/ttyS(n-1). F1 opens the manual at the window's page.\n";

} // namespace

int main(int argc, char *argv[])
{
    if (ProgramInfo::asked(argc, argv, "--help") || ProgramInfo::asked(argc, argv, "-h")) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (ProgramInfo::asked(argc, argv, "--version")) {
        ProgramInfo::printVersion("krvstudio");
        return 0;
    }
    QApplication app(argc, argv);
    // the desktop entry krvstudio.desktop and its icon name the running program
    QGuiApplication::setDesktopFileName(QStringLiteral("krvstudio"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(ResPaths::res(QStringLiteral("ico/krvstudio-%1.png").arg(size)));
    QApplication::setWindowIcon(icon);
    DialogMessageService messages;
    QtFileDialogService dialogs;
    DialogWritePreview writePreview;
    SystemManualViewer viewer;
    SystemProgramLauncher launcher;
    ComponentFactory components;
    Session session(&components, &messages);
    // the history krvctl shares; when it cannot be kept the user hears it once
    ServiceHistory history(ServiceHistory::defaultPath());
    session.history.setStore(&history);
    session.history.setProgram(QStringLiteral("krvstudio"));

    ShellServices services;
    services.messages = &messages;
    services.dialogs = &dialogs;
    services.viewer = &viewer;
    services.launcher = &launcher;
    services.writePreview = &writePreview;
    services.password = PasswordCheck::fromFile(PasswordCheck::defaultFilePath());
    services.keyStorePath = KeyStore::defaultFilePath();
    services.searchPath = qEnvironmentVariable("PATH");
    services.programFolder = ResPaths::programFolder();
    services.endProgram = [](int code) { QCoreApplication::exit(code); };

    StartUp startUp(session, services);
    std::unique_ptr<FrmMain> window = startUp.run();
    dialogs.setParent(window.get());
    writePreview.setParent(window.get());
    // only for measuring the program from outside (KRV_REMOTE=1)
    std::unique_ptr<RemoteControl> remote;
    if (RemoteControl::enabledByEnvironment())
        remote = std::make_unique<RemoteControl>(*window, 0, stdout);
    return app.exec();
}
