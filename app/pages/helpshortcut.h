#pragma once

class ManualHelp;
class QWidget;

// F1 anywhere in a dialog opens the user manual at the dialog's page.
namespace HelpShortcut {

void install(QWidget *window, const ManualHelp *help, int page);

} // namespace HelpShortcut
