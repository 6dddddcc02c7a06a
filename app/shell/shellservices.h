#pragma once

#include "passwordcheck.h"
#include "writablepaths.h"

#include <QString>
#include <functional>

class FileDialogService;
class ManualViewer;
class MessageService;
class PageFactory;
class ProgramLauncher;
class WritePreview;

// The seams of the shell: the program passes the real services, tests pass
// scripted ones.
struct ShellServices
{
    MessageService *messages = nullptr;
    FileDialogService *dialogs = nullptr;
    ManualViewer *viewer = nullptr;
    ProgramLauncher *launcher = nullptr;
    PageFactory *pages = nullptr;          // nullptr: the standard six pages
    WritePreview *writePreview = nullptr;  // nullptr: a write goes out without a preview
    PasswordCheck password;
    QString keyStorePath;                  // the settings file standing in for the registry
    QString searchPath;                    // where to look for a system-information program
    QString programFolder;                 // where res/ and the manual are
    WritablePaths::UserFolders userFolders; // where an installed copy writes (empty: the standard places)
    WritablePaths::Target writeTarget = WritablePaths::Target::Detect;
    std::function<void(int)> endProgram;   // leaves the event loop with an exit code
};
