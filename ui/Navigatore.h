#pragma once

#include "Cronologia.h"
#include "FileParametri.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <cstdint>

struct CTrasformazione;

// What the moves need of a document: its settings, the size of its picture
// and its drawing.
class CDocumentoNavigabile
{
public:
    virtual const CParametri &Parametri() const = 0;
    // New settings; nothing is drawn.
    virtual void ImpostaParametri(const CParametri &parametri) = 0;
    virtual QSize DimensioniImmagine() const = 0;
    virtual bool InCalcolo() const = 0;
    virtual void FermaCalcolo() = 0;
    // Starts a drawing of the settings; throws CErrore when it cannot.
    virtual void EseguiCalcolo() = 0;
    // A drag under way over the picture.
    virtual bool InSelezione() const = 0;

protected:
    CDocumentoNavigabile() = default;
    CDocumentoNavigabile(const CDocumentoNavigabile &) = default;
    CDocumentoNavigabile &operator=(const CDocumentoNavigabile &) = default;
    ~CDocumentoNavigabile() = default;
};

// A document's moves over the plane: the zoom in place (the wheel over its
// picture, or a step about the centre), the moves by a quarter of the
// window, new settings chosen outside the panels (the exterior colouring),
// and back and forward through the settings it has drawn. Each move draws
// at once, as Enter does; a move while the document draws stops that
// drawing first, and the moves that follow within a moment are gathered
// into one drawing. The new windows are exact at every depth
// (FinestraTrasformata.h).
class TNavigatore final : public QObject
{
    Q_OBJECT

public:
    // How long a stopped drawing waits for more moves before it starts again.
    static constexpr int AttesaMs = 150;

    explicit TNavigatore(CDocumentoNavigabile &documento);

    // The document started a drawing of its settings (whoever asked for
    // it): they are the entry after the current one (CCronologia).
    void Registra();

    // The wheel at (x, y) of the picture control: angolo in eighths of a
    // degree (positive: away from the user), else pixel, a touchpad's
    // scrolled pixels. A notch (120) zooms in or out by 2 about the point
    // under the pointer, which keeps its place; smaller steps add up, and a
    // turn the other way starts afresh.
    void Rotella(int32_t x, int32_t y, int angolo, int pixel);
    // Zoom by 2^passi (positive: closer) about pixel (x, y) of the picture,
    // or about its centre. False when refused: a window deeper than the
    // program draws (reported, Messaggio), or far too wide.
    bool Zoom(int passi, int32_t x, int32_t y);
    bool ZoomAlCentro(int passi);
    // Moves the window by quarters of its width (positive: right) and of its
    // height (positive: up).
    bool Sposta(int quartiX, int quartiY);
    // The document takes these settings and draws them.
    void Applica(const CParametri &nuovi);

    // Back and forward through the settings drawn; nothing where there are none.
    void Indietro();
    void Avanti();
    const CCronologia &Cronologia() const { return Voci; }

    // Whether a drawing waits for more moves.
    bool InAttesa() const { return Attesa.isActive(); }

signals:
    // Back or forward may have become possible or not.
    void CronologiaCambiata();
    // The document's settings changed: the panels are to show them.
    void ImpostazioniCambiate();
    void Messaggio(const QString &testo);
    void Errore(const QString &messaggio);

private:
    // The window transformed for the picture's size; false when refused.
    bool Trasforma(const CTrasformazione &t);
    void Disegna();

    CDocumentoNavigabile &Documento;
    CCronologia Voci;
    QTimer Attesa;
    // Eighths of a degree turned since the last notch.
    int Accumulo = 0;
};
