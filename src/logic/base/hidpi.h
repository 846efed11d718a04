#ifndef HIDPI_H
#define HIDPI_H

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

class QMovie;
class QObject;

// The program's pictures exist at 1x, 2x and 3x, the larger ones beside the normal one as
// "<name>@2x" and "<name>@3x" (before the extension when there is one). Style sheets and QIcon find
// them by themselves; everything that loads a picture by hand goes through here, so that a screen
// with several device pixels per logical pixel never shows a 1x picture blown up.
namespace Hidpi {

// Device pixels per logical pixel of the application's screen.
qreal ratio();

// The file of the variant drawn for `ratio`: the smallest of @2x, @3x at or above it that exists,
// else the largest below it, else the name itself. `scale` receives the variant's own ratio.
QString variant(const QString& fileName, qreal ratio, int* scale = nullptr);

// The picture loaded from its variant for the screen, carrying that variant's ratio, so that its
// logical size is the 1x picture's.
QImage image(const QString& fileName);
QPixmap pixmap(const QString& fileName);

// An icon holding the variant for the screen alone. An icon of the file itself would do at whole
// ratios, but at 1.25 and 1.5 Qt 6.4 picks its 1x picture and blows it up.
QIcon icon(const QString& fileName);

// A busy animation read from its variant for the screen; frame() gives its current frame with the ratio.
QMovie* movie(const QString& fileName, QObject* parent);
QPixmap frame(const QMovie* movie);

// A style-sheet "border-image" value: the url and its slices. Qt picks the @2x/@3x file for the
// border image (at a fractional ratio the next larger, as variant() does) but reads the slices in
// that file's pixels, so they are given in them here.
QString borderImage(const QString& fileName, int top, int right, int bottom, int left);

// `source` smoothly scaled to `logicalWidth` (never wider than it is) in device pixels of the screen,
// carrying the screen's ratio.
QPixmap scaledToWidth(const QPixmap& source, int logicalWidth);

} // namespace Hidpi

#endif // HIDPI_H
