#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <climits>
#include <cmath>

namespace {

const int PFREAL_SHIFT = 10;
const int PFREAL_ONE = 1 << PFREAL_SHIFT;
const int IANGLE_MAX = 1024;
const int IANGLE_MASK = 1023;

struct SinTable {
    int values[IANGLE_MAX];
    SinTable()
    {
        for (int i = 0; i < IANGLE_MAX; ++i)
            values[i] = int(std::floor(1024.0 * std::sin(2.0 * M_PI * (i + 0.5) / IANGLE_MAX)));
    }
};

const SinTable& sinTable()
{
    static const SinTable table;
    return table;
}

inline qint64 fmul(qint64 a, qint64 b)
{
    return (a * b) >> PFREAL_SHIFT;
}

inline qint64 fdiv(qint64 a, qint64 b)
{
    return a * PFREAL_ONE / b;
}

inline quint16 rgb16(int r, int g, int b)
{
    return quint16(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// As Qt widens RGB565: each channel's top bits repeated into the bits below.
inline quint32 rgb32(quint32 c)
{
    return 0xff000000u | ((c & 0xf800u) << 8) | ((c & 0xe000u) << 3) | ((c & 0x07e0u) << 5) | ((c & 0x0600u) >> 1)
           | ((c & 0x001fu) << 3) | ((c & 0x001cu) >> 2);
}

// The 16-bit colour a widened one came from: its top bits are the 16-bit ones.
inline quint16 rgb16(quint32 c)
{
    return quint16(((c >> 8) & 0xf800u) | ((c >> 5) & 0x07e0u) | ((c >> 3) & 0x001fu));
}

const quint32 black = 0xff000000u;

// The design's phone is 480 wide and shows a 415 wide centre slide with room to tap either side.
const int designWidth = 480;
const int designSlideWidth = 415;

// How many steps out from the buffer's middle row a slide column is drawn: up from `middle`, down
// from `middle` + 1, the source moving by dy a step from p1 up and from p2 down, until a row or a
// source position leaves its image.
int stepsOut(int middle, int height, qint64 p1, qint64 p2, qint64 dy, int surfaceHeight)
{
    qint64 steps = qMin<qint64>(middle + 1, height - middle - 1);
    if (p1 < 0)
        return 0;
    const qint64 room = (qint64(surfaceHeight) << PFREAL_SHIFT) - 1 - p2;
    if (room < 0)
        return 0;
    if (dy > 0)
        steps = qMin(steps, qMin(p1 / dy, room / dy) + 1);
    return int(qMax<qint64>(0, steps));
}

inline quint16 dim(quint16 c, int alpha)
{
    return quint16(((((alpha + 1) / 4) * (c & 0xF81F)) >> 6 & 0xF81F) |
                   (((alpha + 1) * (c & 0x07E0)) >> 8 & 0x07E0));
}

} // namespace

PictureFlowPrivate::PictureFlowPrivate(PictureFlow* w)
    : singlePress(false), singlePressThreshold(0), pixelDistanceMoved(0), pixelsToMovePerSlide(200),
      centerIndex(0), widget(w), slideWidth(415), slideHeight(280), zoom(100), itilt(227), spacing(415 / 5),
      offsetX(0), offsetY(0), surfaceCache(100), slideFrame(0), step(0), target(0), fade(256), ratio(1.0),
      logicalSlideSize(415, 280)
{
    triggerTimer.setSingleShot(true);
    triggerTimer.setInterval(0);
    QObject::connect(&triggerTimer, &QTimer::timeout, widget, &PictureFlow::render);
    previousPosTimestamp.start();
}

int PictureFlowPrivate::fsin(int angle)
{
    return sinTable().values[angle & IANGLE_MASK];
}

int PictureFlowPrivate::fcos(int angle)
{
    return sinTable().values[(angle + 256) & IANGLE_MASK];
}

int PictureFlowPrivate::slideCount() const
{
    return slideImages.size();
}

void PictureFlowPrivate::setSlideCount(int count)
{
    originals.resize(qMax(0, count));
    slideImages.resize(qMax(0, count));
    captions.resize(qMax(0, count));
    // A shorter list must leave neither the centre nor where it is heading past its end.
    animateTimer.stop();
    step = 0;
    fade = 256;
    centerIndex = qBound(0, centerIndex, qMax(0, count - 1));
    target = centerIndex;
    slideFrame = centerIndex << 16;
    surfaceCache.clear();
    resetSlides();
    triggerRender();
}

void PictureFlowPrivate::setSlide(int index, const QImage& image)
{
    if (index < 0 || index >= slideImages.size())
        return;
    originals[index] = image;
    slideImages[index] = QImage();
    surfaceCache.remove(index);
}

// The picture with its shape kept, as large as the slide box allows, in the middle of a black box.
const QImage& PictureFlowPrivate::fittedSlide(int index)
{
    static const QImage none;
    if (index < 0 || index >= slideImages.size())
        return none;
    QImage& fitted = slideImages[index];
    const QImage& original = originals.at(index);
    if (fitted.isNull() && !original.isNull()) {
        fitted = QImage(slideWidth, slideHeight, QImage::Format_RGB32);
        fitted.fill(Qt::black);
        const QImage picture = original.scaled(slideWidth, slideHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&fitted);
        painter.drawImage((slideWidth - picture.width()) / 2, (slideHeight - picture.height()) / 2, picture);
    }
    return fitted;
}

void PictureFlowPrivate::triggerRender()
{
    triggerTimer.start();
}

void PictureFlowPrivate::recalc(int ww, int wh)
{
    buffer = QImage(qMax(1, ww), qMax(1, wh), QImage::Format_RGB32);
    buffer.fill(black);
    changed = buffer.rect();
    drawnSteps.fill(0, buffer.width());
    frameSteps.fill(0, buffer.width());
    const int w = (buffer.width() + 1) / 2;
    const int h = (buffer.height() + 1) / 2;
    rays.resize(2 * w);
    for (int i = 0; i < w; ++i) {
        const long g = long((PFREAL_ONE / 2 + qint64(i) * PFREAL_ONE) / (2 * h));
        rays[w - 1 - i] = -g;
        rays[w + i] = g;
    }
    spacing = slideWidth / 5;
    offsetX = slideWidth * 4096 / 5;
    offsetY = slideWidth * 256 + (slideWidth / 2) * 1008;
    singlePressThreshold = qRound(ww / ratio) / 15;
    pixelsToMovePerSlide = 200;
    itilt = 227;
    resetSlides();
}

void PictureFlowPrivate::resizeTo(int logicalWidth, int logicalHeight)
{
    ratio = widget->devicePixelRatioF();
    fitSlideBox(logicalWidth, logicalHeight);
    recalc(qRound(logicalWidth * ratio), qRound(logicalHeight * ratio));
}

// The slide box keeps its size where the window has room for it, and shrinks with its shape where
// not: as wide as the design's phone shows it against the window's width, so that there is room
// to tap on either side, and low enough for the picture and its reflection (a third of it) to fit
// the height. The slides are then made again from their originals.
void PictureFlowPrivate::fitSlideBox(int logicalWidth, int logicalHeight)
{
    const QSize box = logicalSlideSize;
    qreal scale = 1;
    if (box.width() > 0 && box.height() > 0)
        scale = qMin<qreal>(1, qMin(qreal(logicalWidth) * designSlideWidth / designWidth / box.width(),
                                    qreal(logicalHeight) * 3 / 4 / box.height()));
    const int w = qMax(1, qRound(box.width() * scale * ratio));
    const int h = qMax(1, qRound(box.height() * scale * ratio));
    if (w == slideWidth && h == slideHeight)
        return;
    slideWidth = w;
    slideHeight = h;
    blankSurface = QImage();
    surfaceCache.clear();
    for (QImage& slide : slideImages)
        slide = QImage();
}

void PictureFlowPrivate::resetSlides()
{
    const int n = slideCount();
    centerSlide = SlideInfo();
    centerSlide.slideIndex = centerIndex;

    int left = 0;
    int right = 0;
    if (n > 2) {
        left = qMin((n - 1) / 2, 2) + 1;
        right = qMin(n / 2, 2) + 1;
    } else if (n == 2) {
        left = centerIndex == 0 ? 1 : 0;
        right = centerIndex == 1 ? 1 : 0;
    }
    leftSlides.resize(left);
    for (int i = 0; i < left; ++i) {
        SlideInfo& s = leftSlides[i];
        s.angle = itilt;
        s.cx = -(offsetX + i * spacing * PFREAL_ONE);
        s.cy = offsetY;
    }
    rightSlides.resize(right);
    for (int i = 0; i < right; ++i) {
        SlideInfo& s = rightSlides[i];
        s.angle = -itilt;
        s.cx = offsetX + i * spacing * PFREAL_ONE;
        s.cy = offsetY;
    }
    relabelSlides();
}

void PictureFlowPrivate::relabelSlides()
{
    const int n = slideCount();
    centerSlide.slideIndex = centerIndex;
    for (int i = 0; i < leftSlides.size(); ++i) {
        int index = centerIndex - 1 - i;
        if (index < 0)
            index += n;
        leftSlides[i].slideIndex = index;
    }
    for (int i = 0; i < rightSlides.size(); ++i) {
        int index = centerIndex + 1 + i;
        if (index >= n)
            index -= n;
        rightSlides[i].slideIndex = index;
    }
}

QImage PictureFlowPrivate::prepareSurface(const QImage& slide) const
{
    const QImage picture = slide.convertToFormat(QImage::Format_ARGB32);
    const int sw = picture.width();
    const int sh = picture.height();
    const int hs = sh * 4 / 3;
    const int ht = hs - sh;
    // The colours keep the 16-bit look, widened once here rather than at every frame.
    QImage result(hs, sw, QImage::Format_RGB32);
    result.fill(black);
    for (int x = 0; x < sw; ++x) {
        quint32* row = reinterpret_cast<quint32*>(result.scanLine(x));
        for (int y = 0; y < sh; ++y) {
            const QRgb c = reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x];
            row[y] = rgb32(rgb16(qRed(c), qGreen(c), qBlue(c)));
        }
        for (int y = 0; y < ht; ++y) {
            const QRgb c = reinterpret_cast<const QRgb*>(picture.constScanLine(sh - 1 - y))[x];
            const int a = qAlpha(c);
            int r = qRed(c) * a / 256;
            int g = qGreen(c) * a / 256;
            int b = qBlue(c) * a / 256;
            r = r * (ht - y) / ht * 3 / 5;
            g = g * (ht - y) / ht * 3 / 5;
            b = b * (ht - y) / ht * 3 / 5;
            row[sh + y] = rgb32(rgb16(r, g, b));
        }
    }
    return result;
}

QImage* PictureFlowPrivate::surface(int index)
{
    if (index < 0 || index >= slideCount())
        return nullptr;
    if (QImage* cached = surfaceCache.object(index))
        return cached;
    const QImage picture = widget->slide(index);
    if (picture.isNull()) {
        if (blankSurface.isNull()) {
            const int sw = slideWidth;
            const int sh = slideHeight;
            QImage blank(sw, sh, QImage::Format_RGB16);
            QPainter painter(&blank);
            QLinearGradient gradient(QPointF(sw * 4 / 10, 0), QPointF(sw * 6 / 10, sh));
            gradient.setColorAt(0, Qt::black);
            gradient.setColorAt(1, Qt::white);
            painter.fillRect(0, 0, sw, sh, gradient);
            const int edge = qRound(2 * ratio);
            painter.setPen(QPen(QColor(64, 64, 64), 2 * edge, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(edge, edge, sw - 2 * edge, sh - 2 * edge);
            painter.end();
            blankSurface = prepareSurface(blank);
        }
        return &blankSurface;
    }
    QImage* prepared = new QImage(prepareSurface(picture));
    surfaceCache.insert(index, prepared);
    return prepared;
}

namespace {

// One buffer column of a slide: its source scanline, where the source starts up and down from
// the middle, how far it moves per row, and for how many rows.
struct SlideColumn {
    int x;
    const quint32* scan;
    int up;
    int down;
    int dy;
    int steps;
};

const int stripWidth = 16;

// Draws up to stripWidth neighbouring columns of one slide from the middle row outwards, row pair
// by row pair, so that each row is written a run of neighbouring pixels at a time.
template <bool Dimmed>
void drawColumns(const SlideColumn* columns, int count, quint32* middleRow, int stride, int alpha)
{
    if (count <= 0)
        return;
    const quint32* scan[stripWidth];
    int up[stripWidth];
    int down[stripWidth];
    int dy[stripWidth];
    int steps[stripWidth];
    int least = INT_MAX;
    int most = 0;
    for (int i = 0; i < count; ++i) {
        const SlideColumn& c = columns[i];
        scan[i] = c.scan;
        up[i] = c.up;
        down[i] = c.down;
        dy[i] = c.dy;
        steps[i] = c.steps;
        least = qMin(least, c.steps);
        most = qMax(most, c.steps);
    }
    auto pixel = [alpha](quint32 c) { return Dimmed ? rgb32(dim(rgb16(c), alpha)) : c; };
    quint32* upRow = middleRow + columns[0].x;
    quint32* downRow = upRow + stride;
    int k = 0;
    // While every column of the strip still draws, without asking each one.
    for (; k < least; ++k, upRow -= stride, downRow += stride) {
        for (int i = 0; i < count; ++i) {
            upRow[i] = pixel(scan[i][up[i] >> PFREAL_SHIFT]);
            downRow[i] = pixel(scan[i][down[i] >> PFREAL_SHIFT]);
            up[i] -= dy[i];
            down[i] += dy[i];
        }
    }
    for (; k < most; ++k, upRow -= stride, downRow += stride) {
        for (int i = 0; i < count; ++i) {
            if (k >= steps[i])
                continue;
            upRow[i] = pixel(scan[i][up[i] >> PFREAL_SHIFT]);
            downRow[i] = pixel(scan[i][down[i] >> PFREAL_SHIFT]);
            up[i] -= dy[i];
            down[i] += dy[i];
        }
    }
}

} // namespace

QRect PictureFlowPrivate::renderSlide(const SlideInfo& slide, int alpha, int col1, int col2)
{
    QImage* src = surface(slide.slideIndex);
    if (!src)
        return QRect();
    const int sw = src->height(); // surface rows are slide columns
    const int hs = src->width();
    const int w = buffer.width();
    const int h = buffer.height();
    if (col1 > col2 && col2 >= 0)
        qSwap(col1, col2);
    col1 = col1 >= 0 ? col1 : 0;
    col2 = col2 >= 0 ? col2 : w - 1;
    col1 = qMin(col1, w - 1);
    col2 = qMin(col2, w - 1);

    const qint64 distance = qint64(h) * 100 / zoom;
    const qint64 cosine = fcos(slide.angle);
    const qint64 sine = fsin(slide.angle);
    const qint64 xs = slide.cx - qint64(slideWidth) * cosine / 2;
    const qint64 ys = slide.cy - qint64(slideWidth) * sine / 2;
    const qint64 xi = qMax<qint64>(0, (qint64(h) * xs * PFREAL_ONE / (distance * PFREAL_ONE + ys)
                                       + qint64(w) * (PFREAL_ONE / 2)) >> PFREAL_SHIFT);
    if (xi >= w)
        return QRect();

    const int stride = buffer.bytesPerLine() / 4;
    const int middle = h / 2;
    quint32* middleRow = reinterpret_cast<quint32*>(buffer.scanLine(middle));
    const qint64 centre = qint64(hs / 2) * PFREAL_ONE;
    // Columns are gathered a strip at a time and drawn across: 16 of them fill a cache line a row.
    SlideColumn columns[stripWidth];
    int gathered = 0;
    auto flush = [&] {
        if (alpha == 256)
            drawColumns<false>(columns, gathered, middleRow, stride, alpha);
        else
            drawColumns<true>(columns, gathered, middleRow, stride, alpha);
        gathered = 0;
    };
    int first = -1;
    int last = -1;
    for (int x = qMax<int>(int(xi), col1); x <= col2; ++x) {
        const qint64 r = rays[x];
        const qint64 fk = -fdiv((qint64(slide.cy) * cosine) / sine - slide.cx + distance * r, r - fdiv(cosine, sine));
        const qint64 z = fk + distance * PFREAL_ONE;
        if (z < 0)
            continue;
        const qint64 hit = fmul(z, r) - slide.cx;
        const qint64 column = sw / 2 + (fdiv(hit, cosine) >> PFREAL_SHIFT);
        if (column >= sw)
            break;
        if (column < 0)
            continue;
        if (first < 0)
            first = x;
        last = x;
        // A strip is a run of neighbouring columns.
        if (gathered > 0 && columns[gathered - 1].x != x - 1)
            flush();

        SlideColumn& c = columns[gathered];
        const qint64 dy = z / h;
        c.x = x;
        c.dy = int(dy);
        c.up = int(centre - dy / 2);
        c.down = int(centre + dy / 2);
        c.steps = stepsOut(middle, h, centre - dy / 2, centre + dy / 2, dy, hs);
        c.scan = reinterpret_cast<const quint32*>(src->constScanLine(int(column)));
        frameSteps[x] = qMax(frameSteps[x], c.steps);
        if (++gathered == stripWidth)
            flush();
    }
    flush();
    if (first < 0)
        return QRect();
    const QRect rect(first, 0, last - first + 1, h);
    if (slide.slideIndex == centerIndex && &slide == &centerSlide) {
        const int top = h / 2 - hs / 2;
        centerSlideRect = QRect(QPoint(first, top), QPoint(last, top + slideHeight));
    }
    return rect;
}

int PictureFlowPrivate::sideAlpha(bool left, int i, int count) const
{
    const bool forward = step > 0;
    if (i == count - 1) {
        if (left)
            return forward ? 0 : 128 - fade / 2;
        return forward ? fade / 2 : 0;
    }
    if (i == count - 2) {
        if (left)
            return forward ? 128 - fade / 2 : 256 - fade / 2;
        return forward ? 128 + fade / 2 : fade / 2;
    }
    if (i == count - 3) {
        if (left)
            return forward ? 256 - fade / 2 : 256;
        return forward ? 256 : 128 + fade / 2;
    }
    return 256;
}

void PictureFlowPrivate::render()
{
    frameSteps.fill(0);
    renderSlides();
    // Black out what the last frame drew and this one did not: the rows each column drew form one
    // run around the middle row. Both frames' runs are all that changed on the screen.
    const int h = buffer.height();
    const int stride = buffer.bytesPerLine() / 4;
    quint32* middleRow = reinterpret_cast<quint32*>(buffer.scanLine(h / 2));
    int first = -1;
    int last = -1;
    int most = 0;
    for (int x = 0; x < frameSteps.size(); ++x) {
        const int drawn = drawnSteps.at(x);
        for (int k = frameSteps.at(x); k < drawn; ++k) {
            middleRow[x - k * stride] = black;
            middleRow[x + (k + 1) * stride] = black;
        }
        const int steps = qMax(drawn, frameSteps.at(x));
        if (steps > 0) {
            if (first < 0)
                first = x;
            last = x;
            most = qMax(most, steps);
        }
    }
    if (first >= 0)
        changed |= QRect(first, h / 2 - most + 1, last - first + 1, 2 * most);
    drawnSteps.swap(frameSteps);
}

QRect PictureFlowPrivate::takeChanged()
{
    const QRect device = changed;
    changed = QRect();
    if (device.isEmpty())
        return QRect();
    // Out to whole logical pixels, so that the screen takes every changed device pixel.
    const QPoint topLeft(int(std::floor(device.left() / ratio)), int(std::floor(device.top() / ratio)));
    const QPoint end(int(std::ceil((device.right() + 1) / ratio)), int(std::ceil((device.bottom() + 1) / ratio)));
    return QRect(topLeft, end - QPoint(1, 1));
}

void PictureFlowPrivate::paint(QPainter* painter, const QRect& logical)
{
    const QRect device = QRect(QPoint(int(std::floor(logical.left() * ratio)), int(std::floor(logical.top() * ratio))),
                               QPoint(int(std::ceil((logical.right() + 1) * ratio)) - 1,
                                      int(std::ceil((logical.bottom() + 1) * ratio)) - 1))
                         & buffer.rect();
    if (device.isEmpty())
        return;
    // The buffer holds device pixels: undoing the device scale puts it on the screen 1:1, a plain
    // copy rather than a scaled one.
    painter->save();
    painter->scale(1 / ratio, 1 / ratio);
    painter->drawImage(device.topLeft(), buffer, device);
    painter->restore();
}

void PictureFlowPrivate::renderSlides()
{
    const int nleft = leftSlides.size();
    const int nright = rightSlides.size();
    const int w = buffer.width();

    if (step == 0) {
        const QRect r = renderSlide(centerSlide);
        int c1 = r.isEmpty() ? w / 2 : r.left();
        int c2 = r.isEmpty() ? w / 2 : r.right();
        const bool all = slideCount() == 2;
        const int drawnLeft = all ? nleft : nleft - 1;
        for (int i = 0; i < drawnLeft && c1 > 0; ++i) {
            const QRect rs = renderSlide(leftSlides[i], i == nleft - 2 ? 128 : 256, 0, c1 - 1);
            if (!rs.isEmpty())
                c1 = rs.left();
        }
        const int drawnRight = all ? nright : nright - 1;
        for (int i = 0; i < drawnRight && c2 < w - 1; ++i) {
            const QRect rs = renderSlide(rightSlides[i], i == nright - 2 ? 128 : 256, c2 + 1, w - 1);
            if (!rs.isEmpty())
                c2 = rs.right();
        }
        return;
    }

    if (step > 0) {
        int c1 = w / 2;
        for (int i = 0; i < nleft && c1 > 0; ++i) {
            const QRect rs = renderSlide(leftSlides[i], sideAlpha(true, i, nleft), 0, c1 - 1);
            if (!rs.isEmpty())
                c1 = rs.left();
        }
        const QRect r = renderSlide(centerSlide);
        int c2 = r.isEmpty() ? w / 2 : r.left();
        for (int i = 0; i < nright && c2 < w - 1; ++i) {
            const QRect rs = renderSlide(rightSlides[i], sideAlpha(false, i, nright), c2 + 1, w - 1);
            if (!rs.isEmpty())
                c2 = rs.right();
        }
    } else {
        int c2 = w / 2;
        for (int i = 0; i < nright && c2 < w - 1; ++i) {
            const QRect rs = renderSlide(rightSlides[i], sideAlpha(false, i, nright), c2 + 1, w - 1);
            if (!rs.isEmpty())
                c2 = rs.right();
        }
        const QRect r = renderSlide(centerSlide);
        int c1 = r.isEmpty() ? w / 2 : r.right();
        for (int i = 0; i < nleft && c1 > 0; ++i) {
            const QRect rs = renderSlide(leftSlides[i], sideAlpha(true, i, nleft), 0, c1 - 1);
            if (!rs.isEmpty())
                c1 = rs.left();
        }
    }
}

void PictureFlowPrivate::startAnimation(bool backward)
{
    if (animateTimer.isActive())
        return;
    step = backward ? -1 : 1;
    animateTimer.start(30, widget);
}

void PictureFlowPrivate::updateAnimation()
{
    if (!animateTimer.isActive() || step == 0)
        return;
    const int n = slideCount();
    if (n <= 0) {
        animateTimer.stop();
        step = 0;
        return;
    }

    qint64 distance;
    if (step > 0)
        distance = target < (slideFrame >> 16) ? (qint64(target + n) << 16) - slideFrame
                                               : qint64(slideFrame) - (qint64(target) << 16);
    else
        distance = target > (slideFrame >> 16) ? qint64(slideFrame) + (qint64(n) << 16) - (qint64(target) << 16)
                                               : qint64(slideFrame) - (qint64(target) << 16);
    const qint64 m = distance < 0 ? -distance : distance;
    const int tableIndex = m >= 0x20000 ? 256 : int(((m - 65536) / 256) & 1023);
    const int speed = sinTable().values[tableIndex] + 1056;
    slideFrame += speed * step * 16;

    const int pos = slideFrame & 0xFFFF;
    fade = pos >> 8;
    const int ftick = step > 0 ? pos : 65536 - pos;
    int index = slideFrame >> 16;
    if (step < 0)
        ++index;
    if (index >= n)
        index = 0;
    if (index < 0)
        index = n - 1;

    if (index != centerIndex) {
        centerIndex = index;
        slideFrame = index << 16;
        relabelSlides();
    }

    centerSlide.angle = int((qint64(step) * itilt * ftick) >> 16);
    centerSlide.cx = PFreal(-(step * ((qint64(offsetX) * (ftick >> 6)) >> 10)));
    centerSlide.cy = PFreal((qint64(offsetY) * (ftick >> 6)) >> 10);

    if (centerIndex == target) {
        emit widget->itemCentered(centerIndex);
        resetSlides();
        animateTimer.stop();
        triggerRender();
        step = 0;
        fade = 256;
        return;
    }

    for (int i = 0; i < leftSlides.size(); ++i) {
        SlideInfo& s = leftSlides[i];
        s.angle = itilt;
        s.cx = -(offsetX + i * spacing * PFREAL_ONE + (ftick >> 6) * step * spacing);
        s.cy = offsetY;
    }
    for (int i = 0; i < rightSlides.size(); ++i) {
        SlideInfo& s = rightSlides[i];
        s.angle = -itilt;
        s.cx = offsetX + i * spacing * PFREAL_ONE - (ftick >> 6) * spacing * step;
        s.cy = offsetY;
    }
    if (step < 0 && !leftSlides.isEmpty()) {
        SlideInfo& s = leftSlides[0];
        s.angle = int((qint64(itilt) * pos) >> 16);
        s.cx = PFreal(-((qint64(pos >> 6) * offsetX) >> 10));
        s.cy = PFreal((qint64(pos >> 6) * offsetY) >> 10);
    } else if (step > 0 && !rightSlides.isEmpty()) {
        SlideInfo& s = rightSlides[0];
        s.angle = int(-(qint64(itilt) * (65536 - pos)) >> 16);
        s.cx = PFreal((qint64((65536 - pos) >> 6) * offsetX) >> 10);
        s.cy = PFreal((qint64((65536 - pos) >> 6) * offsetY) >> 10);
    }
    triggerRender();
}

void PictureFlowPrivate::showSlide(int index, bool backward)
{
    const int n = slideCount();
    if (n <= 0)
        return;
    if (n == 2 && ((!backward && centerIndex == 0) || (backward && centerIndex == 1)))
        return;
    index = qBound(0, index, n - 1);
    if (index == centerSlide.slideIndex)
        return;
    target = index;
    startAnimation(backward);
}

void PictureFlowPrivate::showNext()
{
    const int n = slideCount();
    if (n <= 0)
        return;
    if (step <= 0) {
        target = centerIndex == n - 1 ? 0 : target + 1;
        startAnimation(false);
    } else {
        target = qMin(centerIndex + 2, n - 1);
    }
}

void PictureFlowPrivate::showPrevious()
{
    const int n = slideCount();
    if (n <= 0)
        return;
    if (step < 0) {
        target = qMax(centerIndex - 2, 0);
    } else {
        target = (centerIndex == 0 ? n : target) - 1;
        startAnimation(true);
    }
}

void PictureFlowPrivate::setCurrentSlide(int index)
{
    const int n = slideCount();
    animateTimer.stop();
    step = 0;
    fade = 256;
    centerIndex = qMax(index, qMin(n - 1, 0));
    emit widget->itemCentered(centerIndex);
    slideFrame = index << 16;
    target = centerIndex;
    resetSlides();
    triggerRender();
}

PictureFlow::PictureFlow(QWidget* parent) : QWidget(parent), loading(false), d(nullptr)
{
    setAttribute(Qt::WA_StaticContents, true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
    d = new PictureFlowPrivate(this);
    d->resetSlides();
}

PictureFlow::~PictureFlow()
{
    delete d;
}

int PictureFlow::slideCount() const
{
    return d->slideCount();
}

QSize PictureFlow::slideSize() const
{
    return d->logicalSlideSize;
}

int PictureFlow::zoomFactor() const
{
    return d->zoom;
}

int PictureFlow::currentSlide() const
{
    return d->centerIndex;
}

QImage PictureFlow::slide(int index) const
{
    return d->fittedSlide(index);
}

void PictureFlow::setSlideCount(int count)
{
    d->setSlideCount(count);
}

void PictureFlow::setSlideSize(QSize size)
{
    d->logicalSlideSize = size;
    d->resizeTo(width(), height());
    d->triggerRender();
}

void PictureFlow::setZoomFactor(int zoom)
{
    if (zoom <= 0)
        return;
    d->zoom = zoom;
    d->resizeTo(width(), height());
    d->triggerRender();
}

void PictureFlow::clearCaches()
{
    d->surfaceCache.clear();
}

void PictureFlow::setSlide(int index, const QImage& image)
{
    d->setSlide(index, image);
    d->triggerRender();
}

void PictureFlow::setSlide(int index, const QPixmap& pixmap)
{
    setSlide(index, pixmap.toImage());
}

void PictureFlow::setSlideRender(int index, const QImage& image)
{
    d->setSlide(index, image);
}

void PictureFlow::setSlideCaption(int index, QString caption)
{
    if (index >= 0 && index < d->captions.size())
        d->captions[index] = caption;
}

void PictureFlow::setCurrentSlide(int index)
{
    d->setCurrentSlide(index);
}

void PictureFlow::clear()
{
    setSlideCount(0);
}

void PictureFlow::render()
{
    d->render();
    // Only the band the slides cover changes: the rest stays on the screen as it is.
    const QRect changed = d->takeChanged();
    if (!changed.isEmpty())
        update(changed);
}

void PictureFlow::showPrevious()
{
    d->showPrevious();
}

void PictureFlow::showNext()
{
    d->showNext();
}

void PictureFlow::showSlide(int index, bool backward)
{
    d->showSlide(index, backward);
}

void PictureFlow::emitCentered()
{
    emit itemCentered(d->centerIndex);
}

void PictureFlow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    d->paint(&painter, event->rect());
    painter.setPen(Qt::black);
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void PictureFlow::keyPressEvent(QKeyEvent* event)
{
    if (loading) {
        event->ignore();
        return;
    }
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        if (control)
            showSlide(d->centerIndex - 10, true);
        else
            showPrevious();
        event->accept();
        return;
    case Qt::Key_Right:
        if (control)
            showSlide(d->centerIndex + 10, false);
        else
            showNext();
        event->accept();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
    case Qt::Key_Select:
        emit itemActivated(d->target);
        event->accept();
        return;
    default:
        event->ignore();
    }
}

void PictureFlow::mousePressEvent(QMouseEvent* event)
{
    if (loading)
        return;
    d->firstPress = d->previousPos = event->position().toPoint();
    d->previousPosTimestamp.restart();
    d->pixelDistanceMoved = 0;
    d->singlePress = true;
    emit inputReceived();
}

void PictureFlow::mouseMoveEvent(QMouseEvent* event)
{
    if (loading)
        return;
    const int dx = event->position().toPoint().x() - d->previousPos.x();
    if (d->singlePress) {
        d->pixelDistanceMoved += dx;
        if (qAbs(d->pixelDistanceMoved) <= d->singlePressThreshold) {
            d->previousPos = event->position().toPoint();
            d->previousPosTimestamp.restart();
            emit inputReceived();
            return;
        }
        d->singlePress = false;
    }
    int factor = 10;
    const qint64 elapsed = d->previousPosTimestamp.elapsed();
    const int tenth = qMax(1, qRound(d->buffer.width() / d->ratio) / 10);
    if (elapsed > 0) {
        const int speed = int((1000 * qAbs(dx) / elapsed) / tenth);
        if (speed <= 9)
            factor = 10;
        else if (speed > 40)
            factor = 40;
        else
            factor = speed / 3 + 10;
    }
    d->pixelDistanceMoved += dx * factor;
    const int slides = d->pixelDistanceMoved / (d->pixelsToMovePerSlide * 10);
    if (slides != 0) {
        const int n = d->slideCount();
        int newTarget = d->target - slides;
        if (n > 0) {
            if (n == 2)
                newTarget = newTarget < 0 ? 1 : (newTarget >= n ? 0 : newTarget);
            else
                newTarget = ((newTarget % n) + n) % n;
        }
        showSlide(newTarget, slides > 0);
        d->pixelDistanceMoved -= slides * 10 * d->pixelsToMovePerSlide;
    }
    d->previousPos = event->position().toPoint();
    d->previousPosTimestamp.restart();
    emit inputReceived();
}

void PictureFlow::mouseReleaseEvent(QMouseEvent* event)
{
    if (loading)
        return;
    if (d->singlePress) {
        const int side = (d->buffer.width() - d->slideWidth) / 2;
        // From the tap's own logical position, which is fractional at a fractional scale.
        const QPoint at = (event->position() * d->ratio).toPoint();
        const int x = at.x();
        const bool idle = !d->animateTimer.isActive();
        if (x < side) {
            if (idle)
                showPrevious();
        } else if (x > side + d->slideWidth) {
            if (idle)
                showNext();
        } else if (d->centerSlideRect.contains(at, true)) {
            emit itemActivated(d->target);
        }
        event->accept();
    }
    emit inputReceived();
}

void PictureFlow::resizeEvent(QResizeEvent* event)
{
    d->resizeTo(width(), height());
    d->render();
    QWidget::resizeEvent(event);
}

void PictureFlow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == d->animateTimer.timerId())
        d->updateAnimation();
    else
        QWidget::timerEvent(event);
}
