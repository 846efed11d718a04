#ifndef PROGRAMWINDOW_H
#define PROGRAMWINDOW_H

#include <QRect>
#include <QWidget>

class QScreen;

// The program's top-level window. It needs nothing but QtWidgets, so that it shows before the
// rest of the program is loaded; the QML view then fills it, through its layout.
class ProgramWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ProgramWindow(QWidget* parent = nullptr);

    // How the window is shown: full screen where nothing manages windows on a phone's screen,
    // maximised by the shell and without a toolkit title bar on a Wayland phone, else as an
    // upright phone-sized window in the middle of a larger screen.
    enum WindowMode { FullScreen, ShellMaximised, PhoneSized };
    static WindowMode windowMode(const QString& platform, const QSize& screenSize);
    void showOnScreen(QScreen* screen);
    // A phone's screen: its short side is at most 600 logical pixels.
    static bool fillsScreen(const QSize& screenSize);
    // Where the window goes on a larger screen, given the screen's free area.
    static QRect windowPlacement(const QRect& available);

protected:
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

#endif // PROGRAMWINDOW_H
