#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstring>

#include "logic/news/article.h"
#include "logic/news/articleparser.h"
#include "screens/articlelist/articleitemdelegate.h"
#include "screens/articlelist/articlelistmodel.h"
#include "screens/article/articlewidget.h"
#include "screens/articlelist/articlerows.h"
#include "screens/gallery/pictureflow.h"
#include "screens/gallery/pictureflowprivate.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"
#include "screens/widgets/theme.h"
#include "bench/newsdata.h"

// Frames on a 1080 x 2340 phone at 2.5 device pixels per logical pixel (432 x 936 logical),
// beside the floor: one plain copy of a whole frame of that size. KURENDAL_BENCH_SCREEN names
// another screen, e.g. "1440x3120@3".
namespace {

int deviceWidth = 1080;
int deviceHeight = 2340;
qreal ratio = 2.5;

void chooseScreen()
{
    const QString screen = qEnvironmentVariable("KURENDAL_BENCH_SCREEN");
    const int x = screen.indexOf(QLatin1Char('x'));
    const int at = screen.indexOf(QLatin1Char('@'));
    if (x > 0 && at > x) {
        deviceWidth = screen.left(x).toInt();
        deviceHeight = screen.mid(x + 1, at - x - 1).toInt();
        ratio = screen.mid(at + 1).toDouble();
    }
    qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
}

void frameCopyFloor(benchmark::State& state)
{
    QImage from(deviceWidth, deviceHeight, QImage::Format_RGB32);
    from.fill(0xff123456);
    QImage to(from.size(), from.format());
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
        benchmark::DoNotOptimize(to.constBits());
        benchmark::ClobberMemory();
    }
}

// The cover-flow drawn at the screen's device pixels, mid-animation, and put on the screen's
// frame as its paint event does: what changed, the band the slides cover (the rest of the screen
// keeps what it showed).
void coverFlowFrame(benchmark::State& state)
{
    PictureFlow flow;
    flow.resize(qRound(deviceWidth / ratio), qRound(deviceHeight / ratio));
    PictureFlowPrivate* d = flow.implementation();
    d->resizeTo(flow.width(), flow.height());
    flow.setSlideCount(9);
    for (int i = 0; i < 9; ++i) {
        QImage picture(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb((x * 7 + i * 40) & 255, (y * 3) & 255, (x ^ y) & 255));
        flow.setSlide(i, picture);
    }
    d->render(); // builds every surface once, as the first frame on screen does
    state.counters["bufferWidth"] = d->buffer.width();
    state.counters["slideWidth"] = d->slideWidth;
    d->showNext();
    for (int tick = 0; tick < 3; ++tick)
        d->updateAnimation();
    QImage frame(deviceWidth, deviceHeight, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    const bool shown = state.range(0) == 1;
    for (auto _ : state) {
        d->render();
        if (shown) {
            QPainter painter(&frame);
            d->paint(&painter, d->takeChanged());
        }
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel(shown ? "rendered and put on the frame" : "rendered");
}

// Fills its rows white: what the list costs around its rows.
class PlainRows : public ArticleItemDelegate
{
public:
    using ArticleItemDelegate::ArticleItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        painter->fillRect(option.rect, Qt::white);
    }
};

// One frame of a finger-scrolled list of 100 articles, made as the article list makes its list (its
// style sheet, a pixel between rows) but as high as the screen: the list moves by a few pixels. Shown in
// its window, the list scrolls what is on screen and paints the uncovered strip (range 0), or
// its whole viewport is painted anew into a frame of the screen's device pixels (range 1).
// The third range picks the look: 0 light, 1 dark.
void kineticScrollFrame(benchmark::State& state)
{
    const bool whole = state.range(0) == 1;
    const bool plain = state.range(1) == 1;
    const bool dark = state.range(2) == 1;
    Theme::set(dark, false);
    QObject owner;
    ArticleParser parser;
    parser.parse(NewsData::feed(100, 1000));
    QVector<Article*> articles;
    for (const Article* a : *parser.getParserArticles()) {
        Article* copy = new Article(&owner);
        copy->updateFrom(*a, false);
        articles << copy;
    }
    QWidget form;
    ListView& list = *FormStyle::listView(&form, Theme::ListPage);
    list.setFlow(QListView::TopToBottom);
    list.setWrapping(false);
    list.setSpacing(1);
    ArticleListModel model(nullptr, nullptr);
    ArticleItemDelegate rows(nullptr);
    PlainRows plainRows(nullptr);
    ArticleRows::attach(&list, &model, plain ? &plainRows : &rows);
    form.resize(qRound(deviceWidth / ratio), qRound(deviceHeight / ratio));
    list.resize(form.size());
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    model.articlesUpdated(articles);
    model.widgetWidthChanged(list.viewport()->width());
    QApplication::processEvents();
    QImage frame(deviceWidth, deviceHeight, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    QScrollBar* bar = list.verticalScrollBar();
    int step = 7;
    for (auto _ : state) {
        if (bar->value() + step > bar->maximum() || bar->value() + step < 0)
            step = -step;
        bar->setValue(bar->value() + step);
        if (whole)
            list.viewport()->render(&frame);
        else
            QApplication::processEvents();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel(QStringLiteral("%1%2, %3").arg(whole ? "whole viewport" : "scrolled on screen", plain ? ", plain rows" : "",
                                                   dark ? "dark" : "light").toStdString());
    state.counters["rows"] = model.rowCount();
    Theme::set(false, false);
}

// One frame of the open article (the text of the feed's first, without its photos, which would be
// downloaded; its paragraphs repeated to a long page) scrolled by a few pixels, the whole screen painted anew into a frame of the
// screen's device pixels, in the light (range 0) or the dark look (range 1).
void articleFrame(benchmark::State& state)
{
    const bool dark = state.range(0) == 1;
    Theme::set(dark, false);
    ArticleParser parser;
    parser.parse(NewsData::feed(1, 1000));
    const Article* first = parser.getParserArticles()->first();
    Article source;
    source.title = first->title;
    source.lead = first->lead;
    source.signature = first->signature;
    source.date = first->date;
    source.content = first->content.repeated(4);
    ArticleWidget screen(source, nullptr);
    screen.resize(qRound(deviceWidth / ratio), qRound(deviceHeight / ratio));
    screen.show();
    (void)QTest::qWaitForWindowExposed(&screen);
    QApplication::processEvents();
    QImage frame(deviceWidth, deviceHeight, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    QScrollBar* bar = screen.findChild<QAbstractScrollArea*>(QStringLiteral("scrollArea"))->verticalScrollBar();
    int step = 7;
    for (auto _ : state) {
        if (bar->value() + step > bar->maximum() || bar->value() + step < 0)
            step = -step;
        bar->setValue(bar->value() + step);
        screen.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel(dark ? "dark" : "light");
    state.counters["scrollRange"] = bar->maximum();
    Theme::set(false, false);
}

} // namespace

BENCHMARK(frameCopyFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(coverFlowFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(kineticScrollFrame)
    ->Args({0, 0, 0})->Args({0, 0, 1})->Args({1, 0, 0})->Args({1, 0, 1})->Args({0, 1, 0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(articleFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    chooseScreen();
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    NewsData::useTemporaryData();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
