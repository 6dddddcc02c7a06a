#include "helpshortcut.h"

#include "manualhelp.h"

#include <QShortcut>
#include <QWidget>

namespace HelpShortcut {

void install(QWidget *window, const ManualHelp *help, int page)
{
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [help, page] {
        if (help)
            help->open(page);
    });
}

} // namespace HelpShortcut
