// Quillmere: starts the main window maximized and runs until it is closed.

#include "Applicazione.h"
#include "FormContenitore.h"

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TContenitore finestra;
    finestra.showMaximized();
    return applicazione.exec();
}
