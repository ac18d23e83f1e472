#include "MDIChild.h"

#include "Applicazione.h"
#include "DialogoSalva.h"
#include "FileDocumento.h"
#include "Immagine.h"
#include "TestiCalcolo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// The image size a new document starts with.
constexpr int32_t LatoIniziale = 256;

// Keeps a corner of the selection where the painter draws it exactly; far
// beyond the picture the clipped rectangle is the same.
int LimitaCoordinata(int64_t valore)
{
    constexpr int64_t limite = int64_t(1) << 24;
    return int(std::clamp(valore, -limite, limite));
}

} // namespace

TMDIChild::TMDIChild(QSize &ultimaDimensione, QWidget *genitore)
    : QWidget(genitore), Titolo(QString::fromUtf8(TitoloProgramma)), Panel2(new QFrame(this)),
      Immagine(new TImmagine(Panel2)),
      SaveDialog1(CreaDialogoSalva(this, QStringLiteral("SaveDialog1"), tr("Nome con cui salvare ?"), false)),
      UltimaDimensione(ultimaDimensione), Sessione(Titolo)
{
    // A click on the picture gives the document the keyboard, for the keys
    // of the moves; Tab passes it by.
    setFocusPolicy(Qt::ClickFocus);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Immagine->setObjectName(QStringLiteral("Immagine"));
    setWindowTitle(QStringLiteral("Quillmere"));
    const int bordo = 2 * Panel2->frameWidth();
    resize(LatoIniziale + bordo, LatoIniziale + bordo);
    AllineaControlli();

    AreaDisegno.Larghezza = Immagine->width();
    AreaDisegno.Altezza = Immagine->height();
    // The picture the area draws on for as long as the document lives, so that
    // a repaint from the buffer reaches the screen also before the first drawing.
    AreaDisegno.Immagine = Immagine;
    // While a drawing runs, the control paints with the workers parked.
    Immagine->ImpostaSessione(&Sessione);

    connect(&Sessione, &CSessioneDisegno::Titolo, this, &TMDIChild::TitoloCambiato);
    connect(&Sessione, &CSessioneDisegno::TitoloApplicazione, this, &TMDIChild::TitoloApplicazioneCambiato);
    connect(&Sessione, &CSessioneDisegno::Ridisegna, Immagine, &TImmagine::Ridisegna);
    connect(&Sessione, &CSessioneDisegno::Tempi, this, &TMDIChild::AggiornaStato);
    connect(&Sessione, &CSessioneDisegno::Finito, this, &TMDIChild::ModoLibero);

    // The handlers may raise (a picture or buffer that cannot be allocated).
    connect(Immagine, &TImmagine::MousePremuto, this,
            [this](Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y) {
                Protetto([&] { ImmagineMouseDown(pulsante, pulsanti, stato, x, y); });
            });
    connect(Immagine, &TImmagine::MouseMosso, this,
            [this](Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y) {
                Protetto([&] { ImmagineMouseMove(pulsanti, stato, x, y); });
            });
    connect(Immagine, &TImmagine::MouseRilasciato, this,
            [this](Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y) {
                Protetto([&] { ImmagineMouseUp(pulsante, pulsanti, stato, x, y); });
            });
    connect(Immagine, &TImmagine::RotellaMossa, this, [this](int x, int y, int angolo, int pixel) {
        Protetto([&] {
            Attivati();
            Navigatore.Rotella(x, y, angolo, pixel);
        });
    });
    connect(this, &TMDIChild::Occupato, &Navigatore, &TNavigatore::Registra);
    connect(&Navigatore, &TNavigatore::ImpostazioniCambiate, this, &TMDIChild::PannelliDaAggiornare);
    connect(&Navigatore, &TNavigatore::Messaggio, this, &TMDIChild::Messaggio);
    connect(&Navigatore, &TNavigatore::Errore, this, &TMDIChild::Errore);

    FormCreate();
}

TMDIChild::~TMDIChild()
{
    // The workers use the render area and the picture: they go first.
    Sessione.Ferma();
    Immagine->ImpostaSessione(nullptr);
}

template <typename Azione>
void TMDIChild::Protetto(Azione &&azione)
{
    GestisciErrori(std::forward<Azione>(azione), [this](const QString &messaggio) { emit Errore(messaggio); });
}

void TMDIChild::ImpostaParametri(const CParametri &parametri)
{
    Impostazioni = parametri;
}

void TMDIChild::DisegnaImpostazioni(CParametri parametri)
{
    // The size is the document's own.
    parametri.Finestra.Larghezza = AreaDisegno.Larghezza;
    parametri.Finestra.Altezza = AreaDisegno.Altezza;
    Impostazioni = std::move(parametri);
    AreaDisegno.PreparaBuffer(AreaDisegno.Larghezza, AreaDisegno.Altezza);
    emit PannelliDaAggiornare();
    EseguiCalcolo();
}

QSize TMDIChild::DimensioniImmagine() const
{
    return Immagine->size();
}

QWidget *TMDIChild::Finestra()
{
    if (auto *sotto = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return sotto;
    return this;
}

QImage TMDIChild::Figura()
{
    const CSostaSessione sosta(Sessione);
    return Immagine->Disegnata();
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
    Impostazioni.Finestra.MaxIterazioni = 120;
    Immagine->ImpostaStirata(true);
    Immagine->RiempiRettangolo(0, 0, Immagine->width(), Immagine->height());
    emit PannelliDaAggiornare();
}

void TMDIChild::FormShow()
{
    ImpostaDimensioni(LatoIniziale, LatoIniziale);
    emit TitoloApplicazioneCambiato(Titolo);
    emit PannelliDaAggiornare();
}

void TMDIChild::FormActivate()
{
    emit PannelliDaAggiornare();
}

void TMDIChild::FormClose()
{
    setAttribute(Qt::WA_DeleteOnClose);
    Finestra()->setAttribute(Qt::WA_DeleteOnClose);
}

int32_t TMDIChild::LatoMassimo()
{
    QWidget *finestra = Finestra();
    if (finestra == this || !finestra->parentWidget())
        return INT32_MAX;
    const QSize spazio = finestra->parentWidget()->size();
    const QSize cornice = finestra->size() - Immagine->size();
    return std::max(1, std::min(spazio.width() - cornice.width(), spazio.height() - cornice.height()));
}

void TMDIChild::FormResize()
{
    // Whatever is waiting to be painted is painted first.
    QCoreApplication::sendPostedEvents(window(), QEvent::UpdateRequest);
    const int32_t w = Immagine->width();
    const int32_t h = Immagine->height();
    if (w == h)
        return;
    int32_t lato = 0;
    if (w != UltimaDimensione.width() && h == UltimaDimensione.height())
        lato = w;
    else if (h != UltimaDimensione.height() && w == UltimaDimensione.width())
        lato = h;
    else if (w != UltimaDimensione.width() && h != UltimaDimensione.height())
        lato = std::min(w, h);
    // The square never grows past what the document area shows (a maximized
    // document fills an area that is wider than it is tall).
    if (lato > 0)
        ImpostaDimensioni(std::min(lato, LatoMassimo()), std::min(lato, LatoMassimo()));
    UltimaDimensione = Immagine->size();
    AggiornaStato();
}

void TMDIChild::StatoFinestraCambiato(Qt::WindowStates stato)
{
    if (stato & Qt::WindowMinimized)
        return;
    QTimer::singleShot(0, this, [this] {
        // A picture loaded from a file, or none yet, stays as it is.
        const QSize bitmap(Immagine->LarghezzaBitmap(), Immagine->AltezzaBitmap());
        if (Sessione.UltimoTitolo().isEmpty() || Immagine->size().isEmpty() || Immagine->size() == bitmap)
            return;
        Protetto([this] {
            FermaCalcolo();
            EseguiCalcolo();
        });
    });
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
    const CSostaSessione sosta(Sessione);
    // The picture under a selection's rectangle changes: the selection ends.
    SelezioneZoom.InSelezione = false;
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

void TMDIChild::keyPressEvent(QKeyEvent *evento)
{
    const Qt::KeyboardModifiers modificatori = evento->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    bool fatto = modificatori == Qt::NoModifier;
    if (fatto) {
        Protetto([&] {
            switch (evento->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                Navigatore.ZoomAlCentro(1);
                break;
            case Qt::Key_Minus:
                Navigatore.ZoomAlCentro(-1);
                break;
            case Qt::Key_Left:
                Navigatore.Sposta(-1, 0);
                break;
            case Qt::Key_Right:
                Navigatore.Sposta(1, 0);
                break;
            case Qt::Key_Up:
                Navigatore.Sposta(0, 1);
                break;
            case Qt::Key_Down:
                Navigatore.Sposta(0, -1);
                break;
            default:
                fatto = false;
                break;
            }
        });
    }
    if (fatto)
        evento->accept();
    else
        QWidget::keyPressEvent(evento);
}

void TMDIChild::closeEvent(QCloseEvent *evento)
{
    // The drawing ends, its threads joined, before the document may go.
    Sessione.Ferma();
    FormClose();
    evento->accept();
}

void TMDIChild::resizeEvent(QResizeEvent *evento)
{
    QWidget::resizeEvent(evento);
    AllineaControlli();
    FormResize();
}

void TMDIChild::EseguiCalcolo()
{
    if (InCalcolo())
        return;

    // The picture under a selection's rectangle changes, and the control is
    // disabled before its release could come: the selection ends.
    SelezioneZoom.InSelezione = false;

    // A control with no area gives an empty picture, in which the drawing
    // methods draw nothing.
    const int32_t larghezza = Immagine->width();
    const int32_t altezza = Immagine->height();
    Immagine->ImpostaStirata(false);
    Immagine->ImpostaDimensioniBitmap(larghezza, altezza);
    CDisegnatore &metodo = Disegno.Prepara(Impostazioni, Immagine, larghezza, altezza);

    Immagine->RiempiRettangolo(0, 0, larghezza, altezza);
    Immagine->setEnabled(false);
    Sessione.Avvia(metodo, AreaDisegno);
    ModoOccupato();
}

void TMDIChild::FermaCalcolo()
{
    Sessione.Ferma();
}

void TMDIChild::ModoOccupato()
{
    emit Occupato();
    Finestra()->repaint();
}

void TMDIChild::ModoLibero(const QString &errore)
{
    Finestra()->repaint();
    Immagine->setEnabled(true);
    Immagine->ImpostaStirata(true);
    emit Libero();
    if (!errore.isEmpty())
        emit Errore(errore);
}

void TMDIChild::AggiornaStato()
{
    emit StatoCambiato(1, TestoDimensione(Immagine->width(), Immagine->height()));
    emit StatoCambiato(2, TestoTempi(TempoImpiegato(), TempoPrevisto()));
}

bool TMDIChild::RipetiStato()
{
    if (Sessione.UltimoTitolo().isEmpty())
        return false;
    emit TitoloCambiato(Sessione.UltimoTitolo());
    if (!Sessione.UltimoTitoloApplicazione().isEmpty())
        emit TitoloApplicazioneCambiato(Sessione.UltimoTitoloApplicazione());
    AggiornaStato();
    return true;
}

void TMDIChild::Attivati()
{
    if (auto *sotto = qobject_cast<QMdiSubWindow *>(parentWidget()); sotto && sotto->mdiArea()
        && sotto->mdiArea()->currentSubWindow() != sotto)
        sotto->mdiArea()->setActiveSubWindow(sotto);
}

// ---- Zoom by selection ----------------------------------------------------

void TMDIChild::ImmagineMouseDown(Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers,
                                  int32_t x, int32_t y)
{
    if (SelezioneZoom.InSelezione) {
        // A second button while the first is held: the first press decides,
        // else the first rectangle would stay behind and two regions open.
        if (pulsanti & ~Qt::MouseButtons(pulsante))
            return;
        // The release of the last press never came (the pointer was taken
        // away meanwhile): its rectangle goes, and this press starts afresh.
        DisegnaSelezione();
        SelezioneZoom.InSelezione = false;
    }
    // A press goes to the document the user sees it in: the region opens with
    // the settings of this document.
    Attivati();
    SelezioneZoom = CSelezione{x, y};
    Immagine->ImpostaStirata(false);
    FissaImmagine();
    SelezioneZoom.InSelezione = true;
    DisegnaSelezione();
}

void TMDIChild::ImmagineMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int32_t x, int32_t y)
{
    if (!SelezioneZoom.InSelezione)
        return;
    DisegnaSelezione();
    SelezioneZoom.Ridimensiona(x, y, AreaDisegno.Larghezza, AreaDisegno.Altezza);
    DisegnaSelezione();
}

void TMDIChild::ImmagineMouseUp(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int32_t, int32_t)
{
    if (!SelezioneZoom.InSelezione)
        return;
    // The rectangle stays on the picture until the next drawing.
    SelezioneZoom.InSelezione = false;
    // The new document takes this one's settings, the picture's: what the
    // panels show and was not stored plays no part.
    CParametri nuovi = Impostazioni;
    if (!FinestraEsattaDaSelezione(SelezioneZoom, Impostazioni.Finestra.Min, Impostazioni.Finestra.Max,
                                   AreaDisegno.Larghezza, AreaDisegno.Altezza, nuovi.Finestra.Min, nuovi.Finestra.Max)) {
        emit Messaggio(TestoZoomOltreIlLimite());
        return;
    }
    emit RegioneScelta(nuovi);
}

void TMDIChild::FissaImmagine()
{
    Immagine->ImpostaStirata(false);
    const int32_t larghezza = Immagine->width();
    const int32_t altezza = Immagine->height();
    Immagine->Riscala(larghezza, altezza);
    AreaDisegno.Larghezza = larghezza;
    AreaDisegno.Altezza = altezza;
}

void TMDIChild::DisegnaSelezione()
{
    const CSelezione &s = SelezioneZoom;
    const int64_t hw = s.Larghezza / 2;
    const int64_t hh = s.Altezza / 2;
    const int sinistra = LimitaCoordinata(int64_t(s.X) - hw);
    const int destra = LimitaCoordinata(int64_t(s.X) + hw);
    const int alto = LimitaCoordinata(int64_t(s.Y) - hh);
    const int basso = LimitaCoordinata(int64_t(s.Y) + hh);
    const QPolygon rettangolo(
        {QPoint(sinistra, alto), QPoint(destra, alto), QPoint(destra, basso), QPoint(sinistra, basso)});
    Immagine->InvertiPoligono(rettangolo);
    // At once, and only where the pixels changed: the picture is unstretched.
    Immagine->repaint(rettangolo.boundingRect());
}

// ---- Files ------------------------------------------------------------------

void TMDIChild::Salva()
{
    if (const QString cartella = UltimaCartella(); !cartella.isEmpty())
        SaveDialog1->setDirectory(cartella);
    if (SaveDialog1->exec() != QDialog::Accepted)
        return;
    const QStringList scelti = SaveDialog1->selectedFiles();
    if (scelti.isEmpty())
        return;
    RicordaCartella(scelti.first());
    SalvaCome(scelti.first());
}

bool TMDIChild::SalvaCome(const QString &nome)
{
    QString errore;
    if (!ScriviFigura(Figura(), nome, errore)) {
        emit Errore(tr("Impossibile salvare l'immagine %1: %2").arg(QDir::toNativeSeparators(nome), errore));
        return false;
    }
    // Without it the picture opens again with the settings of a new
    // document: the user is told, so that it can be saved elsewhere.
    const QString nomeParametri = NomeFileParametri(nome);
    if (!ScriviFileParametri(Impostazioni, nomeParametri, errore)) {
        emit Errore(tr("Immagine salvata, ma impossibile scrivere il file dei parametri %1: %2")
                        .arg(QDir::toNativeSeparators(nomeParametri), errore));
        return false;
    }
    return true;
}

QString TMDIChild::TestoParametriNonValidi()
{
    return tr("Il file dei parametri NON è valido!");
}

TMDIChild::Caricamento TMDIChild::Carica(const QString &nome)
{
    QImage figura;
    QString errore;
    if (!LeggiFigura(nome, figura, errore)) {
        emit Errore(tr("Impossibile leggere l'immagine %1: %2").arg(QDir::toNativeSeparators(nome), errore));
        return Caricamento::Fallito;
    }
    Immagine->ImpostaBitmap(figura);
    Immagine->Ridisegna();

    // All of the file or none of it.
    CParametri letti = Impostazioni;
    QString motivo;
    if (!LeggiFileParametri(NomeFileParametri(nome), letti, &motivo)) {
        emit Messaggio(motivo.isEmpty() ? TestoParametriNonValidi() : TestoParametriNonValidi() + '\n' + motivo);
        return Caricamento::SenzaParametri;
    }
    // The buffer first: when it cannot be had, the settings stay as they were.
    AreaDisegno.PreparaBuffer(letti.Finestra.Larghezza, letti.Finestra.Altezza);
    AreaDisegno.Larghezza = letti.Finestra.Larghezza;
    AreaDisegno.Altezza = letti.Finestra.Altezza;
    Impostazioni = letti;
    emit PannelliDaAggiornare();
    return Caricamento::Completo;
}
