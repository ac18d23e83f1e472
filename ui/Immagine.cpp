#include "Immagine.h"

#include "Errore.h"
#include "SessioneDisegno.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

TImmagine::TImmagine(QWidget *genitore) : QWidget(genitore)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Vista.emplace(Figura);
}

void TImmagine::ImpostaPixel(int32_t x, int32_t y, int32_t colore)
{
    if (x >= 0 && y >= 0)
        Vista->ImpostaPixel(x, y, colore);
}

void TImmagine::Sostituisci(QImage &&figura)
{
    Vista.reset();
    Figura.swap(figura);
    Vista.emplace(Figura);
    update();
}

namespace {

QImage BitmapNera(int32_t larghezza, int32_t altezza)
{
    larghezza = std::max(larghezza, 0);
    altezza = std::max(altezza, 0);
    QImage nuova(larghezza, altezza, QImage::Format_RGB32);
    if (nuova.isNull() && larghezza > 0 && altezza > 0)
        throw CErrore(MessaggioBuffer);
    nuova.fill(Qt::black);
    return nuova;
}

// The picture at that size, at the top-left corner of a black one.
QImage Ridimensionata(const QImage &figura, int32_t larghezza, int32_t altezza)
{
    QImage nuova = BitmapNera(larghezza, altezza);
    if (!figura.isNull()) {
        QPainter pittore(&nuova);
        pittore.drawImage(0, 0, figura);
    }
    return nuova;
}

// The picture scaled to that size, with no smoothing: the same pixels the
// stretched control paints.
QImage Scalata(const QImage &figura, int32_t larghezza, int32_t altezza)
{
    QImage nuova = BitmapNera(larghezza, altezza);
    if (!figura.isNull() && !nuova.isNull()) {
        QPainter pittore(&nuova);
        pittore.drawImage(QRect(0, 0, larghezza, altezza), figura);
    }
    return nuova;
}

} // namespace

void TImmagine::NuovaBitmap(int32_t larghezza, int32_t altezza)
{
    QImage nuova = BitmapNera(larghezza, altezza);
    Pulita.reset();
    Sostituisci(std::move(nuova));
}

void TImmagine::ImpostaDimensioniBitmap(int32_t larghezza, int32_t altezza)
{
    if (larghezza == Figura.width() && altezza == Figura.height())
        return;
    QImage nuova = Ridimensionata(Figura, larghezza, altezza);
    if (Pulita)
        Pulita = Ridimensionata(*Pulita, larghezza, altezza);
    Sostituisci(std::move(nuova));
}

void TImmagine::Riscala(int32_t larghezza, int32_t altezza)
{
    QImage nuova = Scalata(Figura, larghezza, altezza);
    if (Pulita)
        Pulita = Scalata(*Pulita, larghezza, altezza);
    Sostituisci(std::move(nuova));
}

void TImmagine::ImpostaBitmap(const QImage &figura)
{
    QImage nuova = figura.convertToFormat(QImage::Format_RGB32);
    if (nuova.isNull() && !figura.isNull())
        throw CErrore(MessaggioBuffer);
    nuova.detach();
    Pulita.reset();
    Sostituisci(std::move(nuova));
}

void TImmagine::RiempiRettangolo(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const int32_t sinistra = std::max(x1, 0);
    const int32_t destra = std::min(x2, int32_t(Figura.width()));
    const int32_t alto = std::max(y1, 0);
    const int32_t basso = std::min(y2, int32_t(Figura.height()));
    if (sinistra >= destra || alto >= basso)
        return;
    const QRgb colore = CImmagineQt::QRgbDaColore(ColoreRiempimento);
    if (sinistra == 0 && alto == 0 && destra == Figura.width() && basso == Figura.height())
        Pulita.reset();
    for (QImage *figura : {&Figura, Pulita ? &*Pulita : nullptr}) {
        if (!figura)
            continue;
        for (int32_t y = alto; y < basso; ++y) {
            QRgb *riga = reinterpret_cast<QRgb *>(figura->scanLine(y));
            std::fill(riga + sinistra, riga + destra, colore);
        }
    }
    update();
}

void TImmagine::InvertiPoligono(const QPolygon &vertici)
{
    if (Figura.isNull())
        return;
    if (!Pulita)
        Pulita = Figura.copy();
    // The raster operation leaves the alpha byte alone, so the bitmap stays
    // an opaque true-colour picture.
    QPainter pittore(&Figura);
    pittore.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    pittore.setPen(Qt::NoPen);
    pittore.setBrush(QColor(255, 255, 255));
    pittore.drawPolygon(vertici);
    pittore.end();
    // Unstretched, one bitmap pixel is one control pixel: only the polygon's
    // area needs painting again.
    if (Stira)
        update();
    else
        update(vertici.boundingRect());
}

void TImmagine::ImpostaStirata(bool stirata)
{
    if (Stira == stirata)
        return;
    Stira = stirata;
    update();
}

bool TImmagine::event(QEvent *evento)
{
    // Before the toolkit's own handling, which turns away the wheel of a
    // disabled control: a drawing under way may be zoomed.
    if (evento->type() == QEvent::Wheel) {
        auto *rotella = static_cast<QWheelEvent *>(evento);
        const QPoint p = rotella->position().toPoint();
        emit RotellaMossa(p.x(), p.y(), rotella->angleDelta().y(), rotella->pixelDelta().y());
        rotella->accept();
        return true;
    }
    return QWidget::event(evento);
}

void TImmagine::paintEvent(QPaintEvent *evento)
{
    std::optional<CSostaSessione> sosta;
    if (Sessione)
        sosta.emplace(*Sessione);
    QPainter pittore(this);
    if (Stira) {
        pittore.drawImage(rect(), Figura);
        return;
    }
    pittore.drawImage(0, 0, Figura);
    // Outside an unstretched picture the control shows its background.
    const QRegion resto = QRegion(evento->rect()).subtracted(QRegion(Figura.rect()));
    for (const QRect &r : resto)
        pittore.fillRect(r, palette().window());
}

void TImmagine::mousePressEvent(QMouseEvent *evento)
{
    const QPoint p = evento->position().toPoint();
    emit MousePremuto(evento->button(), evento->buttons(), evento->modifiers(), p.x(), p.y());
}

void TImmagine::mouseMoveEvent(QMouseEvent *evento)
{
    const QPoint p = evento->position().toPoint();
    emit MouseMosso(evento->buttons(), evento->modifiers(), p.x(), p.y());
}

void TImmagine::mouseReleaseEvent(QMouseEvent *evento)
{
    const QPoint p = evento->position().toPoint();
    emit MouseRilasciato(evento->button(), evento->buttons(), evento->modifiers(), p.x(), p.y());
}
