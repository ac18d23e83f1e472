#include "QuillmereShell.h"

#include "Applicazione.h"
#include "CalcoloInBackground.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "Scelte.h"
#include "TestiCalcolo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLayout>
#include <QMdiSubWindow>
#include <QShowEvent>

#include <algorithm>
#include <utility>

int32_t UltimaLarghezza = 0;
int32_t UltimaAltezza = 0;

namespace {

// The image size a new document starts with.
constexpr int32_t LatoIniziale = 256;

} // namespace

TMDIChild::TMDIChild(QWidget *genitore) : QWidget(genitore), Panel2(new QFrame(this)), Immagine(new TImmagine(Panel2))
{
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Immagine->setObjectName(QStringLiteral("Immagine"));
    setWindowTitle(QStringLiteral("Quillmere"));
    const int bordo = 2 * Panel2->frameWidth();
    resize(LatoIniziale + bordo, LatoIniziale + bordo);
    AllineaControlli();

    PreparaTabelleDocumento(ColoratoreLog, ColoratoreFasce);
    const CParametri predefiniti;
    FrattaleJulia.Param = predefiniti.FrattaleJulia.Param;
    FrattaleVolterraLotka.Param1 = predefiniti.FrattaleVolterraLotka.Param1;
    FrattaleVolterraLotka.Param2 = predefiniti.FrattaleVolterraLotka.Param2;

    AreaDisegno.Min = predefiniti.Finestra.Min;
    AreaDisegno.Max = predefiniti.Finestra.Max;
    AreaDisegno.Larghezza = Immagine->width();
    AreaDisegno.Altezza = Immagine->height();
    // The picture the area draws on for as long as the document lives, so that
    // a repaint from the buffer reaches the screen also before the first drawing.
    AreaDisegno.Immagine = Immagine;

    Titolo = QString::fromUtf8(TitoloProgramma);
    ImpostaTitoloApplicazione(Titolo);

    TContenitore::AggiornaPannelli();
    FormCreate();
}

TMDIChild::~TMDIChild() = default;

QWidget *TMDIChild::Finestra()
{
    if (auto *sotto = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return sotto;
    return this;
}

void TMDIChild::AllineaControlli()
{
    Panel2->setGeometry(rect());
    Immagine->setGeometry(Panel2->contentsRect());
}

void TMDIChild::FormCreate()
{
    Immagine->NuovaBitmap(LatoIniziale, LatoIniziale);
    Immagine->ColoreRiempimento = 0;
    AreaDisegno.MaxIterazioni = 120;
    Immagine->ImpostaStirata(true);
    Immagine->RiempiRettangolo(0, 0, Immagine->width(), Immagine->height());
    TContenitore::AggiornaPannelli();
}

void TMDIChild::FormShow()
{
    ImpostaDimensioni(LatoIniziale, LatoIniziale);
    ImpostaTitoloApplicazione(Titolo);
    TContenitore::AggiornaPannelli();
}

void TMDIChild::FormActivate()
{
    TContenitore::AggiornaPannelli();
}

void TMDIChild::FormClose()
{
    setAttribute(Qt::WA_DeleteOnClose);
    Finestra()->setAttribute(Qt::WA_DeleteOnClose);
}

void TMDIChild::FormResize()
{
    const int32_t w = Immagine->width();
    const int32_t h = Immagine->height();
    if (w == h)
        return;
    if (w != UltimaLarghezza && h == UltimaAltezza)
        ImpostaDimensioni(w, w);
    else if (h != UltimaAltezza && w == UltimaLarghezza)
        ImpostaDimensioni(h, h);
    else if (w != UltimaLarghezza && h != UltimaAltezza)
        ImpostaDimensioni(std::min(w, h), std::min(w, h));
    UltimaLarghezza = Immagine->width();
    UltimaAltezza = Immagine->height();
    AggiornaStato();
}

void TMDIChild::ImpostaDimensioni(int32_t larghezza, int32_t altezza)
{
    const int32_t dw = larghezza - Immagine->width();
    const int32_t dh = altezza - Immagine->height();
    if (dw == 0 && dh == 0)
        return;
    QWidget *finestra = Finestra();
    finestra->resize(finestra->width() + dw, finestra->height() + dh);
    // A visible document has already been laid out through its resize events;
    // one not yet visible gets them only when shown, so lay it out now.
    if (!isVisible()) {
        if (finestra != this && finestra->layout())
            finestra->layout()->setGeometry(finestra->contentsRect());
        AllineaControlli();
    }
}

void TMDIChild::RidisegnaDaBuffer()
{
    Immagine->RiempiRettangolo(0, 0, Immagine->width(), Immagine->height());
    // Pixels beyond the bitmap cannot show, and writing them would only store
    // the buffer's own values again: the loops stop at the bitmap's edges.
    // Reads beyond the buffer give black.
    const int32_t righe = std::min(AreaDisegno.Altezza, Immagine->AltezzaBitmap());
    const int32_t colonne = std::min(AreaDisegno.Larghezza, Immagine->LarghezzaBitmap());
    for (int32_t i = 0; i < righe; ++i)
        for (int32_t j = 0; j < colonne; ++j)
            AreaDisegno.ScriviPixel(AreaDisegno.LeggiPixel(j, i), j, i);
    Immagine->Ridisegna();
}

QSize TMDIChild::sizeHint() const
{
    const int bordo = 2 * Panel2->frameWidth();
    return {LatoIniziale + bordo, LatoIniziale + bordo};
}

void TMDIChild::showEvent(QShowEvent *evento)
{
    QWidget::showEvent(evento);
    if (!Mostrato) {
        Mostrato = true;
        FormShow();
    }
}

void TMDIChild::closeEvent(QCloseEvent *evento)
{
    // The drawing's loop runs on this document: it must end, and its worker
    // be joined, before the document may go. The close is done once it has.
    if (InCalcolo()) {
        StopRichiesto = true;
        ChiusuraRinviata = true;
        evento->ignore();
        return;
    }
    FormClose();
    evento->accept();
}

void TMDIChild::resizeEvent(QResizeEvent *evento)
{
    QWidget::resizeEvent(evento);
    AllineaControlli();
    FormResize();
}

bool TMDIChild::InCalcolo() const
{
    return CalcoloInBackground::InCorso(AreaDisegno);
}

void TMDIChild::EseguiCalcolo()
{
    // A drawing of this document parked under a nested one still writes into
    // the picture and the buffer: neither may be resized or cleared under it.
    if (InCalcolo())
        return;

    FrattaleScelto = &FrattaleDaScelta(SceltaFrattale, FrattaleMandelbrot, FrattaleJulia, FrattaleVolterraLotka);
    DisegnatoreScelto = &DisegnatoreDaScelta(SceltaMetodo, DisegnatorePuntoPunto, DisegnatoreBlocco);
    InternoScelto = &InternoDaScelta(SceltaInterno, ColoratoreSolido, ColoratoreLog);
    EsternoScelto = &EsternoDaScelta(SceltaEsterno, ColoratoreFasce);

    // A control with no area gives an empty picture, in which the drawing
    // methods draw nothing.
    const int32_t larghezza = Immagine->width();
    const int32_t altezza = Immagine->height();
    Immagine->ImpostaStirata(false);
    Immagine->ImpostaDimensioniBitmap(larghezza, altezza);

    AreaDisegno.Frattale = FrattaleScelto;
    AreaDisegno.Interno = InternoScelto;
    AreaDisegno.Esterno = EsternoScelto;
    AreaDisegno.Immagine = Immagine;
    AreaDisegno.Larghezza = larghezza;
    AreaDisegno.Altezza = altezza;
    AreaDisegno.PreparaBuffer(larghezza, altezza);

    Immagine->RiempiRettangolo(0, 0, larghezza, altezza);
    ModoOccupato();

    try {
        AttendiCalcolo(*this, *DisegnatoreScelto, AreaDisegno, Titolo);
    } catch (...) {
        ChiudiSeRinviata();
        throw;
    }
    ChiudiSeRinviata();
}

void TMDIChild::ChiudiSeRinviata()
{
    // Closed while it drew: the worker is gone, the window may close now. The
    // toolkit destroys it later, once the drawing's call has returned.
    if (std::exchange(ChiusuraRinviata, false))
        Finestra()->close();
}

void TMDIChild::ModoOccupato()
{
    Immagine->setEnabled(false);
    TempoImpiegato = 0;
    TempoPrevisto = 1;
    StopRichiesto = false;
    TContenitore::MostraOccupato();
    Finestra()->repaint();
}

void TMDIChild::ModoLibero()
{
    Finestra()->repaint();
    Immagine->setEnabled(true);
    Immagine->ImpostaStirata(true);
    TContenitore::MostraLibero();
}

void TMDIChild::AggiornaStato()
{
    TContenitore::ScriviStato(1, TestoDimensione(Immagine->width(), Immagine->height()));
    TContenitore::ScriviStato(2, TestoTempi(TempoImpiegato, TempoPrevisto));
}

void TMDIChild::ElaboraEventi()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TMDIChild::RidisegnaImmagine()
{
    Immagine->Ridisegna();
}

void TMDIChild::ImpostaTitolo(const QString &testo)
{
    TContenitore::ImpostaTitolo(testo);
}

void TMDIChild::ImpostaTitoloApplicazione(const QString &testo)
{
    ::ImpostaTitoloApplicazione(testo);
}
