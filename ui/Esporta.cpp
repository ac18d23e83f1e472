#include "Esporta.h"

#include "Applicazione.h"
#include "DialogoSalva.h"
#include "Esportazione.h"
#include "FileDocumento.h"
#include "MDIChild.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSpinBox>

#include <algorithm>
#include <exception>

namespace {

QSpinBox *Lato(QWidget *genitore, const char *nome, int valore)
{
    auto *campo = new QSpinBox(genitore);
    campo->setObjectName(QString::fromLatin1(nome));
    campo->setRange(1, MassimoLatoEsportazione);
    campo->setValue(valore);
    campo->setSuffix(QStringLiteral(" px"));
    campo->setGroupSeparatorShown(false);
    return campo;
}

} // namespace

TEsporta::TEsporta(QWidget *finestra) : QObject(finestra), Finestra(finestra)
{
    setObjectName(QStringLiteral("Esporta"));
}

void TEsporta::CreaDialogo()
{
    Dimensioni = new QDialog(Finestra);
    Dimensioni->setObjectName(QStringLiteral("DialogoEsporta"));
    Dimensioni->setWindowTitle(tr("Esporta immagine"));
    Dimensioni->setMinimumWidth(380);
    Larghezza = Lato(Dimensioni, "EditLarghezzaEsporta", 4000);
    Altezza = Lato(Dimensioni, "EditAltezzaEsporta", 3000);
    auto *modulo = new QFormLayout(Dimensioni);
    auto *spiegazione = new QLabel(tr("Tutto ciò che il documento mostra, e altro del piano ai lati dove le "
                                      "proporzioni lo chiedono, disegnato a questa dimensione:"),
                                   Dimensioni);
    spiegazione->setWordWrap(true);
    modulo->addRow(spiegazione);
    modulo->addRow(tr("Larghezza:"), Larghezza);
    modulo->addRow(tr("Altezza:"), Altezza);
    auto *bottoni = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Dimensioni);
    modulo->addRow(bottoni);
    connect(bottoni, &QDialogButtonBox::rejected, Dimensioni, &QDialog::reject);
    connect(bottoni, &QDialogButtonBox::accepted, Dimensioni, [this] {
        // A picture larger than one drawing: said at once, and the size can
        // be changed.
        if (!DimensioneEsportabile(Larghezza->value(), Altezza->value())) {
            QMessageBox avviso(QMessageBox::Warning, Dimensioni->windowTitle(),
                               TestoEsportazioneTroppoGrande(Larghezza->value(), Altezza->value()), QMessageBox::Ok,
                               Dimensioni);
            avviso.exec();
            return;
        }
        Dimensioni->accept();
    });
    Nome = CreaDialogoSalva(Finestra, QStringLiteral("SaveDialogEsporta"), tr("Nome dell'immagine esportata ?"),
                            true);
}

void TEsporta::Chiedi(const TMDIChild &documento)
{
    if (!Dimensioni)
        CreaDialogo();
    if (Dimensioni->exec() != QDialog::Accepted)
        return;
    if (const QString cartella = UltimaCartella(); !cartella.isEmpty())
        Nome->setDirectory(cartella);
    if (Nome->exec() != QDialog::Accepted || Nome->selectedFiles().isEmpty())
        return;
    const QString nome = Nome->selectedFiles().first();
    RicordaCartella(nome);
    Avvia(documento.Parametri(), documento.DimensioniImmagine(), Larghezza->value(), Altezza->value(), nome);
}

bool TEsporta::Avvia(const CParametri &parametri, QSize mostrata, int32_t larghezza, int32_t altezza,
                     const QString &nome)
{
    if (!DimensioneEsportabile(larghezza, altezza)) {
        emit Messaggio(TestoEsportazioneTroppoGrande(larghezza, altezza));
        return false;
    }
    CParametri esportati;
    switch (ParametriEsportazione(parametri, mostrata.width(), mostrata.height(), larghezza, altezza, esportati)) {
    case EsitoFinestra::Fatta:
        break;
    case EsitoFinestra::OltreIlLimite:
        emit Messaggio(TestoZoomOltreIlLimite());
        return false;
    case EsitoFinestra::TroppoAmpia:
        emit Messaggio(tr("La finestra dell'immagine esportata andrebbe oltre %1 dall'origine.")
                           .arg(double(LimiteAmpiezza)));
        return false;
    }
    CEsportazione *lavoro = nullptr;
    try {
        lavoro = new CEsportazione(esportati, this);
    } catch (const std::exception &errore) {
        emit Errore(TestoErrore(errore));
        return false;
    }
    const QString nativo = QDir::toNativeSeparators(nome);
    auto *progresso = new QProgressDialog(tr("Esportazione di %1 (%2 x %3)...").arg(nativo).arg(larghezza).arg(altezza),
                                          tr("Ferma"), 0, 100, Finestra);
    progresso->setObjectName(QStringLiteral("ProgressoEsporta"));
    progresso->setWindowTitle(tr("Esporta immagine"));
    // The program stays usable while it draws.
    progresso->setWindowModality(Qt::NonModal);
    progresso->setAutoClose(false);
    progresso->setAutoReset(false);
    progresso->setMinimumDuration(0);
    progresso->setValue(0);
    ++Attive;
    const auto chiudi = [this, lavoro, progresso, nome](bool salvata) {
        disconnect(progresso, nullptr, lavoro, nullptr);
        progresso->hide();
        progresso->deleteLater();
        lavoro->deleteLater();
        --Attive;
        emit Conclusa(nome, salvata);
    };
    connect(progresso, &QProgressDialog::canceled, lavoro, &CEsportazione::Ferma);
    connect(lavoro, &CEsportazione::Progresso, progresso, [progresso](double completamento) {
        progresso->setValue(std::clamp(int(completamento), 0, 99));
    });
    connect(lavoro, &CEsportazione::Finito, this,
            [this, lavoro, progresso, nome, nativo, chiudi](bool completa, const QString &errore) {
                if (!errore.isEmpty())
                    emit Errore(tr("Impossibile esportare l'immagine %1: %2").arg(nativo, errore));
                if (!completa || !errore.isEmpty()) {
                    chiudi(false);
                    return;
                }
                // Written on a thread of its own: the dialog waits, and can no longer stop it.
                progresso->setLabelText(tr("Scrittura di %1...").arg(nativo));
                progresso->setCancelButton(nullptr);
                progresso->setRange(0, 0);
                lavoro->Salva(nome);
            });
    connect(lavoro, &CEsportazione::Salvata, this, [this, nativo, chiudi](bool scritta, const QString &errore) {
        if (!scritta)
            emit Errore(tr("Impossibile salvare l'immagine esportata %1: %2").arg(nativo, errore));
        chiudi(scritta);
    });
    progresso->show();
    lavoro->Avvia();
    return true;
}
