#include "Disposizione.h"

#include "MDIChild.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>

void DisponiACascata(QMdiArea *area)
{
    const int passo = area->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize spazio = area->viewport()->size();
    QPoint angolo(0, 0);
    QMdiSubWindow *attiva = area->currentSubWindow();
    QList<QMdiSubWindow *> finestre = area->subWindowList(QMdiArea::StackingOrder);
    finestre.removeOne(attiva);
    if (attiva)
        finestre.append(attiva);
    for (QMdiSubWindow *finestra : finestre) {
        if (finestra->isMinimized())
            continue;
        if (finestra->isMaximized())
            finestra->showNormal();
        if (angolo.y() + finestra->height() > spazio.height() && angolo.y() > 0)
            angolo = QPoint(0, 0);
        finestra->move(angolo);
        finestra->raise();
        angolo += QPoint(passo, passo);
    }
}

void AffiancaDocumenti(QMdiArea *area)
{
    DisponiIcone(area);
    int fondo = area->viewport()->height();
    QList<QMdiSubWindow *> aperte;
    for (QMdiSubWindow *finestra : area->subWindowList()) {
        if (finestra->isMinimized())
            fondo = std::min(fondo, finestra->y());
        else
            aperte.append(finestra);
    }
    if (aperte.isEmpty())
        return;
    const int larghezza = area->viewport()->width();
    const int striscia = std::max(fondo / int(aperte.size()), 1);
    int y = 0;
    for (QMdiSubWindow *finestra : aperte) {
        if (finestra->isMaximized())
            finestra->showNormal();
        const auto *documento = qobject_cast<const TMDIChild *>(finestra->widget());
        const QSize cornice = documento ? finestra->size() - documento->DimensioniImmagine() : QSize(0, 0);
        const int lato = std::max(std::min(striscia - cornice.height(), larghezza - cornice.width()), 1);
        finestra->setGeometry(0, y, lato + cornice.width(), lato + cornice.height());
        y += striscia;
    }
}

void DisponiIcone(QMdiArea *area)
{
    const QSize spazio = area->viewport()->size();
    int x = 0;
    int fondo = spazio.height();
    for (QMdiSubWindow *finestra : area->subWindowList()) {
        if (!finestra->isMinimized())
            continue;
        if (x > 0 && x + finestra->width() > spazio.width()) {
            x = 0;
            fondo -= finestra->height();
        }
        finestra->move(x, fondo - finestra->height());
        x += finestra->width();
    }
}

void RiduciTutti(QMdiArea *area)
{
    const QList<QMdiSubWindow *> finestre = area->subWindowList();
    for (auto i = finestre.size() - 1; i >= 0; --i)
        finestre[i]->showMinimized();
}

void TieniDentro(QMdiSubWindow *finestra)
{
    QMdiArea *area = finestra->mdiArea();
    if (!area || finestra->isMinimized() || finestra->isMaximized())
        return;
    const QSize spazio = area->viewport()->size();
    const QRect attuale = finestra->geometry();
    const int x = std::max(0, std::min(attuale.x(), spazio.width() - attuale.width()));
    const int y = std::max(0, std::min(attuale.y(), spazio.height() - attuale.height()));
    if (x != attuale.x() || y != attuale.y())
        finestra->move(x, y);
}
