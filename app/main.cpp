#include "catalogue.h"
#include "cataloguewindow.h"
#include "messageservice.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DialogMessageService messages;
    Catalogue catalogue(&messages);
    catalogue.LoadRamList(Catalogue::defaultRamListPath());
    CatalogueWindow window(catalogue);
    window.show();
    return app.exec();
}
