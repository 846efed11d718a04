#include "screens/widgets/formstyle.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/widgets/listview.h"
#include "logic/base/hidpi.h"

namespace FormStyle {

QString listStyle(const QString& selector, const QString& background)
{
    return selector + QStringLiteral(" { background-color: ") + background + QStringLiteral("; border: none; }"
        "QScrollBar:vertical { width: 11px; background: transparent; margin: 0px 3px 0px 0px; border: none; }"
        "QScrollBar::handle:vertical { border: 1px solid rgba(150, 150, 150, 100); border-radius: 4px;"
        " background: rgba(150, 150, 150, 100); min-height: 20px; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { background: transparent; height: 0px; }"
        "QLabel { background: transparent; border: none; }")
        + Theme::focusMark(selector + QStringLiteral(":focus"));
}

void imageButton(QPushButton* button, const QString& offImage, const QString& onImage, int size)
{
    button->setFixedSize(size, size);
    button->setFocusPolicy(Qt::TabFocus);
    Theme::follow(button, [button, offImage, onImage] {
        button->setStyleSheet(QStringLiteral("QPushButton { background-image: url(") + offImage
            + QStringLiteral("); background-position: center; background-repeat: no-repeat; border: none; }"
                             "QPushButton:pressed { background-image: url(") + onImage + QStringLiteral("); }"
                             "QPushButton:disabled { background-image: url(") + offImage + QStringLiteral("); }")
            + Theme::focusMark(QStringLiteral("QPushButton:focus")));
    });
}

void barButton(QPushButton* button, const QString& image, int width, int height)
{
    button->setFixedSize(width, height);
    button->setFocusPolicy(Qt::TabFocus);
    button->setIcon(Hidpi::icon(image));
    button->setIconSize(QSize(60, 44));
    button->setFlat(true);
}

namespace {

// A top bar: the bar's gradient with its picture centred on it; the picture carries the title in its
// middle, so the title stays in the middle of the bar at any width. Painted by hand: a style sheet's
// centred background is placed off centre on a high-density screen once the picture is wider than
// the bar.
class TopBarFrame : public QFrame
{
public:
    TopBarFrame(QWidget* parent, const QString& image) : QFrame(parent), picture(Hidpi::pixmap(image)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient shade(0, 0, 0, 1);
        shade.setCoordinateMode(QGradient::ObjectMode);
        shade.setColorAt(0, QColor(214, 40, 64));
        shade.setColorAt(0.98, QColor(140, 10, 30));
        shade.setColorAt(0.99, QColor(90, 0, 15));
        painter.fillRect(rect(), shade);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize size = picture.size() / picture.devicePixelRatio();
        painter.drawPixmap(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size), picture);
    }

public:
    // The width of the white logo in the bar's picture, which is centred whatever the bar's width.
    int logoWidth() const
    {
        if (logoSpan < 0) {
            const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
            int first = image.width();
            int last = -1;
            for (int y = 0; y < image.height(); ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    if (qAlpha(line[x]) > 128 && qRed(line[x]) > 200 && qGreen(line[x]) > 200 && qBlue(line[x]) > 200) {
                        first = qMin(first, x);
                        last = qMax(last, x);
                    }
                }
            }
            logoSpan = last < first ? 0 : qRound((last - first + 1) / picture.devicePixelRatio());
        }
        return logoSpan;
    }

private:
    const QPixmap picture;
    mutable int logoSpan = -1;
};

} // namespace

QFrame* topBar(QWidget* form, const QString& name, const QString& image, int height, int buttonWidth,
               QPushButton** backButton, QPushButton** exitButton)
{
    QFrame* bar = new TopBarFrame(form, image);
    bar->setObjectName(name);
    bar->setFixedHeight(height);
    // The mark is white: the bar stays red in every look.
    bar->setStyleSheet(QStringLiteral("#") + name + QStringLiteral(" { border: none; }"
                       "QPushButton { background-color: transparent; border: none; color: white; }"
                       "QPushButton:focus { border: 2px solid white; }"));
    QHBoxLayout* layout = new QHBoxLayout(bar);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    if (backButton) {
        *backButton = new QPushButton(bar);
        (*backButton)->setObjectName(QStringLiteral("backButton"));
        barButton(*backButton, QStringLiteral(":/IMG/BACK_BUTTON"), buttonWidth, height);
        (*backButton)->setAccessibleName(QObject::tr("Wstecz"));
        layout->addWidget(*backButton);
    }
    layout->addStretch();
    *exitButton = new QPushButton(bar);
    (*exitButton)->setObjectName(QStringLiteral("exitButton"));
    barButton(*exitButton, QStringLiteral(":/IMG/X_BUTTON"), buttonWidth, height);
    (*exitButton)->setAccessibleName(QObject::tr("Zamknij"));
    layout->addWidget(*exitButton);
    return bar;
}

// The bar's logo stays whole: the magnifier shows only where it leaves the logo room, on the
// left where the bar has no back button, else beside the exit button.
class SearchButton : public QPushButton
{
public:
    SearchButton(QWidget* bar, bool left) : QPushButton(bar), onLeft(left) { bar->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            const QWidget* bar = static_cast<QWidget*>(watched);
            const TopBarFrame* frame = dynamic_cast<const TopBarFrame*>(bar);
            const int logoLeft = (bar->width() - (frame ? frame->logoWidth() : 0)) / 2;
            const int reach = onLeft ? width() : width() + sideButtonWidth;
            setVisible(logoLeft >= reach);
        }
        return false;
    }

private:
    static constexpr int sideButtonWidth = 89;
    bool onLeft;
};

QPushButton* searchButton(QPushButton* beside)
{
    QWidget* bar = beside->parentWidget();
    QBoxLayout* layout = qobject_cast<QBoxLayout*>(bar->layout());
    const bool left = !layout->itemAt(0)->widget();
    QPushButton* button = new SearchButton(bar, left);
    button->setObjectName(QStringLiteral("searchButton"));
    button->setAccessibleName(QObject::tr("Szukaj"));
    button->setToolTip(QObject::tr("Szukaj w zapisanych artykułach (Ctrl+F)"));
    button->setFocusPolicy(Qt::NoFocus);
    // A white magnifier, drawn at twice its size so that it stays sharp on dense screens.
    QPixmap glyph(64, 64);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QRectF(8, 8, 32, 32));
    painter.drawLine(QPointF(37, 37), QPointF(56, 56));
    painter.end();
    glyph.setDevicePixelRatio(2);
    button->setIcon(QIcon(glyph));
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(60, bar->height());
    layout->insertWidget(left ? 0 : layout->indexOf(beside), button);
    return button;
}

QFrame* bottomBar(QWidget* form, const QString& name, QGridLayout** grid)
{
    QFrame* bar = new QFrame(form);
    bar->setObjectName(name);
    bar->setFixedHeight(79);
    bar->setStyleSheet(QStringLiteral("#") + name + QStringLiteral(
        " { background-image: url(:/IMG/BOTTOM_BAR); border: none; }"
        "QPushButton { background-color: transparent; color: white; border-bottom: 3px solid transparent; }"
        "QPushButton:focus { border: 2px solid white; }"));
    *grid = new QGridLayout(bar);
    (*grid)->setSpacing(0);
    (*grid)->setContentsMargins(0, 0, 0, 0);
    return bar;
}

ListView* listView(QWidget* form, Theme::Role background)
{
    ListView* list = new ListView(form);
    list->setObjectName(QStringLiteral("listView"));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setAutoScroll(false);
    list->setAutoScrollMargin(0);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setFrameShape(QFrame::NoFrame);
    Theme::follow(list, [list, background] {
        list->setStyleSheet(listStyle(QStringLiteral("QListView"), Theme::css(background)));
    });
    return list;
}

void screenRoot(QWidget* form, const QString& name, int width, Theme::Role background)
{
    form->setObjectName(name);
    form->resize(width, 854);
    form->setAttribute(Qt::WA_StyledBackground, true);
    Theme::follow(form, [form, name, background] {
        form->setStyleSheet(QStringLiteral("#") + name + QStringLiteral(" { background-color: ") + Theme::css(background)
                            + QStringLiteral("; }"));
    });
    QVBoxLayout* layout = new QVBoxLayout(form);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
}

namespace {

// Bounds a piece by its design sizes and by the room its parent widget has, whenever the parent resizes.
class RoomFollower : public QObject
{
public:
    RoomFollower(QWidget* piece, const QSize& minimum, const QSize& maximum, const QMargins& margins, int columns)
        : QObject(piece), piece(piece), minimum(minimum), maximum(maximum), margins(margins), columns(columns)
    {
        piece->installEventFilter(this);
        watchParent();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == piece && event->type() == QEvent::ParentChange)
            watchParent();
        else if (watched == parent && event->type() == QEvent::Resize)
            follow();
        return false;
    }

private:
    // A form may move the piece into another widget after it is made.
    void watchParent()
    {
        if (parent)
            parent->removeEventFilter(this);
        parent = piece->parentWidget();
        if (parent) {
            parent->installEventFilter(this);
            follow();
        }
    }

    void follow()
    {
        QSize room = parent->size().shrunkBy(margins);
        room.setWidth(room.width() / columns);
        room = room.expandedTo(QSize(1, 1));
        piece->setMinimumSize(minimum.boundedTo(room));
        // An unbounded side stays unbounded.
        piece->setMaximumSize(maximum.width() < QWIDGETSIZE_MAX ? qMin(maximum.width(), room.width()) : QWIDGETSIZE_MAX,
                              maximum.height() < QWIDGETSIZE_MAX ? qMin(maximum.height(), room.height()) : QWIDGETSIZE_MAX);
    }

    QWidget* piece;
    QPointer<QWidget> parent;
    QSize minimum;
    QSize maximum;
    QMargins margins;
    int columns;
};

} // namespace

void fitInside(QWidget* piece, const QSize& minimum, const QSize& maximum, const QMargins& margins, int columns)
{
    new RoomFollower(piece, minimum, maximum, margins, qMax(1, columns));
}

} // namespace FormStyle
