#include "IconaQuillmere.h"

#include <QSize>
#include <QString>

QIcon IconaQuillmere()
{
    QIcon icona;
    for (const int lato : {16, 32, 48, 64, 128, 256})
        icona.addFile(QStringLiteral(":/quillmere/quillmere-%1.png").arg(lato), QSize(lato, lato));
    return icona;
}
