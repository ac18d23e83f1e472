#pragma once

// Helpers shared by the tests that drive the program's windows.

#include "BarraDiStato.h"
#include "BarraStrumenti.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "MDIChild.h"
#include "Pannelli.h"

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>

inline QByteArray LeggiTutto(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The threads of this process that carry no name of their own: the main
// thread and the drawings' threads, not the toolkit's named helpers (whose
// pool keeps idle threads for a while). A drawing leaves none behind when
// the count is no higher than before it (a toolkit thread without a name
// may end meanwhile). A joined thread may still be listed for a moment, until
// the kernel has released it, so tests wait briefly for the count to drop.
inline int NumeroFili()
{
    const QByteArray processo = LeggiTutto(QStringLiteral("/proc/self/comm"));
    const QDir compiti(QStringLiteral("/proc/self/task"));
    int fili = 0;
    for (const QString &compito : compiti.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (LeggiTutto(compiti.filePath(compito + QStringLiteral("/comm"))) == processo)
            ++fili;
    return fili;
}

inline QMdiSubWindow *Cornice(TMDIChild *documento)
{
    return qobject_cast<QMdiSubWindow *>(documento->parentWidget());
}

inline QString Didascalia(TMDIChild *documento)
{
    return Cornice(documento)->windowTitle();
}

// The picture control of a document.
inline TImmagine *Immagine(const TMDIChild *documento)
{
    auto *immagine = documento->Elemento<TImmagine>(QStringLiteral("Immagine"));
    if (!immagine)
        qFatal("the document has no picture control");
    return immagine;
}

// The settings of the document's next drawing, at its control's size, as
// the headless renderer takes them.
inline CParametri ParametriDi(TMDIChild *d)
{
    CParametri par = d->Parametri();
    par.Finestra.Larghezza = Immagine(d)->width();
    par.Finestra.Altezza = Immagine(d)->height();
    return par;
}

#ifdef QUILLMERE_RENDER
// What quillmere-render draws for these parameters.
inline QImage Renderer(const CParametri &parametri)
{
    QTemporaryDir cartella;
    if (!cartella.isValid())
        return {};
    const QString nomeParametri = cartella.filePath(QStringLiteral("p.Quillmere"));
    const QString bitmap = cartella.filePath(QStringLiteral("p.bmp"));
    QFile file(nomeParametri);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QByteArray::fromStdString(TestoParametri(parametri)));
    file.close();
    QProcess renderer;
    renderer.start(QStringLiteral(QUILLMERE_RENDER), {nomeParametri, bitmap});
    if (!renderer.waitForFinished(120000) || renderer.exitCode() != 0)
        return {};
    return QImage(bitmap).convertToFormat(QImage::Format_RGB32);
}
#endif

// Pixels that differ between two pictures of the same size (-1: sizes differ).
inline int PixelDiversi(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int diversi = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                ++diversi;
    return diversi;
}

// The wheel over a document's picture at a point of it: angolo in eighths of
// a degree (120 a notch, positive away from the user), or the pixels of a
// touchpad that gives no angle.
inline void Rotella(TMDIChild *d, QPoint punto, int angolo, int pixel = 0)
{
    TImmagine *immagine = Immagine(d);
    QWheelEvent evento(punto, immagine->mapToGlobal(punto), QPoint(0, pixel), QPoint(0, angolo), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(immagine, &evento);
}

inline bool TuttoNero(const QImage &figura)
{
    for (int y = 0; y < figura.height(); ++y)
        for (int x = 0; x < figura.width(); ++x)
            if ((figura.pixel(x, y) & 0xFFFFFF) != 0)
                return false;
    return true;
}

// Answers the modal windows the program opens while a test waits: each one,
// once it shows, gets the next of the actions given, in their order. A check
// that failed in an answer leaves its dialog open: it is rejected, so that the
// test ends instead of waiting for it.
class CRisponditore
{
public:
    using Azione = std::function<void(QWidget *)>;

    CRisponditore() { QObject::connect(&Timer, &QTimer::timeout, &Timer, [this] { Guarda(); }); }
    CRisponditore(const CRisponditore &) = delete;
    CRisponditore &operator=(const CRisponditore &) = delete;

    void Rispondi(Azione azione) { Rispondi(std::deque<Azione>{std::move(azione)}); }
    void Rispondi(std::initializer_list<Azione> azioni) { Rispondi(std::deque<Azione>(azioni)); }
    void Rispondi(std::deque<Azione> azioni)
    {
        Azioni = std::move(azioni);
        Date = 0;
        Timer.start(10);
    }
    // No more answers: whatever shows from now on waits.
    void Ferma()
    {
        Timer.stop();
        Azioni.clear();
    }
    // Every action given has answered a window.
    bool Risposto() const { return Date > 0 && Azioni.empty(); }
    int Risposti() const { return Date; }

private:
    void Guarda()
    {
        QWidget *modale = QApplication::activeModalWidget();
        if (!modale || !modale->isVisible())
            return;
        if (Azioni.empty()) {
            Timer.stop();
            return;
        }
        const Azione azione = std::move(Azioni.front());
        Azioni.pop_front();
        ++Date;
        if (Azioni.empty())
            Timer.stop();
        azione(modale);
        if (QTest::currentTestFailed())
            if (auto *dialogo = qobject_cast<QDialog *>(modale))
                dialogo->reject();
    }

    QTimer Timer;
    std::deque<Azione> Azioni;
    int Date = 0;
};

// A new main window, shown at that size and made the active one; null when
// it did not show.
inline std::unique_ptr<TContenitore> FinestraPrincipale(int larghezza, int altezza)
{
    auto finestra = std::make_unique<TContenitore>();
    finestra->resize(larghezza, altezza);
    finestra->show();
    if (!QTest::qWaitForWindowExposed(finestra.get()))
        return nullptr;
    QApplication::setActiveWindow(finestra.get());
    if (!QTest::qWaitForWindowActive(finestra.get()))
        return nullptr;
    return finestra;
}

// The fixture of the suites that drive the program's windows: a new main
// window for every test, with its first document, and the user's gestures
// and checks that the suites share. After every test no drawing may run and
// no modal window may be left open.
class CProvaFinestre : public QObject
{
    Q_OBJECT

public:
    // The user's settings are kept in a folder of the suite's own, never in
    // the real ones.
    CProvaFinestre();

protected:
    using Azione = CRisponditore::Azione;

    std::unique_ptr<TContenitore> Finestra;
    // Parent of the timers a test starts; they go with it.
    std::unique_ptr<QObject> Ambito;
    CRisponditore Risponditore;
    // The size the main window is shown at.
    QSize Dimensioni{1000, 800};
    QTemporaryDir Impostazioni;

    // A control, command, toolbar or menu of the main window by its name;
    // a name the window does not have ends the suite.
    template <typename T>
    T *Elemento(const char *nome) const
    {
        T *elemento = Finestra->Elemento<T>(QString::fromLatin1(nome));
        if (!elemento)
            qFatal("the main window has no %s", nome);
        return elemento;
    }
    QLineEdit *Campo(const char *nome) const { return Elemento<QLineEdit>(nome); }
    QComboBox *Elenco(const char *nome) const { return Elemento<QComboBox>(nome); }
    QAction *Comando(const char *nome) const { return Elemento<QAction>(nome); }
    QPushButton *Bottone(const char *nome) const { return Elemento<QPushButton>(nome); }
    TBarraStrumenti *Barra(const char *nome) const { return Elemento<TBarraStrumenti>(nome); }
    QMdiArea *AreaDocumenti() const { return Elemento<QMdiArea>("AreaDocumenti"); }
    TBarraDiStato *BarraDiStato() const { return Elemento<TBarraDiStato>("BarraDiStato"); }
    // The decimal separator the panels write and read with.
    QString Separatore() const { return Elemento<TPannelli>("Pannelli")->Separatore(); }

    TMDIChild *Attivo() const { return Finestra->DocumentoAttivo(); }
    int NumeroDocumenti() const { return int(Finestra->Documenti().size()); }
    TMDIChild *Ultimo() const { return Finestra->Documenti().last(); }
    QString Pannello(int i) const;
    void Attiva(TMDIChild *d);

    void Premi(QPushButton *bottone) { QTest::mouseClick(bottone, Qt::LeftButton); }
    // "Ridisegna": the drawing starts and the call returns at once.
    void Ridisegna();
    // Waits until the document's drawing has ended (a long drawing's test stops it).
    bool Finito(TMDIChild *d);
    // "Ridisegna", then waits for the active document's drawing to end.
    void Disegna();
    // Whether the document's drawing goes on: its time passes another period.
    static bool Continua(TMDIChild *d);
    // The document's settings with another drawing method.
    static void ImpostaMetodo(TMDIChild *d, int metodo);
    // "Stop !", which must be showing.
    void Ferma();
    // The panels' texts, as the user types them.
    void Scrivi(QLineEdit *campo, const QString &testo);
    // The user chooses a formula in the list with the keyboard.
    void ScegliFrattale(int indice);
    // File > Close on the document; waits until it has gone.
    void Chiudi(TMDIChild *documento);
    // Runs the action once, from the event loop, as soon as the condition
    // holds (checked every intervallo ms). Should a check in it fail, every
    // drawing is stopped so that the test ends.
    void Quando(std::function<bool()> condizione, std::function<void()> azione, int intervallo = 10);

    // The looks of "Controllo Disegno".
    void ControllaAspettoLibero();
    bool AspettoOccupato() const;
    // The texts and states a finished or stopped drawing leaves behind.
    void ControllaDopo(TMDIChild *d);

    // Answers for modal windows: a message box with that text (and icon),
    // answered OK; the program's error box, whose text starts so and names
    // the file; a file dialog, the name typed into its text field, accepted.
    static Azione Messaggio(const QString &testo, QMessageBox::Icon icona = QMessageBox::NoIcon);
    static Azione Errore(const QString &inizio, const QString &nome);
    static Azione Nome(const QString &cartella, const QString &nome);

protected slots:
    void init();
    void cleanup();
};
