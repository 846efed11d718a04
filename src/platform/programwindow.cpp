#include "platform/programwindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

ProgramWindow::ProgramWindow(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Kurendal"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(480, 854);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // A phone's full-screen window follows the screen, also when it turns.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::geometryChanged, this, [this](const QRect& area) {
            if (windowState() & Qt::WindowFullScreen)
                setGeometry(area);
        });
    }
}

void ProgramWindow::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    // Without a window manager nothing resizes a full-screen window for us.
    if (e->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowFullScreen)) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->geometry());
    }
}

// Black, as the view it holds, until the view is there.
void ProgramWindow::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::black);
}

ProgramWindow::WindowMode ProgramWindow::windowMode(const QString& platform, const QSize& screenSize)
{
    if (screenSize.isValid() && !fillsScreen(screenSize))
        return PhoneSized;
    // A phone shell (phoc, Plasma Mobile) maximises its windows below its status bar; full screen
    // would hide the clock and the battery. Its Wayland is the sign that something manages windows.
    return platform.startsWith(QLatin1String("wayland")) ? ShellMaximised : FullScreen;
}

void ProgramWindow::showOnScreen(QScreen* screen)
{
    switch (windowMode(QGuiApplication::platformName(), screen ? screen->size() : QSize())) {
    case FullScreen:
        showFullScreen();
        break;
    case ShellMaximised:
        // The red bar is the title: Qt's own decoration is a desktop's, not a phone's.
        setWindowFlag(Qt::FramelessWindowHint);
        showMaximized();
        break;
    case PhoneSized:
        setGeometry(windowPlacement(screen->availableGeometry()));
        show();
        break;
    }
}

bool ProgramWindow::fillsScreen(const QSize& screenSize)
{
    return qMin(screenSize.width(), screenSize.height()) <= 600;
}

QRect ProgramWindow::windowPlacement(const QRect& available)
{
    // Room is left for the window manager's title bar and borders.
    const QSize room = available.size() - QSize(16, 48);
    QRect placement(QPoint(0, 0), QSize(480, 854).boundedTo(room).expandedTo(QSize(320, 480)));
    placement.moveCenter(available.center());
    return placement;
}
