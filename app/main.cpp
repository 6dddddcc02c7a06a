#include "componentfactory.h"
#include "filedialogservice.h"
#include "frmmain.h"
#include "manualviewer.h"
#include "messageservice.h"
#include "programlauncher.h"
#include "remotecontrol.h"
#include "respaths.h"
#include "session.h"
#include "startup.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // the desktop entry krvstudio.desktop and its icon name the running program
    QGuiApplication::setDesktopFileName(QStringLiteral("krvstudio"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(ResPaths::res(QStringLiteral("ico/krvstudio-%1.png").arg(size)));
    QApplication::setWindowIcon(icon);
    DialogMessageService messages;
    QtFileDialogService dialogs;
    SystemManualViewer viewer;
    SystemProgramLauncher launcher;
    ComponentFactory components;
    Session session(&components, &messages);

    ShellServices services;
    services.messages = &messages;
    services.dialogs = &dialogs;
    services.viewer = &viewer;
    services.launcher = &launcher;
    services.password = PasswordCheck::fromFile(PasswordCheck::defaultFilePath());
    services.keyStorePath = KeyStore::defaultFilePath();
    services.searchPath = qEnvironmentVariable("PATH");
    services.programFolder = ResPaths::programFolder();
    services.endProgram = [](int code) { QCoreApplication::exit(code); };

    StartUp startUp(session, services);
    std::unique_ptr<FrmMain> window = startUp.run();
    dialogs.setParent(window.get());
    // only for measuring the program from outside (KRV_REMOTE=1)
    std::unique_ptr<RemoteControl> remote;
    if (RemoteControl::enabledByEnvironment())
        remote = std::make_unique<RemoteControl>(*window, 0, stdout);
    return app.exec();
}
