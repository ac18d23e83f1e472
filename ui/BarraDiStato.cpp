#include "BarraDiStato.h"

#include <QLabel>

namespace {

struct CPannello
{
    const char *Testo;
    int Larghezza; // 0: the rest of the bar
    Qt::Alignment Allineamento;
};

constexpr CPannello DescrizionePannelli[TBarraDiStato::NumeroPannelli] = {
    {QT_TRANSLATE_NOOP("TBarraDiStato", "TipoFrattale"), 150, Qt::AlignCenter},
    {QT_TRANSLATE_NOOP("TBarraDiStato", "Dimensioni"), 100, Qt::AlignCenter},
    {QT_TRANSLATE_NOOP("TBarraDiStato", "Tempi"), 0, Qt::AlignLeft | Qt::AlignVCenter},
};

} // namespace

TBarraDiStato::TBarraDiStato(QWidget *genitore) : QStatusBar(genitore)
{
    setObjectName(QStringLiteral("BarraDiStato"));
    setMinimumHeight(25);
    for (int i = 0; i < NumeroPannelli; ++i) {
        auto *etichetta = new QLabel(this);
        etichetta->setObjectName(QStringLiteral("Pannello%1").arg(i));
        etichetta->setTextFormat(Qt::PlainText);
        etichetta->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (DescrizionePannelli[i].Larghezza > 0)
            etichetta->setFixedWidth(DescrizionePannelli[i].Larghezza);
        else
            etichetta->setMinimumWidth(50);
        // Permanent widgets stay visible whatever message the bar is asked to show.
        addPermanentWidget(etichetta, DescrizionePannelli[i].Larghezza > 0 ? 0 : 1);
        Pannelli[i] = etichetta;
        ScriviPannello(i, tr(DescrizionePannelli[i].Testo));
    }
}

void TBarraDiStato::ScriviPannello(int indice, const QString &testo)
{
    if (indice < 0 || indice >= NumeroPannelli)
        return;
    Testi[indice] = testo;
    QLabel *etichetta = Pannelli[indice];
    if (testo.startsWith(QLatin1Char('\t'))) {
        etichetta->setAlignment(Qt::AlignCenter);
        etichetta->setText(testo.mid(1));
    } else {
        etichetta->setAlignment(DescrizionePannelli[indice].Allineamento);
        etichetta->setText(testo);
    }
}

QString TBarraDiStato::TestoPannello(int indice) const
{
    if (indice < 0 || indice >= NumeroPannelli)
        return {};
    return Testi[indice];
}

QLabel *TBarraDiStato::Pannello(int indice) const
{
    if (indice < 0 || indice >= NumeroPannelli)
        return nullptr;
    return Pannelli[indice];
}
