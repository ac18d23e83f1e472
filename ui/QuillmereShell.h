#pragma once

#include "AreaDisegno.h"
#include "AttesaCalcolo.h"
#include "Coloratori.h"
#include "Disegnatori.h"
#include "FileParametri.h"
#include "Frattali.h"
#include "Selezione.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class QFileDialog;
class QFrame;
class QMdiSubWindow;
class TImmagine;

// The last image size FormResize has seen, shared by every document; both are
// 0 at program start.
extern int32_t UltimaLarghezza;
extern int32_t UltimaAltezza;

// A document window: one fractal picture and everything needed to draw it
// again. The formulas, drawing methods, render area and colourers are held by
// value and live exactly as long as the document. It draws its picture on a
// worker thread and keeps the user interface alive meanwhile; while it draws
// it is never destroyed (a close waits for the drawing to stop).
class TMDIChild final : public QWidget, public CDocumentoCalcolo
{
    Q_OBJECT

public:
    // Builds the document with its defaults. Throws CErrore when the pixel
    // buffer or a colour table cannot be allocated.
    explicit TMDIChild(QWidget *genitore = nullptr);
    ~TMDIChild() override;

    // Gives the image control exactly that size by changing the window's
    // outer size by the difference, measured on the window each time.
    void ImpostaDimensioni(int32_t larghezza, int32_t altezza);

    // Repaints the image from the render area's buffer without computing.
    void RidisegnaDaBuffer();

    // The redraw: resolves the choices, sizes the picture and the render area
    // to the image control and draws on a worker thread, handling the user's
    // events until the drawing has ended or was stopped. Does nothing while a
    // drawing of this document is already running further out (after a nested
    // drawing of another document). Throws CErrore when the buffer cannot be
    // allocated, and whatever the drawing raised.
    void EseguiCalcolo();
    // Whether a drawing of this document is running (possibly parked under a
    // nested one).
    bool InCalcolo() const;
    // The busy state: image control disabled, times and stop request cleared,
    // the drawing controls busy.
    void ModoOccupato();

    // What the drawing calls back.
    void ModoLibero() override;
    void AggiornaStato() override;
    void ElaboraEventi() override;
    void RidisegnaImmagine() override;
    void ImpostaTitolo(const QString &testo) override;
    void ImpostaTitoloApplicazione(const QString &testo) override;

    // The window the user moves and sizes: the multiple-document sub-window
    // that holds the document, or the document itself outside one.
    QWidget *Finestra();

    // Event handlers. FormActivate runs when the main window's document area
    // activates the document.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    void FormResize();

    // Zoom by selection, on the image control's mouse events (any button;
    // the state is the buttons held after the event and the keys). The press
    // fixes the centre of a rectangle in the picture's proportions, a move
    // grows it, the release opens the plane under it in a new document. A
    // second button pressed while another is held, and a release with no
    // selection under way, are ignored. A drawing or a repaint from the
    // buffer ends a selection.
    void ImmagineMouseDown(Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato,
                           int32_t x, int32_t y);
    void ImmagineMouseMove(Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int32_t x, int32_t y);
    void ImmagineMouseUp(Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato,
                         int32_t x, int32_t y);
    // Makes the displayed picture a bitmap of exactly the image control's
    // size, scaled as the control showed it, and gives the render area that
    // size (its buffer keeps the size of the last drawing).
    void FissaImmagine();
    // Inverts the selection rectangle's pixels on the picture; the same call
    // again, with the selection unchanged, restores them.
    void DisegnaSelezione();
    // The selection fields as a rectangle.
    CSelezione Selezione() const;

    // Asks for a name with SaveDialog1 and saves the picture and its
    // parameters file there; nothing when the user cancels.
    void Salva();
    // Writes the picture as a bitmap under that name, then the parameters
    // file beside it. Each file is written whole or not at all; a failure is
    // shown to the user, and after a failed bitmap no parameters file is
    // written. True when both files were written.
    bool SalvaCome(const QString &nome);
    // Shows the named bitmap and takes the settings of the parameters file
    // beside it, all of them or none. A bitmap that cannot be read is
    // reported and leaves the document as it was; a missing or invalid
    // parameters file is reported and leaves the settings as they were.
    // Throws CErrore, with the settings unchanged, when the buffer for the
    // loaded size cannot be allocated. True when the settings were taken.
    bool Carica(const QString &nome);
    // The document's settings as a parameters file holds them, and back.
    CParametri Parametri() const;
    void ImpostaParametri(const CParametri &parametri);

    // Controls.
    QFrame *Panel2;
    TImmagine *Immagine;
    QFileDialog *SaveDialog1;

    // The document's state.
    Mandelbrot FrattaleMandelbrot;
    Julia FrattaleJulia;
    VolterraLotka FrattaleVolterraLotka;
    MetodoPuntoPunto DisegnatorePuntoPunto;
    MetodoBlocco DisegnatoreBlocco;
    CAreaDisegno AreaDisegno;
    CInternoSolido ColoratoreSolido;
    CInternoLog ColoratoreLog;
    CEsternoFasce ColoratoreFasce;
    // The objects of the current drawing; null until the first drawing.
    const CFrattale *FrattaleScelto = nullptr;
    CColoratoreInterno *InternoScelto = nullptr;
    CColoratoreEsterno *EsternoScelto = nullptr;
    CDisegnatore *DisegnatoreScelto = nullptr;
    // The user's choices, resolved into the objects above when a drawing starts.
    int8_t SceltaFrattale = 0; // 0 Mandelbrot, 1 Julia, 2 Volterra-Lotka
    int8_t SceltaInterno = 1;  // 0 "Nero", 1 "Sfumato Log1"
    int8_t SceltaEsterno = 0;  // 0 bands
    int8_t SceltaMetodo = 1;   // 0 point by point, 1 block
    // The zoom selection, in image-control pixels.
    bool InSelezione = false;
    int32_t SelezioneX = 0;
    int32_t SelezioneY = 0;
    int32_t SelezioneLarghezza = 0;
    int32_t SelezioneAltezza = 0;
    // TempoImpiegato, TempoPrevisto (64-bit ms) and StopRichiesto come with
    // CDocumentoCalcolo.
    QString Titolo;

    // The window's design size: the one that gives a 256 x 256 image.
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    void ChiudiSeRinviata();
    // Places the panel over the whole window and the image inside its bevel.
    void AllineaControlli();

    // FormShow runs when the window is first shown, not when it comes back
    // from being minimized.
    bool Mostrato = false;
    // The user closed the document while it was drawing: the drawing was
    // asked to stop, and the window closes once it has.
    bool ChiusuraRinviata = false;
};
