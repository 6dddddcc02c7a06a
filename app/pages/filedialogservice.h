#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

// The common open/save file dialog and the colour dialog, behind one seam so
// tests can answer them. An empty result means the user cancelled.
class FileDialogService
{
public:
    struct Request
    {
        QString title;
        QString filter;       // as the program writes it: "*.txt|*.txt"
        QString folder;
        QString fileName;     // proposed name (save only)
    };

    virtual ~FileDialogService() = default;
    virtual std::optional<QString> openFile(const Request &request) = 0;
    virtual std::optional<QString> saveFile(const Request &request) = 0;
    virtual std::optional<QColor> chooseColour(const QColor &initial) = 0;
};

// QFileDialog and QColorDialog over a parent window.
class QtFileDialogService : public FileDialogService
{
public:
    explicit QtFileDialogService(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    std::optional<QString> openFile(const Request &request) override;
    std::optional<QString> saveFile(const Request &request) override;
    std::optional<QColor> chooseColour(const QColor &initial) override;

    // "*.txt|*.txt" -> "*.txt (*.txt)"; pairs of description and pattern.
    static QString qtFilter(const QString &filter);

private:
    QWidget *m_parent;
};
