#include "Navigazione.h"

#include "Applicazione.h"
#include "BarraStrumenti.h"
#include "MDIChild.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <initializer_list>
#include <type_traits>
#include <utility>

namespace {

// A magnifier with a plus or a minus, when the desktop's icon theme has none.
QIcon Lente(const char *tema, bool piu)
{
    const QIcon daTema = QIcon::fromTheme(QString::fromLatin1(tema));
    if (!daTema.isNull())
        return daTema;
    QPixmap figura(24, 24);
    figura.fill(Qt::transparent);
    QPainter p(&figura);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10, 10), 7, 7);
    p.setPen(QPen(Qt::black, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.5, 15.5), QPointF(21, 21));
    p.setPen(QPen(Qt::black, 1.8));
    p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
    if (piu)
        p.drawLine(QPointF(10, 6.5), QPointF(10, 13.5));
    return QIcon(figura);
}

QAction *Comando(QObject *genitore, const char *nome, const QString &testo, const QString &suggerimento,
                 std::initializer_list<QKeySequence> tasti)
{
    auto *comando = new QAction(testo, genitore);
    comando->setObjectName(QString::fromLatin1(nome));
    comando->setStatusTip(suggerimento);
    comando->setShortcuts(QList<QKeySequence>(tasti));
    return comando;
}

} // namespace

QStringList TNavigazione::NomiColori()
{
    return {tr("Fasce"), tr("Oceano"), tr("Fuoco"), tr("Aurora"), tr("Grafite")};
}

TNavigazione::TNavigazione(QMainWindow *finestra, const TDock *alto, QAction *prima)
    : QObject(finestra)
{
    setObjectName(QStringLiteral("Navigazione"));
    QStyle *stile = finestra->style();

    IndietroItem = Comando(this, "IndietroItem", tr("&Indietro"), tr("Torna alle impostazioni disegnate prima"),
                           {QKeySequence(Qt::ALT | Qt::Key_Left)});
    IndietroItem->setIcon(stile->standardIcon(QStyle::SP_ArrowBack));
    AvantiItem = Comando(this, "AvantiItem", tr("&Avanti"), tr("Va alle impostazioni disegnate dopo"),
                         {QKeySequence(Qt::ALT | Qt::Key_Right)});
    AvantiItem->setIcon(stile->standardIcon(QStyle::SP_ArrowForward));

    // The keys of the zoom and the moves are the document's own (they act
    // while it has the keyboard, so that a settings field keeps them): the
    // menu shows them beside the items.
    QAction *avvicina = Comando(this, "AvvicinaItem", tr("Avvi&cina") + QStringLiteral("\t+"),
                                tr("Ingrandisce due volte attorno al centro"), {});
    avvicina->setIcon(Lente("zoom-in", true));
    QAction *allontana = Comando(this, "AllontanaItem", tr("Allo&ntana") + QStringLiteral("\t-"),
                                 tr("Rimpicciolisce due volte attorno al centro"), {});
    allontana->setIcon(Lente("zoom-out", false));
    const auto tasto = [](Qt::Key k) {
        return QStringLiteral("\t") + QKeySequence(k).toString(QKeySequence::NativeText);
    };
    QAction *sinistra = Comando(this, "SinistraItem", tr("Sposta a &sinistra") + tasto(Qt::Key_Left),
                                tr("Sposta la finestra di un quarto della larghezza"), {});
    QAction *destra = Comando(this, "DestraItem", tr("Sposta a &destra") + tasto(Qt::Key_Right),
                              tr("Sposta la finestra di un quarto della larghezza"), {});
    QAction *su = Comando(this, "SuItem", tr("Sposta in al&to") + tasto(Qt::Key_Up),
                          tr("Sposta la finestra di un quarto dell'altezza"), {});
    QAction *giu = Comando(this, "GiuItem", tr("Sposta in &basso") + tasto(Qt::Key_Down),
                           tr("Sposta la finestra di un quarto dell'altezza"), {});
    Movimenti = {avvicina, allontana, sinistra, destra, su, giu};
    connect(IndietroItem, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.Indietro(); }); });
    connect(AvantiItem, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.Avanti(); }); });
    connect(avvicina, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.ZoomAlCentro(1); }); });
    connect(allontana, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.ZoomAlCentro(-1); }); });
    connect(sinistra, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.Sposta(-1, 0); }); });
    connect(destra, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.Sposta(1, 0); }); });
    connect(su, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.Sposta(0, 1); }); });
    connect(giu, &QAction::triggered, this, [this] { SulDocumento([](TNavigatore &n) { n.Sposta(0, -1); }); });

    auto *vista = new QMenu(tr("&Vista"), finestra->menuBar());
    vista->setObjectName(QStringLiteral("Vista1"));
    vista->menuAction()->setObjectName(QStringLiteral("Vista1"));
    vista->menuAction()->setStatusTip(tr("Spostarsi sul piano e scegliere i colori"));
    finestra->menuBar()->insertMenu(prima, vista);
    vista->addActions({IndietroItem, AvantiItem});
    vista->addSeparator();
    vista->addActions(Movimenti);
    vista->addSeparator();
    QMenu *colori = vista->addMenu(tr("Colore &esterno"));
    colori->setObjectName(QStringLiteral("ColoreEsterno1"));
    Colori = new QActionGroup(this);
    Colori->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const QStringList nomi = NomiColori();
    for (int scelta = 0; scelta < nomi.size(); ++scelta) {
        QAction *voce = colori->addAction(nomi[scelta]);
        voce->setObjectName(QStringLiteral("Colore%1").arg(scelta));
        voce->setCheckable(true);
        voce->setData(scelta);
        Colori->addAction(voce);
        if (scelta == 0)
            colori->addSeparator();
    }
    connect(Colori, &QActionGroup::triggered, this, [this](QAction *voce) {
        SulDocumento([voce](TNavigatore &n, TMDIChild &d) {
            CParametri p = d.Parametri();
            p.SceltaEsterno = int8_t(voce->data().toInt());
            n.Applica(p);
        });
        Aggiorna();
    });

    Barra = new TBarraStrumenti(tr("Navigazione"), QStringLiteral("BarraNavigazione"), alto, true, finestra);
    Barra->setIconSize(QSize(22, 22));
    finestra->addToolBar(Qt::TopToolBarArea, Barra);
    Barra->addActions({IndietroItem, AvantiItem});
    Barra->addSeparator();
    Barra->addActions({avvicina, allontana});
    Aggiorna();
}

template <typename Azione>
void TNavigazione::SulDocumento(Azione &&azione)
{
    TMDIChild *documento = Seguito;
    if (!documento)
        return;
    GestisciErrori(
        [&] {
            if constexpr (std::is_invocable_v<Azione, TNavigatore &, TMDIChild &>)
                azione(documento->Navigazione(), *documento);
            else
                azione(documento->Navigazione());
        },
        [this](const QString &messaggio) { emit Errore(messaggio); });
}

void TNavigazione::Segui(TMDIChild *documento)
{
    for (const QMetaObject::Connection &c : std::as_const(Connessioni))
        disconnect(c);
    Connessioni.clear();
    Seguito = documento;
    if (documento) {
        Connessioni << connect(&documento->Navigazione(), &TNavigatore::CronologiaCambiata, this,
                               &TNavigazione::Aggiorna)
                    << connect(documento, &TMDIChild::PannelliDaAggiornare, this, &TNavigazione::Aggiorna);
    }
    Aggiorna();
}

void TNavigazione::Aggiorna()
{
    TMDIChild *documento = Seguito;
    IndietroItem->setEnabled(documento && documento->Navigazione().Cronologia().PuoIndietro());
    AvantiItem->setEnabled(documento && documento->Navigazione().Cronologia().PuoAvanti());
    for (QAction *movimento : std::as_const(Movimenti))
        movimento->setEnabled(documento != nullptr);
    Colori->setEnabled(documento != nullptr);
    const int scelta = documento ? documento->Parametri().SceltaEsterno : -1;
    for (QAction *voce : Colori->actions())
        voce->setChecked(voce->data().toInt() == scelta);
}
