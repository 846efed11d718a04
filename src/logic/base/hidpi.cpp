#include "logic/base/hidpi.h"

#include <QFile>
#include <QGuiApplication>
#include <QMovie>
#include <QtMath>

namespace Hidpi {

static const char* const ratioProperty = "kurendalImageRatio";
static const int largestVariant = 3;

qreal ratio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

static QString withScale(const QString& fileName, int scale)
{
    const int slash = fileName.lastIndexOf(QLatin1Char('/'));
    int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        dot = fileName.size();
    QString name = fileName;
    return name.insert(dot, QStringLiteral("@%1x").arg(scale));
}

QString variant(const QString& fileName, qreal ratio, int* scale)
{
    const int wanted = qBound(1, qCeil(ratio - 0.001), largestVariant);
    for (int n = wanted; n <= largestVariant && wanted > 1; ++n) {
        const QString name = withScale(fileName, n);
        if (QFile::exists(name)) {
            if (scale)
                *scale = n;
            return name;
        }
    }
    for (int n = wanted - 1; n > 1; --n) {
        const QString name = withScale(fileName, n);
        if (QFile::exists(name)) {
            if (scale)
                *scale = n;
            return name;
        }
    }
    if (scale)
        *scale = 1;
    return fileName;
}

QImage image(const QString& fileName)
{
    int scale = 1;
    QImage result(variant(fileName, ratio(), &scale));
    result.setDevicePixelRatio(scale);
    return result;
}

QPixmap pixmap(const QString& fileName)
{
    int scale = 1;
    QPixmap result(variant(fileName, ratio(), &scale));
    result.setDevicePixelRatio(scale);
    return result;
}

QIcon icon(const QString& fileName)
{
    return QIcon(pixmap(fileName));
}

QMovie* movie(const QString& fileName, QObject* parent)
{
    int scale = 1;
    QMovie* result = new QMovie(variant(fileName, ratio(), &scale), QByteArray(), parent);
    result->setProperty(ratioProperty, scale);
    return result;
}

QPixmap frame(const QMovie* movie)
{
    QPixmap result = movie->currentPixmap();
    const int scale = movie->property(ratioProperty).toInt();
    result.setDevicePixelRatio(scale > 0 ? scale : 1);
    return result;
}

QString borderImage(const QString& fileName, int top, int right, int bottom, int left)
{
    int scale = 1;
    variant(fileName, ratio(), &scale);
    return QStringLiteral("url(%1) %2 %3 %4 %5")
        .arg(fileName)
        .arg(top * scale)
        .arg(right * scale)
        .arg(bottom * scale)
        .arg(left * scale);
}

QPixmap scaledToWidth(const QPixmap& source, int logicalWidth)
{
    const qreal r = ratio();
    const int width = qMin(source.width(), logicalWidth);
    if (source.isNull() || (r == 1.0 && width == source.width()))
        return source;
    QPixmap result = source.scaledToWidth(qRound(width * r), Qt::SmoothTransformation);
    result.setDevicePixelRatio(r);
    return result;
}

} // namespace Hidpi
