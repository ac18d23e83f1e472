#pragma once

// Helpers shared by the tests that drive the program's windows.

#include "FileParametri.h"
#include "QuillmereShell.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMdiSubWindow>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

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

inline bool TuttoNero(const QImage &figura)
{
    for (int y = 0; y < figura.height(); ++y)
        for (int x = 0; x < figura.width(); ++x)
            if ((figura.pixel(x, y) & 0xFFFFFF) != 0)
                return false;
    return true;
}
