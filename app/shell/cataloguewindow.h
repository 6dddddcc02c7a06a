#pragma once

#include <QMainWindow>

class Catalogue;
class QTreeWidget;

// Lists the loaded variable catalogue, one row per entry.
class CatalogueWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit CatalogueWindow(const Catalogue &catalogue, QWidget *parent = nullptr);

    void refresh();
    QTreeWidget *list() const { return m_list; }

private:
    const Catalogue &m_catalogue;
    QTreeWidget *m_list;
};
