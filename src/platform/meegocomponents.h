#ifndef MEEGOCOMPONENTS_H
#define MEEGOCOMPONENTS_H

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QWidget>

class QLabel;
class QPushButton;

// Desktop stand-ins for the phone's "com.meego 1.0" components: a page stack window
// that fills the view with its initial page, pages, the modal query dialog and the
// platform window state that the pages turn into pause and resume.

using QDeclarativeItem = QQuickItem;

class PageOrientation : public QObject
{
    Q_OBJECT
public:
    enum Orientation { Automatic, LockPortrait, LockLandscape, LockPrevious };
    Q_ENUM(Orientation)
};

class WindowState : public QObject
{
    Q_OBJECT
public:
    enum ViewMode { Fullsize, Thumbnail };
    Q_ENUM(ViewMode)
};

class Page : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(int orientationLock READ orientationLock WRITE setOrientationLock NOTIFY orientationLockChanged)
public:
    explicit Page(QQuickItem* parent = nullptr);
    int orientationLock() const { return lock; }
    void setOrientationLock(int value);
signals:
    void orientationLockChanged();
private:
    int lock;
};

class PageStackWindow : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QQuickItem* initialPage READ initialPage WRITE setInitialPage NOTIFY initialPageChanged)
public:
    explicit PageStackWindow(QQuickItem* parent = nullptr);
    QQuickItem* initialPage() const { return page; }
    void setInitialPage(QQuickItem* p);
signals:
    void initialPageChanged();
protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
private:
    void fillWithPage();
    QPointer<QQuickItem> page;
};

// The window state as the phone reports it, following the real top-level widget.
class PlatformWindow : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int viewMode READ viewMode NOTIFY viewModeChanged)
    Q_PROPERTY(bool visible READ isVisible NOTIFY visibleChanged)
    Q_PROPERTY(bool active READ isActive NOTIFY activeChanged)
public:
    explicit PlatformWindow(QWidget* window);
    int viewMode() const { return mode; }
    bool isVisible() const { return shown; }
    bool isActive() const { return activeNow; }
signals:
    void viewModeChanged();
    void visibleChanged();
    void activeChanged();
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
private:
    void refresh();
    QWidget* window;
    int mode;
    bool shown;
    bool activeNow;
};

class QueryDialogPanel;

// A modal two-button question drawn over the whole view.
class QueryDialog : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString titleText READ titleText WRITE setTitleText NOTIFY textsChanged)
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY textsChanged)
    Q_PROPERTY(QString acceptButtonText READ acceptButtonText WRITE setAcceptButtonText NOTIFY textsChanged)
    Q_PROPERTY(QString rejectButtonText READ rejectButtonText WRITE setRejectButtonText NOTIFY textsChanged)
    // Whether Return answers "accept"; otherwise it answers with the reject button, when there is one.
    Q_PROPERTY(bool returnAccepts READ getReturnAccepts WRITE setReturnAccepts NOTIFY textsChanged)
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY openChanged)
public:
    explicit QueryDialog(QQuickItem* parent = nullptr);
    ~QueryDialog() override;

    QString titleText() const { return title; }
    QString message() const { return text; }
    QString acceptButtonText() const { return acceptText; }
    QString rejectButtonText() const { return rejectText; }
    void setTitleText(const QString& v);
    void setMessage(const QString& v);
    void setAcceptButtonText(const QString& v);
    void setRejectButtonText(const QString& v);
    bool getReturnAccepts() const { return returnAccepts; }
    void setReturnAccepts(bool v);
    bool isOpen() const;

    Q_INVOKABLE void open();
    Q_INVOKABLE void close();
    Q_INVOKABLE void accept();
    Q_INVOKABLE void reject();

signals:
    void accepted();
    void rejected();
    void textsChanged();
    void openChanged();

private:
    QString title, text, acceptText, rejectText;
    bool returnAccepts = true;
    QPointer<QWidget> host;
    QPointer<QueryDialogPanel> panel;
};

// Stands where the phone put a graphics proxy: keeps a widget inside the view
// at the geometry its item is given, and owns it.
class ItemWidgetProxy : public QObject
{
    Q_OBJECT
public:
    explicit ItemWidgetProxy(QQuickItem* item);
    ~ItemWidgetProxy() override;
    void setWidget(QWidget* w);
    QWidget* widget() const { return hosted.data(); }
    static bool isHostedBy(QWidget* w, QQuickItem* root);
private:
    QQuickItem* item;
    QPointer<QWidget> hosted;
};

void registerMeegoComponents();

#endif // MEEGOCOMPONENTS_H
