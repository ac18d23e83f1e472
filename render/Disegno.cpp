#include "Disegno.h"

#include "Scelte.h"
#include "ScelteColori.h"

CDisegno::CDisegno()
{
    PreparaTabelleDocumento(ColoratoreLog, ColoratoreFasce);
}

CDisegnatore &CDisegno::Prepara(const CParametri &impostazioni, CImmagine *immagine, int32_t larghezza,
                                int32_t altezza)
{
    Parametri = impostazioni;
    const CParametri &parametri = Parametri;
    CAreaDisegno &area = AreaDisegno;
    area.Frattale = &FrattaleDaScelta(parametri.SceltaFrattale, parametri.FrattaleMandelbrot,
                                      parametri.FrattaleJulia, parametri.FrattaleVolterraLotka);
    area.Interno = &InternoDaScelta(parametri.SceltaInterno, ColoratoreSolido, ColoratoreLog);
    area.Esterno =
        &EsternoDaScelta(parametri.SceltaEsterno, ColoratoreFasce, ColoratoreSfumato, Tavolozze, *area.Frattale);
    area.Immagine = immagine;
    area.Min = parametri.Finestra.Min.Esteso();
    area.Max = parametri.Finestra.Max.Esteso();
    area.MaxIterazioni = parametri.Finestra.MaxIterazioni;
    area.Larghezza = larghezza;
    area.Altezza = altezza;
    // The room of the reference orbits before the buffer: a drawing that
    // cannot hold them is refused with everything as it was.
    area.Calcolatore = nullptr;
    if (DisegnoProfondo(parametri.Finestra, *area.Frattale, larghezza, altezza)) {
        Profondo.Prepara(parametri.Finestra, *area.Frattale, larghezza, altezza);
        area.Calcolatore = &Profondo;
    } else {
        Profondo.Libera();
    }
    area.PreparaBuffer(larghezza, altezza);
    return DisegnatoreDaScelta(parametri.SceltaMetodo, DisegnatorePuntoPunto, DisegnatoreBlocco);
}
