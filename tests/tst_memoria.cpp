// Memory of a document: what one 256 x 256 document takes to draw, in a
// program that has done nothing else, and a picture too large to allocate.

#include "Applicazione.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "MDIChild.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>

#include <functional>
#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLMERE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLMERE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define QUILLMERE_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLMERE_TSAN 1
#endif
#endif

#ifdef QUILLMERE_ASAN
// A picture too large for any memory is asked of the allocator on purpose:
// it must answer with a null pointer, as the real one does, not end the test.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1";
}
#endif

namespace {

// A figure in KiB from /proc/self/status ("VmRSS", "VmHWM"); -1 when absent.
qint64 StatoKiB(const QByteArray &voce)
{
    for (const QByteArray &riga : LeggiTutto(QStringLiteral("/proc/self/status")).split('\n'))
        if (riga.startsWith(voce + ':'))
            return riga.mid(voce.size() + 1).trimmed().split(' ').first().toLongLong();
    return -1;
}

// The render area's buffer over the picture's pixels.
std::vector<int32_t> ValoriBuffer(const CAreaDisegno &area, int32_t larghezza, int32_t altezza)
{
    std::vector<int32_t> valori;
    for (int32_t y = 0; y < altezza; ++y)
        for (int32_t x = 0; x < larghezza; ++x)
            valori.push_back(area.LeggiPixel(x, y));
    return valori;
}

} // namespace

class TestMemoria : public CProvaFinestre
{
    Q_OBJECT

private slots:
    // First, while nothing has been drawn yet: one new 256 x 256 document
    // drawn once with its defaults. The picture is 256 KiB, the render area's
    // buffer 384 x 384 cells (576 KiB, of which the drawing writes 256 x 256).
    // The program's peak grows by no more than a few times that.
    void memoriaDiUnDocumento()
    {
#if defined(QUILLMERE_ASAN) || defined(QUILLMERE_TSAN)
        QSKIP("a sanitizer's shadow memory hides the program's own figures");
#endif
        TMDIChild *d = Attivo();
        QCOMPARE(Immagine(d)->size(), QSize(256, 256));
        // The peak starts again from the memory in use now.
        QFile picco(QStringLiteral("/proc/self/clear_refs"));
        if (!picco.open(QIODevice::WriteOnly) || picco.write("5") != 1)
            QSKIP("the peak of resident memory cannot be reset here (/proc/self/clear_refs)");
        picco.close();
        const qint64 prima = StatoKiB("VmRSS");
        QVERIFY(prima > 0);
        QVERIFY(StatoKiB("VmHWM") <= prima + 64);
        Disegna();
        ControllaDopo(d);
        QVERIFY(d->AreaDisegno.Completamento > 99.0);
        QCOMPARE(d->AreaDisegno.CelleBuffer(), uint64_t(384 * 384));
        const qint64 massimo = StatoKiB("VmHWM");
        const qint64 dopo = StatoKiB("VmRSS");
        const qint64 figura = 256 * 256 * 4 / 1024;
        const qint64 buffer = 384 * 384 * 4 / 1024;
        qInfo("one 256 x 256 document drawn once: resident %lld KiB before, peak %lld KiB (+%lld KiB), "
              "%lld KiB after; picture %lld KiB, buffer %lld KiB",
              prima, massimo, massimo - prima, dopo, figura, buffer);
        QVERIFY2(massimo - prima <= 4 * (figura + buffer), qPrintable(QString::number(massimo - prima)));
    }

    // A picture larger than any memory: the program's message, and the
    // document as it was, idle, drawing again once the size is sensible.
    void figuraTroppoGrande()
    {
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("60"));
        Disegna();
        ControllaDopo(d);
        const QImage prima = Immagine(d)->Bitmap();
        const uint64_t celle = d->AreaDisegno.CelleBuffer();
        const std::vector<int32_t> buffer = ValoriBuffer(d->AreaDisegno, 256, 256);

        // The largest control the toolkit allows: at four bytes a pixel its
        // picture would take about a petabyte.
        Immagine(d)->resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        QCOMPARE(Immagine(d)->size(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        Risponditore.Rispondi(Messaggio(QStringLiteral("Fallita allocazione del buffer per l'immagine."),
                                        QMessageBox::Critical));
        Ridisegna();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(!d->InCalcolo());
        ControllaAspettoLibero();
        // The picture and the buffer are those of the last drawing.
        QCOMPARE(Immagine(d)->Bitmap(), prima);
        QCOMPARE(d->AreaDisegno.CelleBuffer(), celle);
        QCOMPARE(d->AreaDisegno.Larghezza, 256);
        QCOMPARE(d->AreaDisegno.Altezza, 256);
        QVERIFY(ValoriBuffer(d->AreaDisegno, 256, 256) == buffer);

        // Back to its size, the document draws the same picture again.
        Immagine(d)->resize(256, 256);
        Disegna();
        ControllaDopo(d);
        QVERIFY(Immagine(d)->Stirata());
        QCOMPARE(Immagine(d)->Bitmap(), prima);
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestMemoria prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_memoria.moc"
