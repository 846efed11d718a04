#include "screens/widgets/textscale.h"

#include "screens/widgets/followers.h"

#include <QFontDatabase>
#include <QPointer>
#include <QVector>
#include <QWidget>
#include <cmath>
#include <iterator>

namespace TextScale {

namespace {

const int steps[] = {80, 90, 100, 110, 125, 150, 175, 200};
int current = 100;

Followers& followers()
{
    static Followers list;
    return list;
}


} // namespace

int percent()
{
    return current;
}

void set(int value)
{
    if (value == current)
        return;
    current = value;
    followers().callAll();
}

int step(int value, int by)
{
    if (by > 0) {
        for (int s : steps) {
            if (s > value)
                return s;
        }
        return steps[std::size(steps) - 1];
    }
    for (int i = int(std::size(steps)) - 1; i >= 0; --i) {
        if (steps[i] < value)
            return steps[i];
    }
    return steps[0];
}

int pointSize(int designPointSize)
{
    const int desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont).pointSize();
    return int(std::lround(qMax(designPointSize, desktop) * current / 100.0));
}

int pixelSize(int designPixelSize)
{
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const int desktopPixels = desktop.pixelSize() > 0 ? desktop.pixelSize()
                                                      : int(std::lround(desktop.pointSizeF() * 96.0 / 72.0));
    return int(std::lround(qMax(designPixelSize, desktopPixels) * current / 100.0));
}

void follow(QObject* owner, const std::function<void()>& resize)
{
    followers().add(owner, resize);
}

void follow(QWidget* widget, int designPointSize, bool bold)
{
    auto apply = [widget, designPointSize, bold] {
        QFont font = widget->font();
        font.setPointSize(pointSize(designPointSize));
        font.setBold(bold);
        widget->setFont(font);
    };
    apply();
    follow(static_cast<QObject*>(widget), apply);
}

} // namespace TextScale
