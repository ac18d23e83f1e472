#pragma once

#include "Disegno.h"
#include "FileParametri.h"
#include "Navigatore.h"
#include "SelezioneEsatta.h"
#include "SessioneDisegno.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>

class QFileDialog;
class QFrame;
class TImmagine;

// A document window: one fractal picture and everything needed to draw it
// again. It owns its settings, the objects it draws with and its drawing
// session, and tells the main window what happens through its signals; it
// knows nothing of the main window. Its picture draws on worker threads
// while the user interface goes on; closing it stops the drawing first.
class TMDIChild final : public QWidget, public CDocumentoNavigabile
{
    Q_OBJECT

public:
    // ultimaDimensione: the last image size FormResize has seen, shared by
    // the documents of one main window; it must outlive the document. Throws
    // CErrore when the pixel buffer or a colour table cannot be allocated.
    explicit TMDIChild(QSize &ultimaDimensione, QWidget *genitore = nullptr);
    ~TMDIChild() override;

    // The document's settings: the window of the plane, the limit, the four
    // choices and the formulas' parameters. The picture shows them once drawn.
    const CParametri &Parametri() const override { return Impostazioni; }
    // New settings; nothing is drawn. A running drawing goes on with the
    // settings it started with.
    void ImpostaParametri(const CParametri &parametri) override;

    // Gives the image control exactly that size by changing the window's
    // outer size by the difference, measured on the window each time.
    void ImpostaDimensioni(int32_t larghezza, int32_t altezza);

    // Repaints the image from the render area's buffer without computing.
    void RidisegnaDaBuffer();

    // The redraw: resolves the choices, sizes the picture and the render area
    // to the image control and starts the drawing on worker threads; returns
    // at once. Nothing while this document draws. Throws CErrore, with the
    // document idle, when the buffer cannot be allocated.
    void EseguiCalcolo() override;
    // Whether this document's picture is being drawn.
    bool InCalcolo() const override { return Sessione.InCorso(); }
    // Ends the running drawing now; the picture keeps what was drawn.
    void FermaCalcolo() override;
    // The times of the running or last drawing, in ms; 0 as the estimate
    // means there is none.
    int64_t TempoImpiegato() const { return Sessione.TempoImpiegato(); }
    int64_t TempoPrevisto() const { return Sessione.TempoPrevisto(); }
    // Writes the size and the times into the status bar.
    void AggiornaStato();
    // Says again, through its signals, what it said last of its drawing: the
    // caption, the application's title and the status texts (for the main
    // window, when it becomes the active document). False, saying nothing,
    // when it has never drawn.
    bool RipetiStato();

    // The moves over the plane, back and forward (the wheel over the picture
    // comes here too).
    TNavigatore &Navigazione() { return Navigatore; }
    const TNavigatore &Navigazione() const { return Navigatore; }

    // The window the user moves and sizes: the multiple-document sub-window
    // that holds the document, or the document itself outside one.
    QWidget *Finestra();
    // The picture as drawn so far: without the marks of a selection, which
    // are the screen's alone.
    QImage Figura();

    // Event handlers. FormActivate runs when the main window's document area
    // activates the document.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    void FormResize();
    // The window became maximized, normal or an icon: once it is laid out,
    // a picture this document drew at another size than its control's now
    // is drawn again at the new size (a drawing under way starts again),
    // so that it shows as drawn, neither stretched nor in a corner.
    void StatoFinestraCambiato(Qt::WindowStates stato);

    // Zoom by selection, on the image control's mouse events (any button;
    // the state is the buttons held after the event and the keys). The press
    // fixes the centre of a rectangle in the picture's proportions, a move
    // grows it, the release asks for the plane under it in a new document
    // (RegioneScelta). A second button pressed while another is held, and a
    // release with no selection under way, are ignored. A drawing or a
    // repaint from the buffer ends a selection.
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
    // The zoom selection, in image-control pixels, and whether one is under way.
    const CSelezione &Selezione() const { return SelezioneZoom; }
    bool InSelezione() const override { return SelezioneZoom.InSelezione; }

    // Takes these settings, at the size of its own image, prepares its
    // buffer, has them shown and draws them: a region opened by a zoom, a
    // parameters file opened alone. Throws CErrore when the buffer cannot be
    // allocated: the settings stay taken, and nothing is drawn.
    void DisegnaImpostazioni(CParametri parametri);

    // Asks for a name with SaveDialog1 and saves the picture and its
    // parameters file there; nothing when the user cancels.
    void Salva();
    // Writes the picture under that name, as a PNG when the name ends in
    // ".png" and as a bitmap otherwise, then the parameters file beside it.
    // Each file is written whole or not at all; a failure is reported
    // (Errore), and after a failed picture no parameters file is written.
    // True when both files were written.
    bool SalvaCome(const QString &nome);
    // Shows the named picture (a PNG when the name ends in ".png", a bitmap
    // otherwise) and takes the settings of the parameters file beside it,
    // all of them or none. A picture that cannot be read, is cut short or is
    // not a plain file is reported (Errore) and leaves the document as it
    // was; a missing or invalid parameters file is reported (Messaggio) and
    // leaves the settings as they were. Throws CErrore, with the settings
    // unchanged, when the buffer for the loaded size cannot be allocated.
    enum class Caricamento { Fallito, SenzaParametri, Completo };
    // The message for a parameters file that is missing or not valid.
    static QString TestoParametriNonValidi();
    Caricamento Carica(const QString &nome);

    // The size of the image control.
    QSize DimensioniImmagine() const override;

    // A control of the document by its object name ("Immagine",
    // "SaveDialog1"), for the tests; null when there is none of that kind.
    template <typename T>
    T *Elemento(const QString &nome) const
    {
        return findChild<T *>(nome);
    }

    // The methods, colourers and render area the picture is drawn with.
    CDisegno Disegno;
    CAreaDisegno &AreaDisegno = Disegno.AreaDisegno;

    // The program's title: the caption after a drawing, the tail of the
    // application title during one.
    const QString Titolo;

    // The window's design size: the one that gives a 256 x 256 image.
    QSize sizeHint() const override;

signals:
    // Everything the document tells the user goes through these: the main
    // window shows it, or not.
    // The main window's caption, the application's title and a status panel.
    void TitoloCambiato(const QString &testo);
    void TitoloApplicazioneCambiato(const QString &testo);
    void StatoCambiato(int pannello, const QString &testo);
    // The document started or ended a drawing.
    void Occupato();
    void Libero();
    // The panels are to show the active document's settings.
    void PannelliDaAggiornare();
    // The user selected a region: a new document is to draw these settings.
    void RegioneScelta(const CParametri &parametri);
    // An error, for the program's error box (a full stop is added there): a
    // file that could not be read or written, a drawing that raised, a
    // handler of the image control that raised.
    void Errore(const QString &messaggio);
    // A plain message, for a box with an OK button.
    void Messaggio(const QString &testo);

protected:
    // The keys of the moves, while the document has the keyboard: + (or =)
    // and - zoom about the centre, the arrows move the window by a quarter.
    void keyPressEvent(QKeyEvent *evento) override;
    void showEvent(QShowEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    // Places the panel over the whole window and the image inside its bevel.
    void AllineaControlli();
    // The busy and idle states of the drawing controls (the image control is
    // disabled before the drawing starts) and of the image control.
    void ModoOccupato();
    void ModoLibero(const QString &errore);
    // The largest square image the document's window can show inside the
    // area it lives in; no limit outside one.
    int32_t LatoMassimo();
    // A document the user works on in the document area becomes its active one.
    void Attivati();
    // Runs a handler of the image control: what it raises is reported
    // (Errore) before it can reach the toolkit's frames.
    template <typename Azione>
    void Protetto(Azione &&azione);

    // Controls.
    QFrame *Panel2;
    TImmagine *Immagine;
    QFileDialog *SaveDialog1;

    CSelezione SelezioneZoom;
    CParametri Impostazioni;
    QSize &UltimaDimensione;
    CSessioneDisegno Sessione;
    // FormShow runs when the window is first shown, not when it comes back
    // from being minimized.
    bool Mostrato = false;
    TNavigatore Navigatore{*this};
};
