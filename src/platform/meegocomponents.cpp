#include "platform/meegocomponents.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtQml>

#include "platform/declarativeview.h"

static const char* hostItemProperty = "_kurendal_host_item";

Page::Page(QQuickItem* parent) : QQuickItem(parent), lock(PageOrientation::Automatic) {}

void Page::setOrientationLock(int value)
{
    if (lock == value)
        return;
    lock = value;
    emit orientationLockChanged();
}

PageStackWindow::PageStackWindow(QQuickItem* parent) : QQuickItem(parent) {}

void PageStackWindow::setInitialPage(QQuickItem* p)
{
    page = p;
    fillWithPage();
    emit initialPageChanged();
}

void PageStackWindow::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    fillWithPage();
}

void PageStackWindow::fillWithPage()
{
    if (!page)
        return;
    if (page->parentItem() != this)
        page->setParentItem(this);
    page->setPosition(QPointF(0, 0));
    page->setSize(size());
}

// The state is the top-level window's: the view may sit inside the program's window.
PlatformWindow::PlatformWindow(QWidget* w)
    : QObject(w), window(w->window()), mode(WindowState::Fullsize), shown(false), activeNow(false)
{
    window->installEventFilter(this);
    refresh();
}

bool PlatformWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::ActivationChange:
            refresh();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PlatformWindow::refresh()
{
    const int newMode = window->isMinimized() ? WindowState::Thumbnail : WindowState::Fullsize;
    const bool newShown = window->isVisible() && !window->isMinimized();
    const bool newActive = window->isActiveWindow();
    if (newMode != mode) {
        mode = newMode;
        emit viewModeChanged();
    }
    if (newShown != shown) {
        shown = newShown;
        emit visibleChanged();
    }
    if (newActive != activeNow) {
        activeNow = newActive;
        emit activeChanged();
    }
}

// The dialog itself: a dimmed cover over the view with a centred panel.
class QueryDialogPanel : public QWidget
{
public:
    QueryDialogPanel(QueryDialog* dialog, QWidget* parent)
        : QWidget(parent), dialog(dialog)
    {
        setObjectName(QStringLiteral("queryDialog"));
        setAttribute(Qt::WA_StyledBackground, false);
        QVBoxLayout* outer = new QVBoxLayout(this);
        outer->setContentsMargins(20, 20, 20, 20);
        outer->addStretch();
        QWidget* box = new QWidget(this);
        box->setObjectName(QStringLiteral("queryDialogBox"));
        box->setAttribute(Qt::WA_StyledBackground, true);
        box->setStyleSheet(QStringLiteral(
            "#queryDialogBox { background-color: rgb(30, 30, 30); border: 2px solid rgb(110, 110, 110); border-radius: 12px; }"
            "QLabel { color: white; background: transparent; }"
            "QPushButton { color: white; font-size: 16pt; min-height: 54px; border-radius: 8px;"
            "  background-color: rgb(196, 18, 48); border: none; }"
            "QPushButton:pressed { background-color: rgb(140, 10, 30); }"
            "QPushButton#rejectButton { background-color: rgb(80, 80, 80); }"
            "QPushButton#rejectButton:pressed { background-color: rgb(120, 120, 120); }"));
        QVBoxLayout* inner = new QVBoxLayout(box);
        inner->setContentsMargins(20, 20, 20, 20);
        inner->setSpacing(16);
        titleLabel = new QLabel(box);
        titleLabel->setObjectName(QStringLiteral("titleLabel"));
        titleLabel->setWordWrap(true);
        titleLabel->setAlignment(Qt::AlignCenter);
        QFont tf = titleLabel->font();
        tf.setPointSize(18);
        tf.setBold(true);
        titleLabel->setFont(tf);
        messageLabel = new QLabel(box);
        messageLabel->setObjectName(QStringLiteral("messageLabel"));
        messageLabel->setWordWrap(true);
        messageLabel->setAlignment(Qt::AlignCenter);
        QFont mf = messageLabel->font();
        mf.setPointSize(15);
        messageLabel->setFont(mf);
        acceptButton = new QPushButton(box);
        acceptButton->setObjectName(QStringLiteral("acceptButton"));
        rejectButton = new QPushButton(box);
        rejectButton->setObjectName(QStringLiteral("rejectButton"));
        QHBoxLayout* buttons = new QHBoxLayout;
        buttons->setSpacing(12);
        buttons->addWidget(acceptButton);
        buttons->addWidget(rejectButton);
        inner->addWidget(titleLabel);
        inner->addWidget(messageLabel);
        inner->addLayout(buttons);
        outer->addWidget(box);
        outer->addStretch();
        QObject::connect(acceptButton, &QPushButton::clicked, dialog, &QueryDialog::accept);
        QObject::connect(rejectButton, &QPushButton::clicked, dialog, &QueryDialog::reject);
        if (parent)
            parent->installEventFilter(this);
    }

    void setTexts(const QString& title, const QString& message, const QString& acceptText, const QString& rejectText,
                  bool returnAccepts)
    {
        // Return answers with the focused button: the only one, or the question's safe answer.
        defaultButton = returnAccepts || rejectText.isEmpty() ? acceptButton : rejectButton;
        titleLabel->setText(title);
        titleLabel->setVisible(!title.isEmpty());
        messageLabel->setText(message);
        acceptButton->setText(acceptText);
        acceptButton->setVisible(!acceptText.isEmpty());
        rejectButton->setText(rejectText);
        rejectButton->setVisible(!rejectText.isEmpty());
    }

    void cover()
    {
        if (parentWidget())
            setGeometry(parentWidget()->rect());
        else
            resize(480, 854);
        show();
        raise();
        defaultButton->setFocus();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 0, 0, 160));
    }

    void keyPressEvent(QKeyEvent* e) override
    {
        // Escape takes the way out: "Nie" or "Anuluj", or closes a box that only informs.
        if (e->key() == Qt::Key_Escape)
            rejectButton->isVisible() ? dialog->reject() : dialog->accept();
        else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            defaultButton == acceptButton ? dialog->accept() : dialog->reject();
        else
            QWidget::keyPressEvent(e);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return QWidget::eventFilter(watched, event);
    }

private:
    QueryDialog* dialog;
    QLabel* titleLabel;
    QLabel* messageLabel;
    QPushButton* acceptButton;
    QPushButton* rejectButton;
    QPushButton* defaultButton = nullptr;
};

QueryDialog::QueryDialog(QQuickItem* parent)
    : QQuickItem(parent), host(QDeclarativeView::loadingView())
{
}

QueryDialog::~QueryDialog()
{
    delete panel.data();
}

void QueryDialog::setTitleText(const QString& v) { title = v; emit textsChanged(); }
void QueryDialog::setMessage(const QString& v) { text = v; emit textsChanged(); }
void QueryDialog::setAcceptButtonText(const QString& v) { acceptText = v; emit textsChanged(); }
void QueryDialog::setRejectButtonText(const QString& v) { rejectText = v; emit textsChanged(); }
void QueryDialog::setReturnAccepts(bool v) { returnAccepts = v; emit textsChanged(); }

bool QueryDialog::isOpen() const
{
    return panel && panel->isVisible();
}

void QueryDialog::open()
{
    if (!panel)
        panel = new QueryDialogPanel(this, host.data());
    panel->setTexts(title, text, acceptText, rejectText, returnAccepts);
    panel->cover();
    emit openChanged();
}

void QueryDialog::close()
{
    if (panel && panel->isVisible()) {
        panel->hide();
        emit openChanged();
    }
}

void QueryDialog::accept()
{
    if (isOpen())
        emit accepted();
}

void QueryDialog::reject()
{
    if (isOpen())
        emit rejected();
}

ItemWidgetProxy::ItemWidgetProxy(QQuickItem* parentItem)
    : QObject(parentItem), item(parentItem)
{
}

ItemWidgetProxy::~ItemWidgetProxy()
{
    delete hosted.data();
}

void ItemWidgetProxy::setWidget(QWidget* w)
{
    hosted = w;
    if (!w)
        return;
    w->setProperty(hostItemProperty, QVariant::fromValue(static_cast<QObject*>(item)));
    if (QDeclarativeView* view = QDeclarativeView::loadingView()) {
        w->setParent(view);
        w->show();
        w->lower();
    }
}

bool ItemWidgetProxy::isHostedBy(QWidget* w, QQuickItem* root)
{
    QObject* hostItem = w->property(hostItemProperty).value<QObject*>();
    for (QQuickItem* i = qobject_cast<QQuickItem*>(hostItem); i; i = i->parentItem()) {
        if (i == root)
            return true;
    }
    return false;
}

void registerMeegoComponents()
{
    const char* uri = "com.meego";
    qmlRegisterType<PageStackWindow>(uri, 1, 0, "PageStackWindow");
    qmlRegisterType<Page>(uri, 1, 0, "Page");
    qmlRegisterType<QueryDialog>(uri, 1, 0, "QueryDialog");
    qmlRegisterUncreatableType<PageOrientation>(uri, 1, 0, "PageOrientation", QStringLiteral("enumeration"));
    qmlRegisterUncreatableType<WindowState>(uri, 1, 0, "WindowState", QStringLiteral("enumeration"));
}
