#ifndef DECLARATIVEVIEW_H
#define DECLARATIVEVIEW_H

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QQmlEngine;
class QQuickItem;
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

signals:
    void statusChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void sizeRoot();

    QQmlEngine* qmlEngine;
    QPointer<QQuickItem> root;
    PlatformWindow* window;
    ResizeMode resizeMode;
    QUrl url;
    static QDeclarativeView* loading;
};

#endif // DECLARATIVEVIEW_H
