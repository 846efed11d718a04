#ifndef DECLARATIVEVIEW_H
#define DECLARATIVEVIEW_H

#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QWidget>

class QQmlEngine;
class QQuickItem;
class QScreen;
class PlatformWindow;

// Desktop stand-in for the phone's QML view: a top-level widget that loads a QML
// document, sizes its root item to itself and shows the widgets the items host.
// The QML items themselves are never painted; only hosted widgets and dialogs are.
class QDeclarativeView : public QWidget
{
    Q_OBJECT
public:
    enum ResizeMode { SizeViewToRootObject, SizeRootObjectToView };

    explicit QDeclarativeView(QWidget* parent = nullptr);
    ~QDeclarativeView() override;

    void setResizeMode(ResizeMode mode);
    void setSource(const QUrl& url);
    QUrl source() const;
    QQuickItem* rootObject() const;
    QQmlEngine* engine() const;
    PlatformWindow* platformWindow() const;

    // The view whose document is being created right now (items attach their widgets to it).
    static QDeclarativeView* loadingView();

    // How the view is shown: full screen where nothing manages windows on a phone's screen,
    // maximised by the shell and without a toolkit title bar on a Wayland phone, else as an
    // upright phone-sized window in the middle of a larger screen.
    enum WindowMode { FullScreen, ShellMaximised, PhoneSized };
    static WindowMode windowMode(const QString& platform, const QSize& screenSize);
    void showOnScreen(QScreen* screen);
    // A phone's screen: its short side is at most 600 logical pixels.
    static bool fillsScreen(const QSize& screenSize);
    // Where the window goes on a larger screen, given the screen's free area.
    static QRect windowPlacement(const QRect& available);
    // The program's icon, drawn for every usual size.
    static QIcon applicationIcon();

signals:
    void statusChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void sizeRoot();

    mutable QQmlEngine* qmlEngine;
    QPointer<QQuickItem> root;
    PlatformWindow* window;
    ResizeMode resizeMode;
    QUrl url;
    static QDeclarativeView* loading;
};

#endif // DECLARATIVEVIEW_H
