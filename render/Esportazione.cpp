#include "Esportazione.h"

#include "Errore.h"
#include "FileDocumento.h"

#include <QCoreApplication>

bool DimensioneEsportabile(int64_t larghezza, int64_t altezza)
{
    return larghezza >= 1 && altezza >= 1 && larghezza <= MassimoLatoEsportazione
        && altezza <= MassimoLatoEsportazione && larghezza * altezza <= MassimoPixelEsportazione;
}

QString TestoEsportazioneTroppoGrande(int64_t larghezza, int64_t altezza)
{
    return QCoreApplication::translate("CEsportazione",
                                       "Un'immagine di %1 x %2 pixel è più grande di ciò che un solo disegno tiene "
                                       "(al più %3 pixel, %4 per lato). Un manifesto così grande si disegna a "
                                       "tessere con:\n\nquillmere-plan poster PARAMETRI CARTELLA --size %1x%2 "
                                       "--tiles CxR")
        .arg(larghezza)
        .arg(altezza)
        .arg(MassimoPixelEsportazione)
        .arg(MassimoLatoEsportazione);
}

EsitoFinestra ParametriEsportazione(const CParametri &parametri, int32_t w0, int32_t h0, int32_t larghezza,
                                    int32_t altezza, CParametri &esportati)
{
    CParametri nuovi = parametri;
    const EsitoFinestra esito =
        FinestraTrasformata(parametri.Finestra.Min, parametri.Finestra.Max, Ampliamento(w0, h0, larghezza, altezza),
                            larghezza, altezza, nuovi.Finestra.Min, nuovi.Finestra.Max);
    if (esito != EsitoFinestra::Fatta)
        return esito;
    nuovi.Finestra.Larghezza = larghezza;
    nuovi.Finestra.Altezza = altezza;
    esportati = std::move(nuovi);
    return esito;
}

CEsportazione::CEsportazione(const CParametri &parametri, QObject *genitore)
    : QObject(genitore), Impostazioni(parametri), Sessione(QString())
{
    const int32_t larghezza = Impostazioni.Finestra.Larghezza;
    const int32_t altezza = Impostazioni.Finestra.Altezza;
    if (!DimensioneEsportabile(larghezza, altezza))
        throw CErrore(MessaggioBuffer);
    Immagine = QImage(larghezza, altezza, QImage::Format_RGB32);
    if (Immagine.isNull())
        throw CErrore(MessaggioBuffer);
    Immagine.fill(Qt::black);
    Vista.emplace(Immagine);
    Metodo = &Disegno.Prepara(Impostazioni, &*Vista, larghezza, altezza);
    // Every core, as the documents' drawings use.
    Disegno.AreaDisegno.Fili = 0;
    connect(&Sessione, &CSessioneDisegno::Tempi, this, [this] {
        // Emitted with the workers parked: the progress may be read.
        if (Sessione.InCorso())
            emit Progresso(Disegno.AreaDisegno.Completamento);
    });
    connect(&Sessione, &CSessioneDisegno::Finito, this, &CEsportazione::Fine);
}

CEsportazione::~CEsportazione()
{
    Sessione.Ferma();
    if (Scrittura.joinable())
        Scrittura.join();
}

void CEsportazione::Avvia()
{
    Fermata = false;
    Sessione.Avvia(*Metodo, Disegno.AreaDisegno);
}

void CEsportazione::Ferma()
{
    Fermata = true;
    Sessione.Ferma();
}

void CEsportazione::Fine(const QString &errore)
{
    emit Finito(!Fermata && errore.isEmpty(), errore);
}

void CEsportazione::Salva(const QString &nome)
{
    if (Scrittura.joinable() || InCorso())
        return;
    // The picture and the settings are not touched again until the thread
    // has been joined: it reads them alone.
    Scrittura = std::thread([this, nome] {
        QString errore;
        const bool scritta = ScriviFigura(Immagine, nome, errore)
            && ScriviFileParametri(Impostazioni, NomeFileParametri(nome), errore);
        QMetaObject::invokeMethod(
            this,
            [this, scritta, errore] {
                Scrittura.join();
                emit Salvata(scritta, errore);
            },
            Qt::QueuedConnection);
    });
}
