#ifndef TEXTSCALE_H
#define TEXTSCALE_H

#include <functional>

class QObject;
class QWidget;

// The reader's text size: a percentage of the design's sizes, never starting below the desktop's
// own font. Widgets registered here take their font again whenever the size changes.
namespace TextScale {

int percent();
void set(int percent);
// The next size up (by > 0) or down from `percent`, within 80 % .. 200 %.
int step(int percent, int by);
// The point size to show for a design point size.
int pointSize(int designPointSize);
// The pixel size to draw for a design pixel size.
int pixelSize(int designPixelSize);
// Runs `resize` after every change of size, as long as `owner` lives.
void follow(QObject* owner, const std::function<void()>& resize);
// Gives `widget` its scaled font now and after every change of size, as long as it lives.
void follow(QWidget* widget, int designPointSize, bool bold);

} // namespace TextScale

#endif // TEXTSCALE_H
