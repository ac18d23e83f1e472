#include "QuillmereShell.h"

#include "Applicazione.h"
#include "CalcoloInBackground.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "Scelte.h"
#include "ScelteColori.h"
#include "TestiCalcolo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QShowEvent>

#include <algorithm>
#include <utility>

int32_t UltimaLarghezza = 0;
int32_t UltimaAltezza = 0;

namespace {

// The image size a new document starts with.
constexpr int32_t LatoIniziale = 256;

// The save dialog: a name whose folder does not exist is refused with a
// message, and the dialog stays open for another.
class CDialogoSalva final : public QFileDialog
{
public:
    explicit CDialogoSalva(QWidget *genitore) : QFileDialog(genitore) {}

    void accept() override
    {
        const QStringList scelti = selectedFiles();
        if (!scelti.isEmpty()) {
            const QFileInfo nome(scelti.first());
            if (!nome.isDir() && !nome.absoluteDir().exists()) {
                QMessageBox avviso(QMessageBox::Warning, windowTitle(),
                                   QStringLiteral("La cartella %1 non esiste.")
                                       .arg(QDir::toNativeSeparators(nome.absolutePath())),
                                   QMessageBox::Ok, this);
                avviso.exec();
                return;
            }
        }
        QFileDialog::accept();
    }
};

QFileDialog *CreaSaveDialog1(QWidget *genitore)
{
    auto *dialogo = new CDialogoSalva(genitore);
    dialogo->setObjectName(QStringLiteral("SaveDialog1"));
    dialogo->setWindowTitle(QStringLiteral("Nome con cui salvare ?"));
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setFileMode(QFileDialog::AnyFile);
    dialogo->setNameFilters({QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("All (*.*)")});
    dialogo->setDefaultSuffix(QStringLiteral("bmp"));
    // Replacing an existing file is asked about (the dialog's own question).
    dialogo->setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialogo;
}

// Keeps a corner of the selection where the painter draws it exactly; far
// beyond the picture the clipped rectangle is the same.
int LimitaCoordinata(int64_t valore)
{
    constexpr int64_t limite = int64_t(1) << 24;
    return int(std::clamp(valore, -limite, limite));
}

} // namespace

TMDIChild::TMDIChild(QWidget *genitore)
    : QWidget(genitore), Panel2(new QFrame(this)), Immagine(new TImmagine(Panel2)), SaveDialog1(CreaSaveDialog1(this))
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

    AreaDisegno.Min = predefiniti.Finestra.Min.Esteso();
    AreaDisegno.Max = predefiniti.Finestra.Max.Esteso();
    AreaDisegno.Larghezza = Immagine->width();
    AreaDisegno.Altezza = Immagine->height();
    // The picture the area draws on for as long as the document lives, so that
    // a repaint from the buffer reaches the screen also before the first drawing.
    AreaDisegno.Immagine = Immagine;

    Titolo = QString::fromUtf8(TitoloProgramma);
    ImpostaTitoloApplicazione(Titolo);

    // The handlers may raise (a picture or buffer that cannot be allocated):
    // shown here, before the error reaches the toolkit's frames.
    connect(Immagine, &TImmagine::MousePremuto, this,
            [this](Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y) {
                GestisciErrori([&] { ImmagineMouseDown(pulsante, pulsanti, stato, x, y); });
            });
    connect(Immagine, &TImmagine::MouseMosso, this,
            [this](Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y) {
                GestisciErrori([&] { ImmagineMouseMove(pulsanti, stato, x, y); });
            });
    connect(Immagine, &TImmagine::MouseRilasciato, this,
            [this](Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y) {
                GestisciErrori([&] { ImmagineMouseUp(pulsante, pulsanti, stato, x, y); });
            });

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
    // The picture under a selection's rectangle changes: the selection ends.
    InSelezione = false;
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

    // The picture under a selection's rectangle changes, and the control is
    // disabled before its release could come: the selection ends.
    InSelezione = false;

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

// ---- Zoom by selection ----------------------------------------------------

CSelezione TMDIChild::Selezione() const
{
    return {SelezioneX, SelezioneY, SelezioneLarghezza, SelezioneAltezza};
}

void TMDIChild::ImmagineMouseDown(Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers,
                                  int32_t x, int32_t y)
{
    if (InSelezione) {
        // A second button while the first is held: the first press decides,
        // else the first rectangle would stay behind and two regions open.
        if (pulsanti & ~Qt::MouseButtons(pulsante))
            return;
        // The release of the last press never came (the pointer was taken
        // away meanwhile): its rectangle goes, and this press starts afresh.
        DisegnaSelezione();
        InSelezione = false;
    }
    // A press goes to the document the user sees it in: the region opens with
    // the settings of this document.
    if (Contenitore && Contenitore->DocumentoAttivo() != this)
        if (auto *sotto = qobject_cast<QMdiSubWindow *>(parentWidget()))
            Contenitore->AreaDocumenti->setActiveSubWindow(sotto);
    const CSelezione iniziale;
    SelezioneX = x;
    SelezioneY = y;
    SelezioneLarghezza = iniziale.Larghezza;
    SelezioneAltezza = iniziale.Altezza;
    Immagine->ImpostaStirata(false);
    FissaImmagine();
    InSelezione = true;
    DisegnaSelezione();
}

void TMDIChild::ImmagineMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int32_t x, int32_t y)
{
    if (!InSelezione)
        return;
    DisegnaSelezione();
    CSelezione selezione = Selezione();
    selezione.Ridimensiona(x, y, AreaDisegno.Larghezza, AreaDisegno.Altezza);
    SelezioneLarghezza = selezione.Larghezza;
    SelezioneAltezza = selezione.Altezza;
    DisegnaSelezione();
}

void TMDIChild::ImmagineMouseUp(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int32_t, int32_t)
{
    if (!InSelezione)
        return;
    // The rectangle stays on the picture until the next drawing.
    InSelezione = false;
    Complesso nuovoMin;
    Complesso nuovoMax;
    FinestraDaSelezione(Selezione(), AreaDisegno.Min, AreaDisegno.Max, AreaDisegno.Larghezza, AreaDisegno.Altezza,
                        nuovoMin, nuovoMax);
    const int32_t limite = AreaDisegno.MaxIterazioni;
    // The new document draws from the event loop, not from inside this
    // release: the user may close this document during that drawing, and it
    // must not go while its own event handler is still on the stack.
    QPointer<TMDIChild> sorgente(this);
    QMetaObject::invokeMethod(
        this,
        [sorgente, nuovoMin, nuovoMax, limite] {
            if (!sorgente || !Contenitore)
                return;
            if (Contenitore->DocumentoAttivo() != sorgente)
                if (auto *sotto = qobject_cast<QMdiSubWindow *>(sorgente->parentWidget()))
                    Contenitore->AreaDocumenti->setActiveSubWindow(sotto);
            GestisciErrori([&] { Contenitore->ApriRegione(nuovoMin, nuovoMax, limite); });
        },
        Qt::QueuedConnection);
}

void TMDIChild::FissaImmagine()
{
    Immagine->ImpostaStirata(false);
    const int32_t larghezza = Immagine->width();
    const int32_t altezza = Immagine->height();
    const QImage copia = Immagine->Bitmap();
    Immagine->ImpostaDimensioniBitmap(larghezza, altezza);
    Immagine->DisegnaScalata(copia, QRect(0, 0, larghezza, altezza));
    AreaDisegno.Larghezza = larghezza;
    AreaDisegno.Altezza = altezza;
}

void TMDIChild::DisegnaSelezione()
{
    const int64_t hw = SelezioneLarghezza / 2;
    const int64_t hh = SelezioneAltezza / 2;
    const int sinistra = LimitaCoordinata(SelezioneX - hw);
    const int destra = LimitaCoordinata(SelezioneX + hw);
    const int alto = LimitaCoordinata(SelezioneY - hh);
    const int basso = LimitaCoordinata(SelezioneY + hh);
    const QPolygon rettangolo(
        {QPoint(sinistra, alto), QPoint(destra, alto), QPoint(destra, basso), QPoint(sinistra, basso)});
    Immagine->InvertiPoligono(rettangolo);
    // At once, and only where the pixels changed: the picture is unstretched.
    Immagine->repaint(rettangolo.boundingRect());
}

// ---- Files ------------------------------------------------------------------

CParametri TMDIChild::Parametri() const
{
    CParametri parametri;
    parametri.Finestra = BloccoFinestra(AreaDisegno);
    parametri.SceltaFrattale = SceltaFrattale;
    parametri.SceltaInterno = SceltaInterno;
    parametri.SceltaEsterno = SceltaEsterno;
    parametri.SceltaMetodo = SceltaMetodo;
    parametri.FrattaleMandelbrot = FrattaleMandelbrot;
    parametri.FrattaleJulia = FrattaleJulia;
    parametri.FrattaleVolterraLotka = FrattaleVolterraLotka;
    return parametri;
}

void TMDIChild::ImpostaParametri(const CParametri &parametri)
{
    AreaDisegno.Min = parametri.Finestra.Min.Esteso();
    AreaDisegno.Max = parametri.Finestra.Max.Esteso();
    AreaDisegno.Larghezza = parametri.Finestra.Larghezza;
    AreaDisegno.Altezza = parametri.Finestra.Altezza;
    AreaDisegno.MaxIterazioni = parametri.Finestra.MaxIterazioni;
    SceltaFrattale = parametri.SceltaFrattale;
    SceltaInterno = parametri.SceltaInterno;
    SceltaEsterno = parametri.SceltaEsterno;
    SceltaMetodo = parametri.SceltaMetodo;
    FrattaleMandelbrot = parametri.FrattaleMandelbrot;
    FrattaleJulia = parametri.FrattaleJulia;
    FrattaleVolterraLotka = parametri.FrattaleVolterraLotka;
}

void TMDIChild::Salva()
{
    if (SaveDialog1->exec() != QDialog::Accepted)
        return;
    const QStringList scelti = SaveDialog1->selectedFiles();
    if (!scelti.isEmpty())
        SalvaCome(scelti.first());
}

bool TMDIChild::SalvaCome(const QString &nome)
{
    QString errore;
    if (!ScriviBitmap(Immagine->Bitmap(), nome, errore)) {
        MostraErrore(QStringLiteral("Impossibile salvare l'immagine %1: %2").arg(QDir::toNativeSeparators(nome), errore));
        return false;
    }
    // Without it the picture opens again with the settings of a new
    // document: the user is told, so that it can be saved elsewhere.
    const QString nomeParametri = NomeFileParametri(nome);
    if (!ScriviFileParametri(Parametri(), nomeParametri, errore)) {
        MostraErrore(QStringLiteral("Immagine salvata, ma impossibile scrivere il file dei parametri %1: %2")
                         .arg(QDir::toNativeSeparators(nomeParametri), errore));
        return false;
    }
    return true;
}

bool TMDIChild::Carica(const QString &nome)
{
    QImage figura;
    QString errore;
    if (!LeggiBitmap(nome, figura, errore)) {
        MostraErrore(QStringLiteral("Impossibile leggere l'immagine %1: %2").arg(QDir::toNativeSeparators(nome), errore));
        return false;
    }
    Immagine->ImpostaBitmap(figura);
    Immagine->Ridisegna();

    // All of the file or none of it; a negative size is no picture's.
    CParametri letti = Parametri();
    if (!LeggiFileParametri(NomeFileParametri(nome), letti) || letti.Finestra.Larghezza < 0 ||
        letti.Finestra.Altezza < 0) {
        MostraMessaggio(QStringLiteral("Il file dei parametri NON è valido!"));
        return false;
    }
    // The buffer first: when it cannot be had, the settings stay as they were.
    AreaDisegno.PreparaBuffer(letti.Finestra.Larghezza, letti.Finestra.Altezza);
    ImpostaParametri(letti);
    TContenitore::AggiornaPannelli();
    return true;
}
