#pragma once

#include "Disegno.h"
#include "FileParametri.h"
#include "FinestraTrasformata.h"
#include "ImmagineQt.h"
#include "SessioneDisegno.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <thread>

// The most pixels one exported picture may have, and the longest side: a
// larger picture is drawn in tiles by the poster tool.
inline constexpr int64_t MassimoPixelEsportazione = int64_t(1) << 28;
inline constexpr int32_t MassimoLatoEsportazione = 65535;
// Whether a picture of that size is one drawing's.
bool DimensioneEsportabile(int64_t larghezza, int64_t altezza);
// Why a larger one is not, and what draws it instead.
QString TestoEsportazioneTroppoGrande(int64_t larghezza, int64_t altezza);

// The settings of a picture of larghezza x altezza pixels of what a w0 x h0
// picture of these settings shows: its window widened about the centre to
// the new proportions (FinestraTrasformata.h: Ampliamento), at the new size.
// Anything but Fatta leaves esportati alone.
EsitoFinestra ParametriEsportazione(const CParametri &parametri, int32_t w0, int32_t h0, int32_t larghezza,
                                    int32_t altezza, CParametri &esportati);

// One picture drawn away from any window, at a size of its own, on worker
// threads overseen by a drawing session of its own, and then saved with its
// parameters file. It holds its settings, its picture and everything it
// draws with, so that the document it came from may change or close.
class CEsportazione final : public QObject
{
    Q_OBJECT

public:
    // The settings give the window and the size (Larghezza x Altezza). Throws
    // CErrore, with nothing started, when the picture, the buffer or the
    // reference orbits of a deep drawing cannot be allocated.
    explicit CEsportazione(const CParametri &parametri, QObject *genitore = nullptr);
    // Stops a drawing under way and joins its threads; waits for a file
    // being written.
    ~CEsportazione() override;

    // Starts the drawing; it reports as it goes (Progresso) and at its end (Finito).
    void Avvia();
    // Ends the drawing now, as incomplete: Finito comes from here.
    void Ferma();
    bool InCorso() const { return Sessione.InCorso(); }

    // After a complete drawing: writes the picture under that name, a PNG
    // for a name that ends in ".png" and a bitmap otherwise, and then its
    // parameters file beside it, each whole or not at all (FileDocumento.h),
    // on a thread of its own (a large picture takes a while to encode);
    // Salvata tells how it went. Once only.
    void Salva(const QString &nome);

    const CParametri &Parametri() const { return Impostazioni; }
    const QImage &Figura() const { return Immagine; }

signals:
    // Percent done, every 0.6 s while it draws.
    void Progresso(double completamento);
    // The drawing has ended: complete (not stopped), and what it raised
    // (empty when nothing).
    void Finito(bool completa, const QString &errore);
    // The files are written, or not and why.
    void Salvata(bool scritta, const QString &errore);

private:
    void Fine(const QString &errore);

    CParametri Impostazioni;
    QImage Immagine;
    std::optional<CImmagineQt> Vista;
    CDisegno Disegno;
    CSessioneDisegno Sessione;
    CDisegnatore *Metodo = nullptr;
    bool Fermata = false;
    std::thread Scrittura;
};
