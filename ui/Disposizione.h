#pragma once

class QMdiArea;
class QMdiSubWindow;

// How the Window menu arranges the documents of the main window's document
// area. Each keeps a document's image square: windows are moved, and sized
// only where their images stay square.

// Cascades the documents from the top-left corner, each keeping its size;
// the active one ends on top. Minimized ones stay where they are.
void DisponiACascata(QMdiArea *area);
// Horizontal strips, one under the other, each as tall as its share of the
// area and as wide as its square image: no two documents overlap. Minimized
// documents stay in their line along the bottom, which the strips leave free.
void AffiancaDocumenti(QMdiArea *area);
// Lines the minimized documents up along the bottom edge, from the left,
// in rows upwards when one row is full.
void DisponiIcone(QMdiArea *area);
// Minimizes every document, from the last to the first.
void RiduciTutti(QMdiArea *area);
// A document's window in its normal state that stands partly outside the
// area (as the window system may restore one) is moved back inside, from
// the top-left corner when it is larger than the area.
void TieniDentro(QMdiSubWindow *finestra);
