#ifndef DECLARATIVEVIEW_H
#define DECLARATIVEVIEW_H

#include <QIcon>
#include <QPointer>
#include <QUrl>
#include <QWidget>

class QQmlEngine;
class QQuickItem;
class PlatformWindow;

// Desktop stand-in for the phone's QML view: a widget that fills the program's window, loads a QML
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

    // The program's icon, drawn for every usual size.
    static QIcon applicationIcon();

signals:
    void statusChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;

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
