#include "Pannelli.h"

#include "BarraStrumenti.h"
#include "FileParametri.h"
#include "Numeri.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>

#include <utility>

namespace {

// The items of the formula list, in its order: an item's index is the
// document's choice of formula. Which parameters show follows the choice:
// Julia's constant, Volterra-Lotka's two steps, none for any other.
enum VoceFrattale : int { VoceMandelbrot = 0, VoceJulia = 1, VoceVolterraLotka = 2 };

// The labels of the settings toolbars: 17-pixel text. testo is translated:
// the Italian ones are marked for the translation tools.
void Etichetta(QToolBar *barra, const char *nome, const char *testo)
{
    auto *etichetta = new QLabel(TPannelli::tr(testo), barra);
    etichetta->setObjectName(QString::fromLatin1(nome));
    etichetta->setAlignment(Qt::AlignCenter);
    QFont carattere = etichetta->font();
    carattere.setPixelSize(17);
    etichetta->setFont(carattere);
    barra->addWidget(etichetta);
}

QComboBox *Elenco(QToolBar *barra, const char *nome, const QStringList &voci)
{
    auto *elenco = new QComboBox(barra);
    elenco->setObjectName(QString::fromLatin1(nome));
    elenco->addItems(voci);
    elenco->setCurrentIndex(-1);
    elenco->setFixedWidth(136);
    barra->addWidget(elenco);
    return elenco;
}

QLineEdit *Campo(QToolBar *barra, const char *nome, const char *testo, int larghezza)
{
    auto *campo = new QLineEdit(QString::fromUtf8(testo), barra);
    campo->setObjectName(QString::fromLatin1(nome));
    campo->setFixedWidth(larghezza);
    barra->addWidget(campo);
    return campo;
}

// A field the user has not edited since it was shown keeps the value it
// showed: its text may carry fewer digits than the value.
int32_t Intero(const QLineEdit *campo, int32_t valore)
{
    return campo->isModified() ? LeggiIntero(campo->text()) : valore;
}

long double Numero(const QLineEdit *campo, long double valore, const QString &separatore)
{
    return campo->isModified() ? LeggiNumero(campo->text(), separatore) : valore;
}

CReale Coordinata(const QLineEdit *campo, const CReale &valore, const QString &separatore)
{
    return campo->isModified() ? LeggiCoordinata(campo->text(), separatore) : valore;
}

} // namespace

TPannelli::TPannelli(QMainWindow *finestra, const TDock *alto, const TDock *sinistra)
    : QObject(finestra), SeparatoreDecimale(SeparatoreDecimaleDiSistema())
{
    setObjectName(QStringLiteral("Pannelli"));
    CreaSettaggiInsieme(finestra, alto);
    CreaSettaggiFinestra(finestra);
    CreaParametriAggiuntivi(finestra, sinistra);
    // Only the user's choice: the panels' own showing raises nothing.
    connect(ComboBoxFrattale, &QComboBox::activated, this, &TPannelli::FrattaleScelto);
}

void TPannelli::CreaSettaggiInsieme(QMainWindow *finestra, const TDock *alto)
{
    auto *barra = new TBarraStrumenti(tr("Settaggi Insieme"), QStringLiteral("Toolbar97"), alto, false, finestra);
    finestra->addToolBar(Qt::LeftToolBarArea, barra);

    Etichetta(barra, "Label1", QT_TR_NOOP("Frattale: "));
    ComboBoxFrattale = Elenco(barra, "ComboBoxFrattale",
                              {QStringLiteral("Mandelbrot"), QStringLiteral("Julia"), QStringLiteral("Volterra-Lotka")});
    barra->Separatore("ToolbarSep972");
    Etichetta(barra, "Label2", QT_TR_NOOP("Colore Interno:"));
    // The interior colouring's items: index 0 black, 1 shaded.
    ComboBoxColoreInterno = Elenco(barra, "ComboBoxColoreInterno", {tr("Nero"), tr("Sfumato Log1")});
    barra->Separatore("ToolbarSep971");
    Etichetta(barra, "Label3", QT_TR_NOOP("Iterazioni:"));
    EditMaxIterazioni = Campo(barra, "EditMaxIterazioni", "520", 136);

    QWidget::setTabOrder(ComboBoxFrattale, ComboBoxColoreInterno);
    QWidget::setTabOrder(ComboBoxColoreInterno, EditMaxIterazioni);
}

void TPannelli::CreaSettaggiFinestra(QMainWindow *finestra)
{
    auto *barra = new TBarraStrumenti(tr("Settaggi Finestra"), QStringLiteral("Toolbar971"), nullptr, true, finestra);
    finestra->addToolBar(Qt::LeftToolBarArea, barra);

    Etichetta(barra, "Label4", "X Min:");
    EditXMin = Campo(barra, "EditXMin", "EditXMin", 153);
    barra->Separatore("ToolbarSep973");
    Etichetta(barra, "Label5", "X Max:");
    EditXMax = Campo(barra, "EditXMax", "EditXMax", 153);
    barra->Separatore("ToolbarSep974");
    Etichetta(barra, "Label6", "Y Min:");
    EditYMin = Campo(barra, "EditYMin", "EditYMin", 153);
    barra->Separatore("ToolbarSep975");
    Etichetta(barra, "Label7", "Y Max:");
    EditYMax = Campo(barra, "EditYMax", "EditYMax", 153);

    // The fields are narrower than a deep corner's digits: each shows its
    // whole text as its tooltip.
    for (QLineEdit *campo : {EditXMin, EditXMax, EditYMin, EditYMax})
        connect(campo, &QLineEdit::textChanged, campo, &QWidget::setToolTip);

    // Upwards, from Y Max to X Min.
    QWidget::setTabOrder(EditYMax, EditYMin);
    QWidget::setTabOrder(EditYMin, EditXMax);
    QWidget::setTabOrder(EditXMax, EditXMin);
}

void TPannelli::CreaParametriAggiuntivi(QMainWindow *finestra, const TDock *sinistra)
{
    auto *barra = new TBarraStrumenti(tr("Parametri Aggiuntivi"), QStringLiteral("ParametriAggiuntivi"), sinistra,
                                      true, finestra);
    finestra->addToolBar(Qt::LeftToolBarArea, barra);

    Etichetta(barra, "Label8", "Param 1:");
    EditParam1 = Campo(barra, "EditParam1", "EditParam1", 153);
    barra->Separatore("ToolbarSep978");
    Etichetta(barra, "Label9", "Param 2:");
    EditParam2 = Campo(barra, "EditParam2", "EditParam2", 153);

    QWidget::setTabOrder(EditParam1, EditParam2);
}

void TPannelli::Mostra(const CParametri &p, std::optional<int> formula)
{
    const int scelta = formula.value_or(p.SceltaFrattale);
    // An index outside a list selects no item and shows no text.
    ComboBoxFrattale->setCurrentIndex(scelta);
    ComboBoxColoreInterno->setCurrentIndex(p.SceltaInterno);
    EditMaxIterazioni->setText(TestoIntero(p.Finestra.MaxIterazioni));
    EditXMin->setText(TestoCoordinata(p.Finestra.Min.re, SeparatoreDecimale));
    EditXMax->setText(TestoCoordinata(p.Finestra.Max.re, SeparatoreDecimale));
    EditYMin->setText(TestoCoordinata(p.Finestra.Min.im, SeparatoreDecimale));
    EditYMax->setText(TestoCoordinata(p.Finestra.Max.im, SeparatoreDecimale));
    switch (scelta) {
    case VoceJulia:
        EditParam1->setText(TestoNumero(p.FrattaleJulia.Param.re, SeparatoreDecimale));
        EditParam2->setText(TestoNumero(p.FrattaleJulia.Param.im, SeparatoreDecimale));
        break;
    case VoceVolterraLotka:
        EditParam1->setText(TestoNumero(p.FrattaleVolterraLotka.Param1, SeparatoreDecimale));
        EditParam2->setText(TestoNumero(p.FrattaleVolterraLotka.Param2, SeparatoreDecimale));
        break;
    default:
        EditParam1->clear();
        EditParam2->clear();
        break;
    }
    // A deep window's corners are longer than their fields: their first
    // digits show.
    for (QLineEdit *campo : {EditXMin, EditXMax, EditYMin, EditYMax, EditParam1, EditParam2})
        campo->setCursorPosition(0);
}

void TPannelli::Leggi(CParametri &p) const
{
    // A list shows no item only for a value outside it, which the user
    // cannot choose: that value stays.
    if (ComboBoxFrattale->currentIndex() >= 0)
        p.SceltaFrattale = static_cast<int8_t>(ComboBoxFrattale->currentIndex());
    if (ComboBoxColoreInterno->currentIndex() >= 0)
        p.SceltaInterno = static_cast<int8_t>(ComboBoxColoreInterno->currentIndex());
    p.Finestra.MaxIterazioni = Intero(EditMaxIterazioni, p.Finestra.MaxIterazioni);
    // The window of the plane changes only as a whole.
    CBloccoFinestra &f = p.Finestra;
    CReale xMin = Coordinata(EditXMin, f.Min.re, SeparatoreDecimale);
    CReale xMax = Coordinata(EditXMax, f.Max.re, SeparatoreDecimale);
    CReale yMin = Coordinata(EditYMin, f.Min.im, SeparatoreDecimale);
    CReale yMax = Coordinata(EditYMax, f.Max.im, SeparatoreDecimale);
    f.Min = CComplessoAlto(std::move(xMin), std::move(yMin));
    f.Max = CComplessoAlto(std::move(xMax), std::move(yMax));
    switch (p.SceltaFrattale) {
    case VoceJulia: {
        // The constant changes only as a whole.
        const long double re = Numero(EditParam1, p.FrattaleJulia.Param.re, SeparatoreDecimale);
        const long double im = Numero(EditParam2, p.FrattaleJulia.Param.im, SeparatoreDecimale);
        p.FrattaleJulia.Param = Complesso{re, im};
        break;
    }
    case VoceVolterraLotka:
        // Each step as soon as it has been read.
        p.FrattaleVolterraLotka.Param1 = Numero(EditParam1, p.FrattaleVolterraLotka.Param1, SeparatoreDecimale);
        p.FrattaleVolterraLotka.Param2 = Numero(EditParam2, p.FrattaleVolterraLotka.Param2, SeparatoreDecimale);
        break;
    default:
        break;
    }
}

QString TPannelli::NomeFrattale() const
{
    return ComboBoxFrattale->currentText();
}
