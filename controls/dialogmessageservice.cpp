#include "dialogmessageservice.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

namespace {

// The window in front; without a window manager to make one active, the
// program's main window.
QWidget *ownerWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && qobject_cast<QMainWindow *>(window))
            return window;
    return nullptr;
}

} // namespace

DialogMessageService::DialogMessageService(QString defaultTitle) : m_defaultTitle(std::move(defaultTitle)) {}

MessageService::Answer DialogMessageService::show(const QString &text, Buttons buttons, Icon icon,
                                                  const QString &title)
{
    // Parented to the window in front, so the box stays above it, centred on it,
    // with a dialog's frame instead of a top-level window's.
    QMessageBox box(ownerWindow());
    box.setWindowTitle(title.isEmpty() ? m_defaultTitle : title);
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}
