#pragma once

#include <QStatusBar>
#include <QString>

#include <array>

class QLabel;

// The main window's status bar: always three panels (150 and 100 pixels wide,
// then the rest). A text that starts with a tab is shown centred. The hint
// text is kept as the bar's simple-mode text, which is never shown.
class TBarraDiStato final : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int NumeroPannelli = 3;

    explicit TBarraDiStato(QWidget *genitore);

    // Indexes outside 0 to 2 are ignored.
    void ScriviPannello(int indice, const QString &testo);
    // The text as written, tab included; empty outside 0 to 2.
    QString TestoPannello(int indice) const;
    // The label that shows a panel.
    QLabel *Pannello(int indice) const;

    QString TestoSemplice;

private:
    std::array<QLabel *, NumeroPannelli> Pannelli{};
    std::array<QString, NumeroPannelli> Testi;
};
