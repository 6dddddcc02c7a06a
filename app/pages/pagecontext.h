#pragma once

#include <functional>

class FileDialogService;
class MainWindowView;
class ManualHelp;
class SectionColours;
class Session;
class TextBoxView;

// What a page needs of the program around it; the main window fills it in.
struct PageContext
{
    Session *session = nullptr;
    MainWindowView *mainWindow = nullptr;
    TextBoxView *txtConnect = nullptr;   // the main window's connection box
    TextBoxView *txtPar = nullptr;       // the main window's parameter-status box
    const ManualHelp *help = nullptr;
    FileDialogService *dialogs = nullptr;
    const SectionColours *colours = nullptr;   // SectionBackColour, SectionTextColour
    std::function<bool()> loggedIn;
};
