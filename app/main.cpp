// Quillmere: starts the main window maximized, opens the files named on its
// command line and runs until it is closed.

#include "Applicazione.h"
#include "FormContenitore.h"

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TContenitore finestra;
    finestra.showMaximized();
    // The files named on the command line (a file manager's double click
    // names one) open once the event loop runs.
    finestra.ApriFileDaFuori(QCoreApplication::arguments().mid(1));
    return applicazione.exec();
}
