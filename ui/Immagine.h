#pragma once

#include "AreaDisegno.h"
#include "ImmagineQt.h"

#include <QImage>
#include <QPolygon>
#include <QWidget>

#include <cstdint>
#include <optional>

// The picture control of a document: shows a true-colour bitmap, stretched to
// the control or at its own size from the top-left corner, and is the picture
// the engine draws on. Colours are 0x00BBGGRR.
class CSessioneDisegno;

class TImmagine final : public QWidget, public CImmagine
{
    Q_OBJECT

public:
    explicit TImmagine(QWidget *genitore);

    // Pixels outside the bitmap are ignored. Called by a drawing thread only
    // while the user-interface thread leaves the control alone.
    void ImpostaPixel(int32_t x, int32_t y, int32_t colore) override;

    // A copy of the bitmap. The bitmap itself is never shared, so the pixels
    // the engine writes always land in the picture shown.
    QImage Bitmap() const { return Figura.copy(); }
    // A copy of the picture as drawn: the bitmap without the selection marks
    // (InvertiPoligono) that are on it.
    QImage Disegnata() const { return Pulita ? Pulita->copy() : Figura.copy(); }
    int32_t LarghezzaBitmap() const { return Figura.width(); }
    int32_t AltezzaBitmap() const { return Figura.height(); }
    // A new black bitmap of that size replaces the old one. Throws CErrore
    // when it cannot be allocated.
    void NuovaBitmap(int32_t larghezza, int32_t altezza);
    // The bitmap takes that size: what it showed stays at the top-left
    // corner, new room is black. Throws CErrore when it cannot be allocated.
    void ImpostaDimensioniBitmap(int32_t larghezza, int32_t altezza);
    // A copy of the picture, in the bitmap's own format, becomes the bitmap.
    void ImpostaBitmap(const QImage &figura);

    // Fills the rectangle from (x1, y1) up to, not including, (x2, y2) with
    // the fill colour; what lies outside the bitmap is left out. A fill of
    // the whole bitmap leaves no selection marks on it.
    void RiempiRettangolo(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    int32_t ColoreRiempimento = 0;
    // The bitmap takes that size, its picture scaled into it, each new pixel
    // taking the old pixel under its centre, as the stretched control shows
    // it. Throws CErrore when it cannot be allocated.
    void Riscala(int32_t larghezza, int32_t altezza);
    // Inverts the pixels inside the polygon (exclusive-or with white, no
    // outline): the same call again restores them exactly. A selection mark:
    // the picture as drawn (Disegnata) leaves it out.
    void InvertiPoligono(const QPolygon &vertici);

    bool Stirata() const { return Stira; }
    void ImpostaStirata(bool stirata);

    // Repaints the control at once.
    void Ridisegna() { repaint(); }

    // The session whose workers draw on the bitmap: they are parked while the
    // control paints. Null when nothing draws on it from another thread.
    void ImpostaSessione(CSessioneDisegno *sessione) { Sessione = sessione; }

signals:
    // The mouse over the control, in control pixels, with the buttons held
    // after the event; while a button is held after a press here, moves and
    // the release keep coming, also from outside the control. None arrive
    // while the control is disabled.
    void MousePremuto(Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x,
                      int y);
    void MouseMosso(Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x, int y);
    void MouseRilasciato(Qt::MouseButton pulsante, Qt::MouseButtons pulsanti, Qt::KeyboardModifiers stato, int x,
                         int y);
    // The wheel over the control, at (x, y) in control pixels, in eighths of
    // a degree (positive: turned away from the user; 120 a notch), or the
    // pixels a touchpad scrolled where the device gives no angle. These come
    // also while the control is disabled.
    void RotellaMossa(int x, int y, int angolo, int pixel);

protected:
    bool event(QEvent *evento) override;
    void paintEvent(QPaintEvent *evento) override;
    void mousePressEvent(QMouseEvent *evento) override;
    void mouseMoveEvent(QMouseEvent *evento) override;
    void mouseReleaseEvent(QMouseEvent *evento) override;

private:
    void Sostituisci(QImage &&figura);

    QImage Figura;
    // The picture without the selection marks, while there are marks on Figura.
    std::optional<QImage> Pulita;
    // Writes straight into Figura's pixels; rebuilt whenever Figura is replaced.
    std::optional<CImmagineQt> Vista;
    bool Stira = false;
    CSessioneDisegno *Sessione = nullptr;
};
