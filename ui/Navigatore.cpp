#include "Navigatore.h"

#include "Applicazione.h"
#include "FileDocumento.h"
#include "FinestraTrasformata.h"

#include <algorithm>

namespace {
// Eighths of a degree in a notch of a wheel.
constexpr int Tacca = 120;
// A touchpad that gives pixels only: this many eighths of a degree a pixel,
// a notch every 30 pixels.
constexpr int PerPixel = 4;
} // namespace

TNavigatore::TNavigatore(CDocumentoNavigabile &documento) : Documento(documento)
{
    Attesa.setSingleShot(true);
    Attesa.setInterval(AttesaMs);
    Attesa.callOnTimeout(this, &TNavigatore::Disegna);
}

void TNavigatore::Registra()
{
    // Whoever started it, the drawing waited for has begun.
    Attesa.stop();
    Voci.Registra(Documento.Parametri());
    emit CronologiaCambiata();
}

void TNavigatore::Rotella(int32_t x, int32_t y, int angolo, int pixel)
{
    // A drag under way owns the picture.
    if (Documento.InSelezione())
        return;
    const int passo = angolo != 0 ? angolo : pixel * PerPixel;
    if (passo == 0)
        return;
    if ((passo > 0) != (Accumulo > 0) && Accumulo != 0)
        Accumulo = 0;
    Accumulo += passo;
    const int tacche = Accumulo / Tacca;
    if (tacche == 0)
        return;
    Accumulo -= tacche * Tacca;
    Zoom(tacche, x, y);
}

bool TNavigatore::Trasforma(const CTrasformazione &t)
{
    const QSize lato = Documento.DimensioniImmagine();
    CParametri nuovi = Documento.Parametri();
    switch (FinestraTrasformata(nuovi.Finestra.Min, nuovi.Finestra.Max, t, std::max(lato.width(), 1),
                                std::max(lato.height(), 1), nuovi.Finestra.Min, nuovi.Finestra.Max)) {
    case EsitoFinestra::Fatta:
        Applica(nuovi);
        return true;
    case EsitoFinestra::OltreIlLimite:
        emit Messaggio(TestoZoomOltreIlLimite());
        return false;
    case EsitoFinestra::TroppoAmpia:
        break;
    }
    return false;
}

bool TNavigatore::Zoom(int passi, int32_t x, int32_t y)
{
    const QSize lato = Documento.DimensioniImmagine();
    if (passi == 0 || lato.isEmpty())
        return false;
    return Trasforma(ZoomAttorno(x, y, lato.width(), lato.height(), passi));
}

bool TNavigatore::ZoomAlCentro(int passi)
{
    // The centre exactly, whatever the parity of the size.
    return passi != 0 && Trasforma(ZoomAttorno(1, 1, 2, 2, passi));
}

bool TNavigatore::Sposta(int quartiX, int quartiY)
{
    return (quartiX != 0 || quartiY != 0) && Trasforma(Spostamento(quartiX, quartiY));
}

void TNavigatore::Applica(const CParametri &nuovi)
{
    if (Documento.InCalcolo()) {
        Documento.FermaCalcolo();
        Attesa.start();
    } else if (InAttesa()) {
        Attesa.start();
    }
    Documento.ImpostaParametri(nuovi);
    emit ImpostazioniCambiate();
    if (!InAttesa())
        Disegna();
}

void TNavigatore::Disegna()
{
    Attesa.stop();
    GestisciErrori([this] { Documento.EseguiCalcolo(); }, [this](const QString &messaggio) { emit Errore(messaggio); });
}

void TNavigatore::Indietro()
{
    if (const CParametri *voce = Voci.Indietro()) {
        const CParametri parametri = *voce;
        emit CronologiaCambiata();
        Applica(parametri);
    }
}

void TNavigatore::Avanti()
{
    if (const CParametri *voce = Voci.Avanti()) {
        const CParametri parametri = *voce;
        emit CronologiaCambiata();
        Applica(parametri);
    }
}
