#pragma once

#include "catalogue.h"
#include "configfile.h"
#include "connectionstate.h"
#include "devlink.h"
#include "draw.h"
#include "e2image.h"
#include "historyrecorder.h"
#include "linkscheduler.h"
#include "systemstate.h"
#include "unitwords.h"

#include <QString>
#include <cstdint>

class CommentPage;
class IDeviceLinkFactory;
class MainWindowView;
class MessageService;
class PageSet;
class WaitWindow;

// Everything the program knows about the controller and the link, plus the
// window-wide state the shared routines read, in one object a test creates
// fresh. The shell owns one and fills in the window seams once its windows
// exist; every seam may stay unset (nullptr) and is then skipped.
// The link's use (connection state, progress, busy) belongs to `link`, the
// valve system the pages share to `system`; the names below that refer to
// them are kept for the many places that only read them.
class Session
{
public:
    Session(IDeviceLinkFactory *deviceLinks, MessageService *messages);
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Without a usable variable list: says why (path and first bad line), true.
    bool refusedWithoutList();

    // File state values.
    enum : int16_t { FileNone = 0, FileToSave = 1, FileOk = 2 };

    MessageService *messages;

    Catalogue catalogue;
    DevLink devLink;
    RS232 rs232;
    LinkScheduler link;
    SystemState system;

    ConnectionState &IsConnectObj;
    int16_t FileState = FileNone;
    bool CommentEdited = false;
    bool ParamDiff = false;
    bool ExitRequested = false;

    // Progress of the running transfer, shown by the status bar and the wait window.
    int16_t &ProgressPercent;
    QString &StatusText;

    // Seams the shell provides.
    MainWindowView *mainWindow = nullptr;
    PageSet *pages = nullptr;
    WaitWindow *waitWindow = nullptr;
    CommentPage *commentPage = nullptr;

    // The modules, in the order they depend on each other.
    Draw draw;
    E2Image e2Image;
    File file;
    // What the connected unit is known to hold, as read or written.
    UnitWords unitWords;
    // The service history of the writes; records nothing until given a store.
    HistoryRecorder history;
};
