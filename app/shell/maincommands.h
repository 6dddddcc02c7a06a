#pragma once

#include <QObject>
#include <QString>

class CompareCommands;
class FrmMain;
class Session;

// The commands of the main window's menus and toolbar: connect and
// disconnect, the transfers, load and save, port and baud selection, login
// and logout, help, the next page and exit.
class MainCommands : public QObject
{
    Q_OBJECT
public:
    explicit MainCommands(FrmMain &main);

    // Connect when not connected, else Disconnect.
    void ConnectCommand();
    void Read();
    void ReadAll();
    void Write();
    void WriteAll();
    void Reset();
    void Load();
    void Save();
    void SelectPort(int index);
    void SelectBaud(int index);
    void Login();
    void Logout();
    void ShowNextPage();
    void Exit();
    void Help();
    void WebSite();
    void About();
    void Palette();

    // A correct password: logged in, and the debugger follows.
    void loginAccepted();

    // A toolbar click, dispatched by the button's key.
    void buttonClicked(const QString &key);

    static QString unsavedQuestion();

    // The File menu's comparisons with a file and with the unit.
    CompareCommands &compare() { return *m_compare; }

private:
    using Command = void (MainCommands::*)();
    void wire();
    // Runs a menu or toolbar command; one that uses the link goes through
    // the link scheduler (after a polling cycle, never inside a transfer).
    void run(Command command);
    void Connect();
    void Disconnect();
    // "Operation Failed :" + the text (and, after a whole-set transfer, where
    // it stopped), the link given up, the window usable again.
    void transferFailed(const QString &error, bool wholeSet = false);
    void setConnected();
    // Clears the file relation: nothing to save, nothing differs.
    void clearFileState();
    QString textFolder() const;
    // The preview of what a write of the mask would change on the unit; true
    // when the user goes on (or no preview is shown).
    bool previewAccepted(const QString &command, int16_t mask);

    FrmMain &m_main;
    Session &m_session;
    CompareCommands *m_compare;
};
