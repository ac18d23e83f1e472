// Saving where the system refuses: a folder that cannot be written, a file
// that may not be written, a full disk. Each save of a bitmap or of a
// parameters file fails with a reason and leaves the files already there
// byte for byte as they were, with nothing half-written beside them.
//
// The checks of permissions need a user they apply to: as root (as in CI) the
// saves run in a copy of this program started as the unprivileged user 65534
// (setpriv). The full disk is a tiny memory file system mounted in a mount
// namespace of its own (unshare), which the rest of the system never sees.

#include "FileDocumento.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

// What an unprivileged copy of this program does when started with
// "--scrivi bitmap|parametri NAME SIDE": saves a SIDE x SIDE picture or a
// parameters file under NAME and prints "SCRITTO" or "FALLITO" and the reason.
const char *const ComandoScrivi = "--scrivi";
// "--utente": prints the effective user it runs as.
const char *const ComandoUtente = "--utente";

// The unprivileged user and group the saves run as when this test runs as root.
const QString Nessuno = QStringLiteral("65534");

// A picture that no other test writes: a gradient.
QImage Figura(int lato, int tono)
{
    QImage figura(lato, lato, QImage::Format_RGB32);
    for (int y = 0; y < lato; ++y)
        for (int x = 0; x < lato; ++x)
            figura.setPixel(x, y, qRgb((x * 7 + tono) & 0xFF, (y * 5) & 0xFF, tono));
    return figura;
}

CParametri Parametri()
{
    CParametri parametri;
    parametri.SceltaFrattale = 1;
    parametri.Finestra.MaxIterazioni = 4321;
    parametri.FrattaleJulia.Param = Complesso{0.285L, 0.01L};
    return parametri;
}

int Aiutante(const QStringList &argomenti)
{
    if (argomenti.value(1) == QLatin1String(ComandoUtente)) {
        std::printf("%d\n", int(geteuid()));
        return 0;
    }
    const QString tipo = argomenti.value(2);
    const QString nome = argomenti.value(3);
    const int lato = argomenti.value(4, QStringLiteral("16")).toInt();
    QString errore;
    bool scritto = false;
    if (tipo == QLatin1String("bitmap"))
        scritto = ScriviBitmap(Figura(lato, 200), nome, errore);
    else if (tipo == QLatin1String("parametri"))
        scritto = ScriviFileParametri(Parametri(), nome, errore);
    else
        return 2;
    std::printf("%s %s\n", scritto ? "SCRITTO" : "FALLITO", qPrintable(errore));
    return scritto ? 0 : 1;
}

QByteArray Contenuto(const QString &nome)
{
    QFile file(nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList Elenco(const QString &cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                    QDir::Name);
}

bool Permessi(const QString &nome, QFileDevice::Permissions permessi)
{
    return QFile::setPermissions(nome, permessi);
}

const QFileDevice::Permissions Tutti = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                       QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                       QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
const QFileDevice::Permissions SoloLettura = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions CartellaChiusa = SoloLettura | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                QFileDevice::ExeOther;
const QFileDevice::Permissions LetturaScrittura = SoloLettura | QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                                                  QFileDevice::WriteOther;

struct Esito
{
    bool Scritto = false;
    QString Motivo;
    QString Diagnosi; // what went wrong when the save did not even run
};

// Reads what a copy of this program printed, "SCRITTO" or "FALLITO reason",
// and its exit status (anything else than 0 or 1 is an error of its own, a
// sanitizer's report for one).
Esito LeggiEsito(const QByteArray &uscita, const QByteArray &errori, int stato)
{
    Esito esito;
    const QString testo = QString::fromUtf8(uscita).trimmed();
    if (testo.startsWith(QLatin1String("SCRITTO")) && stato == 0) {
        esito.Scritto = true;
    } else if (testo.startsWith(QLatin1String("FALLITO")) && stato == 1) {
        esito.Motivo = testo.mid(7).trimmed();
    } else {
        esito.Diagnosi = QStringLiteral("exit status %1: ").arg(stato) + QString::fromUtf8(uscita + errori).trimmed();
    }
    return esito;
}

} // namespace

class TestSalvataggio : public QObject
{
    Q_OBJECT

private:
    // A folder everybody may read, holding a copy of this program that the
    // unprivileged user can run wherever the build lies.
    QTemporaryDir CartellaAiutante;
    QString Aiutante;
    QStringList Prefisso; // how the copy is started: as 65534 when we are root
    QString Indisponibile; // why saves cannot be run as an unprivileged user

    // The saves' own folders; everybody may enter them.
    QTemporaryDir Base;

    Esito ScriviComeUtente(const QString &tipo, const QString &nome, int lato = 16)
    {
        QProcess processo;
        QStringList argomenti = Prefisso;
        argomenti << Aiutante << QLatin1String(ComandoScrivi) << tipo << nome << QString::number(lato);
        processo.start(argomenti.takeFirst(), argomenti);
        if (!processo.waitForFinished(60000) || processo.exitStatus() != QProcess::NormalExit)
            return {false, {}, processo.errorString()};
        return LeggiEsito(processo.readAllStandardOutput(), processo.readAllStandardError(), processo.exitCode());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(CartellaAiutante.isValid());
        QVERIFY(Base.isValid());
        QVERIFY(Permessi(CartellaAiutante.path(), CartellaChiusa));
        QVERIFY(Permessi(Base.path(), CartellaChiusa));
        Aiutante = CartellaAiutante.filePath(QStringLiteral("aiutante"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), Aiutante));
        QVERIFY(Permessi(Aiutante, CartellaChiusa));

        // Permissions bind this process unless it is root.
        Prefisso.clear();
        if (geteuid() == 0)
            Prefisso = {QStringLiteral("setpriv"), QStringLiteral("--reuid=") + Nessuno,
                        QStringLiteral("--regid=") + Nessuno, QStringLiteral("--clear-groups")};
        QProcess prova;
        QStringList argomenti = Prefisso;
        argomenti << Aiutante << QLatin1String(ComandoUtente);
        prova.start(argomenti.takeFirst(), argomenti);
        const bool partito = prova.waitForFinished(60000) && prova.exitStatus() == QProcess::NormalExit &&
                             prova.exitCode() == 0;
        const QByteArray utente = prova.readAllStandardOutput().trimmed();
        if (!partito)
            Indisponibile = QStringLiteral("cannot run a save as an unprivileged user: ") + prova.errorString() +
                            QLatin1Char(' ') + QString::fromUtf8(prova.readAllStandardError());
        else if (utente == "0")
            Indisponibile = QStringLiteral("the saves would run as root, whom permissions do not bind");
    }

    // ---- Permissions ------------------------------------------------------

    void scritturaRifiutata_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<bool>("cartellaScrivibile");
        QTest::addColumn<bool>("fileScrivibili");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("riesce");
        const QString bitmap = QStringLiteral("bitmap");
        const QString parametri = QStringLiteral("parametri");
        const QString a = QStringLiteral("a.bmp");
        const QString aParametri = QStringLiteral("a.bmp.Quillmere");
        const QString b = QStringLiteral("b.bmp");
        const QString bParametri = QStringLiteral("b.bmp.Quillmere");
        QTest::newRow("cartella non scrivibile, bitmap sopra un altro") << bitmap << false << true << a << false;
        QTest::newRow("cartella non scrivibile, bitmap nuovo") << bitmap << false << true << b << false;
        QTest::newRow("cartella non scrivibile, parametri sopra altri") << parametri << false << true << aParametri
                                                                        << false;
        QTest::newRow("cartella non scrivibile, parametri nuovi") << parametri << false << true << bParametri << false;
        QTest::newRow("bitmap in sola lettura") << bitmap << true << false << a << false;
        QTest::newRow("parametri in sola lettura") << parametri << true << false << aParametri << false;
        // The same saves where nothing forbids them.
        QTest::newRow("permesso, bitmap sopra un altro") << bitmap << true << true << a << true;
        QTest::newRow("permesso, parametri sopra altri") << parametri << true << true << aParametri << true;
        QTest::newRow("permesso, bitmap nuovo") << bitmap << true << true << b << true;
    }
    void scritturaRifiutata()
    {
        QFETCH(QString, tipo);
        QFETCH(bool, cartellaScrivibile);
        QFETCH(bool, fileScrivibili);
        QFETCH(QString, nome);
        QFETCH(bool, riesce);
        if (!Indisponibile.isEmpty())
            QSKIP(qPrintable(Indisponibile));

        // A saved document already there: its picture and its parameters.
        const QString cartella = Base.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'));
        QVERIFY(QDir().mkpath(cartella));
        QString errore;
        const QString a = cartella + QStringLiteral("/a.bmp");
        QVERIFY(ScriviBitmap(Figura(16, 0), a, errore));
        QVERIFY(ScriviFileParametri(CParametri(), NomeFileParametri(a), errore));
        const QByteArray bitmapPrima = Contenuto(a);
        const QByteArray parametriPrima = Contenuto(NomeFileParametri(a));
        const QStringList elencoPrima = Elenco(cartella);

        for (const QString &file : elencoPrima)
            QVERIFY(Permessi(cartella + QLatin1Char('/') + file, fileScrivibili ? LetturaScrittura : SoloLettura));
        QVERIFY(Permessi(cartella, cartellaScrivibile ? Tutti : CartellaChiusa));
        const QString bersaglio = cartella + QLatin1Char('/') + nome;
        const Esito esito = ScriviComeUtente(tipo, bersaglio);
        QVERIFY(Permessi(cartella, Tutti));
        QVERIFY2(esito.Diagnosi.isEmpty(), qPrintable(esito.Diagnosi));

        QCOMPARE(esito.Scritto, riesce);
        if (!riesce) {
            // A reason for the user, and everything as it was.
            QVERIFY(!esito.Motivo.isEmpty());
            QCOMPARE(Contenuto(a), bitmapPrima);
            QCOMPARE(Contenuto(NomeFileParametri(a)), parametriPrima);
            QCOMPARE(Elenco(cartella), elencoPrima);
            for (const QString &file : elencoPrima)
                QCOMPARE(QFile::permissions(cartella + QLatin1Char('/') + file) & Tutti,
                         fileScrivibili ? LetturaScrittura : SoloLettura);
            return;
        }
        // Where it may, the save writes what it was given, and only that.
        if (tipo == QLatin1String("bitmap")) {
            QImage letta;
            QVERIFY(LeggiBitmap(bersaglio, letta, errore));
            QCOMPARE(letta, Figura(16, 200));
        } else {
            CParametri letti;
            QVERIFY(LeggiFileParametri(bersaglio, letti));
            QCOMPARE(letti.Finestra.MaxIterazioni, 4321);
        }
        QStringList elencoAtteso = elencoPrima;
        if (!elencoAtteso.contains(nome))
            elencoAtteso.append(nome);
        elencoAtteso.sort();
        QCOMPARE(Elenco(cartella), elencoAtteso);
    }

    // ---- A full disk ------------------------------------------------------

    void discoPieno_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<int>("lato");
        QTest::addColumn<int>("liberoKiB"); // room left once the disk is filled; -1: not filled
        QTest::addColumn<bool>("riesce");
        const QString bitmap = QStringLiteral("bitmap");
        const QString parametri = QStringLiteral("parametri");
        QTest::newRow("pieno, bitmap sopra un altro") << bitmap << "a.bmp" << 16 << 0 << false;
        QTest::newRow("pieno, bitmap nuovo") << bitmap << "b.bmp" << 16 << 0 << false;
        QTest::newRow("pieno, parametri sopra altri") << parametri << "a.bmp.Quillmere" << 16 << 0 << false;
        QTest::newRow("pieno, parametri nuovi") << parametri << "b.bmp.Quillmere" << 16 << 0 << false;
        // Room for the first part of a 96 x 96 picture (27 KiB), not for all of it.
        QTest::newRow("quasi pieno, bitmap sopra un altro") << bitmap << "a.bmp" << 96 << 8 << false;
        QTest::newRow("quasi pieno, bitmap nuovo") << bitmap << "b.bmp" << 96 << 8 << false;
        // The same saves with room enough.
        QTest::newRow("spazio, bitmap sopra un altro") << bitmap << "a.bmp" << 96 << -1 << true;
        QTest::newRow("spazio, parametri sopra altri") << parametri << "a.bmp.Quillmere" << 16 << -1 << true;
    }
    void discoPieno()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, nome);
        QFETCH(int, lato);
        QFETCH(int, liberoKiB);
        QFETCH(bool, riesce);

        const QString caso = Base.filePath(QStringLiteral("disco_") +
                                           QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'));
        const QString originali = caso + QStringLiteral("/originali");
        const QString disco = caso + QStringLiteral("/disco");
        const QString risultati = caso + QStringLiteral("/risultati");
        for (const QString &cartella : {originali, disco, risultati})
            QVERIFY(QDir().mkpath(cartella));
        QString errore;
        const QString a = originali + QStringLiteral("/a.bmp");
        QVERIFY(ScriviBitmap(Figura(16, 0), a, errore));
        QVERIFY(ScriviFileParametri(CParametri(), NomeFileParametri(a), errore));

        // In a mount namespace of its own: a 64 KiB memory file system with
        // the saved document on it, filled up, then the save.
        const QString copione = QStringLiteral(R"(
            disco=$1; originali=$2; risultati=$3; libero=$4; shift 4
            mount -t tmpfs -o size=64k quillmere "$disco" || exit 77
            : >"$risultati/montato"
            cp "$originali/a.bmp" "$originali/a.bmp.Quillmere" "$disco/" || exit 78
            if [ "$libero" -ge 0 ]; then
                dd if=/dev/zero of="$disco/riempi" bs=4096 2>/dev/null
                [ "$libero" -gt 0 ] && truncate -s "-${libero}K" "$disco/riempi"
            fi
            "$@" >"$risultati/uscita" 2>"$risultati/errori"
            echo $? >"$risultati/stato"
            cp "$disco/a.bmp" "$disco/a.bmp.Quillmere" "$risultati/" || exit 78
            [ -e "$disco/b.bmp" ] && cp "$disco/b.bmp" "$risultati/"
            [ -e "$disco/b.bmp.Quillmere" ] && cp "$disco/b.bmp.Quillmere" "$risultati/"
            ls -A "$disco" >"$risultati/elenco"
            exit 0
        )");
        QProcess processo;
        processo.start(QStringLiteral("unshare"),
                       {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), copione,
                        QStringLiteral("sh"), disco, originali, risultati, QString::number(liberoKiB), Aiutante,
                        QLatin1String(ComandoScrivi), tipo, disco + QLatin1Char('/') + nome, QString::number(lato)});
        QVERIFY(processo.waitForFinished(60000) || processo.error() == QProcess::FailedToStart);
        const QString diagnosi =
            (processo.error() == QProcess::UnknownError ? QString() : processo.errorString() + QLatin1Char(' ')) +
            QString::fromUtf8(processo.readAllStandardError()).trimmed();
        // No namespace of its own (unshare refused) or no file system in it.
        if (processo.error() == QProcess::FailedToStart || !QFile::exists(risultati + QStringLiteral("/montato")))
            QSKIP(qPrintable(QStringLiteral("no private memory file system to fill: ") + diagnosi));
        QVERIFY2(processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0, qPrintable(diagnosi));

        const Esito esito = LeggiEsito(Contenuto(risultati + QStringLiteral("/uscita")),
                                       Contenuto(risultati + QStringLiteral("/errori")),
                                       Contenuto(risultati + QStringLiteral("/stato")).trimmed().toInt());
        QVERIFY2(esito.Diagnosi.isEmpty(), qPrintable(esito.Diagnosi));
        QCOMPARE(esito.Scritto, riesce);
        QStringList elenco = QString::fromUtf8(Contenuto(risultati + QStringLiteral("/elenco")))
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        elenco.sort();
        QStringList atteso = {QStringLiteral("a.bmp"), QStringLiteral("a.bmp.Quillmere")};
        if (liberoKiB >= 0)
            atteso.append(QStringLiteral("riempi"));
        if (riesce && !atteso.contains(nome))
            atteso.append(nome);
        atteso.sort();
        // No half-written file is left beside the others.
        QCOMPARE(elenco, atteso);

        const QString salvato = risultati + QLatin1Char('/') + nome;
        if (!riesce) {
            QVERIFY(!esito.Motivo.isEmpty());
            QCOMPARE(Contenuto(risultati + QStringLiteral("/a.bmp")), Contenuto(a));
            QCOMPARE(Contenuto(risultati + QStringLiteral("/a.bmp.Quillmere")), Contenuto(NomeFileParametri(a)));
            return;
        }
        if (tipo == QLatin1String("bitmap")) {
            QImage letta;
            QVERIFY(LeggiBitmap(salvato, letta, errore));
            QCOMPARE(letta, Figura(lato, 200));
        } else {
            CParametri letti;
            QVERIFY(LeggiFileParametri(salvato, letti));
            QCOMPARE(letti.Finestra.MaxIterazioni, 4321);
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication applicazione(argc, argv);
    if (argc > 1 && (qstrcmp(argv[1], ComandoScrivi) == 0 || qstrcmp(argv[1], ComandoUtente) == 0))
        return Aiutante(QCoreApplication::arguments());
    TestSalvataggio prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_salvataggio.moc"
