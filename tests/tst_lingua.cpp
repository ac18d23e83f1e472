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

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QToolBar>

class TestLingua : public QObject
{
    Q_OBJECT

private:
    static TApplicazione &Applicazione() { return *static_cast<TApplicazione *>(QCoreApplication::instance()); }

private slots:
    void cleanup() { Applicazione().ImpostaLingua(QLocale::c()); }

    // The windows, the drawing's texts and the engine's messages in the
    // language chosen; the menus stay English in both.
    void testi_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("attesi");
        const QStringList italiano{"Ridisegna", "Settaggi Finestra", "Sfumato Log1", "TipoFrattale", "Finestra 1",
                                   "Completamento: 12.5%   Tempo stimato: 1:01.0 secs.", "\tTempo impiegato: 0:01.0",
                                   "Fallita allocazione del buffer per l'immagine",
                                   "Il file dei parametri NON è valido!"};
        // The button draws; Window > Redraw, the menu's own text, repaints.
        const QStringList inglese{"Draw", "Region Settings", "Shaded Log1", "FractalType", "Window 1",
                                  "Progress: 12.5%   Estimated time: 1:01.0 secs.", "\tTime taken: 0:01.0",
                                  "Could not allocate the picture's buffer", "The parameters file is NOT valid!"};
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << inglese;
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << inglese;
        QTest::newRow("it_IT") << QLocale(QLocale::Italian, QLocale::Italy) << italiano;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << italiano;
        QTest::newRow("C") << QLocale::c() << italiano;
    }
    void testi()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, attesi);
        QCOMPARE(Applicazione().ImpostaLingua(locale), attesi[0] == QLatin1String("Draw"));
        TContenitore finestra;
        const QStringList trovati{
            finestra.Elemento<QPushButton>(QStringLiteral("BottoneRidisegna"))->text(),
            finestra.Elemento<QToolBar>(QStringLiteral("Toolbar971"))->windowTitle(),
            finestra.Elemento<QComboBox>(QStringLiteral("ComboBoxColoreInterno"))->itemText(1),
            finestra.Elemento<TBarraDiStato>(QStringLiteral("BarraDiStato"))->TestoPannello(0)};
        QCOMPARE(trovati, attesi.mid(0, 4));
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QCOMPARE(Didascalia(finestra.DocumentoAttivo()), attesi[4]);
        QCOMPARE(TestoCompletamento(12.5, 61000), attesi[5]);
        QCOMPARE(TestoTempi(1000, 0), attesi[6]);
        QCOMPARE(TestoErrore(CErrore(MessaggioBuffer)), attesi[7]);
        QCOMPARE(TMDIChild::TestoParametriNonValidi(), attesi[8]);
        QCOMPARE(finestra.Elemento<QAction>(QStringLiteral("FileOpenItem"))->text(), QStringLiteral("&Open"));
        QCOMPARE(finestra.windowTitle(), QStringLiteral("MDI Application"));

        // No text of a control, toolbar or list reads as a command of the
        // menus, which does something else.
        QSet<QString> comandi;
        for (QAction *voce : finestra.Elemento<QMenuBar>(QStringLiteral("MainMenu1"))->actions()) {
            comandi.insert(voce->text().remove(QLatin1Char('&')));
            for (const QAction *sotto : voce->menu()->actions())
                comandi.insert(sotto->text().remove(QLatin1Char('&')));
        }
        QStringList testi;
        for (const QPushButton *b : finestra.findChildren<QPushButton *>())
            testi << b->text();
        for (const QLabel *l : finestra.findChildren<QLabel *>())
            testi << l->text().trimmed().remove(QLatin1Char(':'));
        for (const QToolBar *t : finestra.findChildren<QToolBar *>())
            testi << t->windowTitle();
        for (const QComboBox *c : finestra.findChildren<QComboBox *>())
            for (int i = 0; i < c->count(); ++i)
                testi << c->itemText(i);
        for (const QString &testo : testi)
            QVERIFY2(testo.isEmpty() || !comandi.contains(testo), qPrintable(testo));
    }

    // As the program starts under the test's environment: the language the
    // test names (QUILLMERE_LINGUA_ATTESA, Italian by default).
    void linguaDiSistema()
    {
        const bool inglese = qgetenv("QUILLMERE_LINGUA_ATTESA") == "en";
        QCOMPARE(Applicazione().ImpostaLingua(LocaleUtente()), inglese);
        QCOMPARE(TContenitore().Elemento<QPushButton>(QStringLiteral("BottoneRidisegna"))->text(),
                 inglese ? QStringLiteral("Draw") : QStringLiteral("Ridisegna"));
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestLingua prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_lingua.moc"
