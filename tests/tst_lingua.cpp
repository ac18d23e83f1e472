// The program's language: English for a user whose language is English, the
// program's own Italian texts for every other (the "C" locale included).

#include "Applicazione.h"
#include "BarraDiStato.h"
#include "BarraStrumenti.h"
#include "Errore.h"
#include "FormContenitore.h"
#include "MDIChild.h"
#include "TestiCalcolo.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QToolBar>

class TestLingua : public QObject
{
    Q_OBJECT

private:
    static TApplicazione &Applicazione() { return *static_cast<TApplicazione *>(QCoreApplication::instance()); }

private slots:
    void cleanup() { Applicazione().ImpostaLingua(QLocale::c()); }

    void inInglese_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("inglese");
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << true;
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << true;
        QTest::newRow("en_IN") << QLocale(QLocale::English, QLocale::India) << true;
        QTest::newRow("it_IT") << QLocale(QLocale::Italian, QLocale::Italy) << false;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << false;
        QTest::newRow("C") << QLocale::c() << false;
    }
    void inInglese()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, inglese);
        QCOMPARE(InInglese(locale), inglese);
        QCOMPARE(Applicazione().ImpostaLingua(locale), inglese);
    }

    // The windows, the drawing's texts and the engine's messages in the
    // language chosen; the menus stay English in both.
    void testi_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("attesi");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                                 << QStringList{"Redraw", "Fractal Settings", "Shaded Log1", "FractalType",
                                                "Window 1", "Progress: 12.5%   Estimated time: 1:01.0 secs.",
                                                "\tTime taken: 0:01.0", "Could not allocate the picture's buffer",
                                                "The parameters file is NOT valid!"};
        QTest::newRow("Italiano") << QLocale(QLocale::Italian, QLocale::Italy)
                                  << QStringList{"Ridisegna", "Settaggi Insieme", "Sfumato Log1", "TipoFrattale",
                                                 "Finestra 1", "Completamento: 12.5%   Tempo stimato: 1:01.0 secs.",
                                                 "\tTempo impiegato: 0:01.0",
                                                 "Fallita allocazione del buffer per l'immagine",
                                                 "Il file dei parametri NON è valido!"};
    }
    void testi()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, attesi);
        Applicazione().ImpostaLingua(locale);
        TContenitore finestra;
        const QStringList trovati{finestra.BottoneRidisegna->text(),
                                  finestra.Toolbar97->windowTitle(),
                                  finestra.ComboBoxColoreInterno->itemText(1),
                                  finestra.BarraDiStato->TestoPannello(0)};
        QCOMPARE(trovati, attesi.mid(0, 4));
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QCOMPARE(Didascalia(finestra.DocumentoAttivo()), attesi[4]);
        QCOMPARE(TestoCompletamento(12.5, 61000), attesi[5]);
        QCOMPARE(TestoTempi(1000, 0), attesi[6]);
        QCOMPARE(TestoErrore(CErrore(MessaggioBuffer)), attesi[7]);
        QCOMPARE(TMDIChild::TestoParametriNonValidi(), attesi[8]);
        QCOMPARE(finestra.FileOpenItem->text(), QStringLiteral("&Open"));
        QCOMPARE(finestra.windowTitle(), QStringLiteral("MDI Application"));
    }

    // The C library's rule: in the "C" locale LANGUAGE plays no part.
    void localeUtente_data()
    {
        QTest::addColumn<QByteArrayList>("ambiente");
        QTest::newRow("LC_ALL=C.UTF-8, LANGUAGE=en") << QByteArrayList{"C.UTF-8", "", "en_GB.UTF-8", "en"};
        QTest::newRow("LC_MESSAGES=POSIX") << QByteArrayList{"", "POSIX", "en_GB.UTF-8", "en"};
        QTest::newRow("LANG=C") << QByteArrayList{"", "", "C", "en"};
        QTest::newRow("nothing set") << QByteArrayList{"", "", "", "en"};
    }
    void localeUtente()
    {
        QFETCH(QByteArrayList, ambiente);
        const char *variabili[] = {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"};
        QByteArrayList prima;
        for (int i = 0; i < 4; ++i) {
            prima << qgetenv(variabili[i]);
            qputenv(variabili[i], ambiente[i]);
        }
        const QLocale locale = LocaleUtente();
        for (int i = 0; i < 4; ++i)
            qputenv(variabili[i], prima[i]);
        QCOMPARE(locale.language(), QLocale::C);
    }

    // As the program starts under the test's environment: the language the
    // test names (QUILLMERE_LINGUA_ATTESA, Italian by default).
    void linguaDiSistema()
    {
        const bool inglese = qgetenv("QUILLMERE_LINGUA_ATTESA") == "en";
        QCOMPARE(Applicazione().ImpostaLingua(LocaleUtente()), inglese);
        QCOMPARE(TContenitore().BottoneRidisegna->text(),
                 inglese ? QStringLiteral("Redraw") : QStringLiteral("Ridisegna"));
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestLingua prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_lingua.moc"
