#include "screens/shell/mainwidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QAbstractItemView>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QPropertyAnimation>
#include <QResizeEvent>
#include <QShortcut>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "logic/analytics/flurryagent.h"
#include "logic/ads/bannerinfo.h"
#include "logic/news/articlesearch.h"
#include "logic/news/refreshscheduler.h"
#include "logic/news/topnewsnotifier.h"
#include "logic/news/channel.h"
#include "logic/news/briefcasestore.h"
#include "screens/shell/basewidget.h"
#include "screens/shell/messagebox.h"
#include "logic/news/settings.h"
#include "screens/settings/settingsview.h"
#include "screens/article/articlewidget.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/categories/categorylistwidget.h"
#include "screens/gallery/gallery.h"
#include "screens/search/searchwidget.h"
#include "screens/gallery/pictureflow.h"
#include "screens/briefcase/briefcasewidget.h"
#include "logic/net/reachability.h"
#include "logic/net/systemwatch.h"

MainWidget* MainWidget::instance = nullptr;
static MainWidget::OrientationHook orientationHook = nullptr;
static MainWidget::CloseHook closeHook = nullptr;

static void setScreenOrientation(int orientation)
{
    if (orientationHook)
        orientationHook(orientation);
}

static const int slideDuration = 250;

MainWidget::MainWidget(QApplication*, QWidget* parent)
    : QWidget(parent), channels(nullptr), saved(nullptr), banner(nullptr), reachability(nullptr),
      flurryAgent(nullptr), stack(nullptr), settings(nullptr), scheduler(nullptr), search(nullptr), notifier(nullptr),
      currentOrientation(OrientationPortrait), isRunningApp(false)
{
    settings = new Settings(this);
    connect(settings, &Settings::activeCategoriesChanged, this, &MainWidget::activeChannelsChanged);
    Theme::desktop();
    Theme::setChoice(settings->appearance());
    TextScale::set(settings->textScale());
    connect(settings, &Settings::preferencesChanged, this, [this] {
        Theme::setChoice(settings->appearance());
        TextScale::set(settings->textScale());
    });
    qApp->installEventFilter(this);

    flurryAgent = new FlurryAgent(this);

    reachability = new Reachability(this);
    connect(reachability, &Reachability::networkSessionCancelled, this, &MainWidget::networkEnded);
    connect(reachability, &Reachability::networkSessionOpened, this, &MainWidget::networkStarted);

    stack = new QStack<BaseWidget*>();

    banner = BannerInfo::getSingleton();
    banner->setParent(this);

    saved = new SavedArticles(nullptr);
    channels = new QVector<RSSChannel*>();
    for (int type = RSSChannel::Najwazniejsze; type <= RSSChannel::Fotoplan; ++type)
        channels->append(new RSSChannel(RSSChannel::ChannelType(type), nullptr));
    scheduler = new RefreshScheduler(*channels, this);
    // The link's and the battery's state, read from the system's services when they answer.
    NetworkManagerWatch* link = new NetworkManagerWatch(this);
    connect(link, &NetworkManagerWatch::meteredChanged, scheduler, &RefreshScheduler::setLinkMetered);
    PowerProfileWatch* profile = new PowerProfileWatch(this);
    connect(profile, &PowerProfileWatch::powerSaverChanged, scheduler, &RefreshScheduler::setPowerSaverProfile);
    UPowerWatch* battery = new UPowerWatch(this);
    connect(battery, &UPowerWatch::batteryChanged, scheduler, &RefreshScheduler::setBattery);
    link->start();
    profile->start();
    battery->start();

    reachability->start();

    search = new ArticleSearch(this);
    for (RSSChannel* channel : *channels)
        search->follow(channel);
    search->follow(saved);
    // New top stories while the window is away, if the user asked for them.
    notifier = new TopNewsNotifier(channels->first(), settings, this);
    connect(notifier, &TopNewsNotifier::articleRequested, this, &MainWidget::topNewsRequested);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &MainWidget::updateWindowActive);
    updateWindowActive();

    QShortcut* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, &MainWidget::searchSelected);

    CategoryListWidget* categoryList = new CategoryListWidget(channels, this);
    connect(categoryList, &CategoryListWidget::channelSelected, this, &MainWidget::channelSelected);
    connect(categoryList, &CategoryListWidget::teczkaSelected, this, &MainWidget::teczkaSelected);
    connect(categoryList, &CategoryListWidget::settingsSelected, this, &MainWidget::settingsSelected);
    categoryList->setActiveChannels(settings);
    scheduler->follow(settings);
    connect(this, &MainWidget::appliactionActiveChanged, scheduler, &RefreshScheduler::applicationStateChanged);
    connect(this, &MainWidget::activeChannelsChanged, categoryList, &CategoryListWidget::activeChannelsChanged);
    pushWidget(categoryList, true);

    for (RSSChannel* channel : *channels)
        channel->updateArticles(true);

    ArticlesListWidget* list = new ArticlesListWidget(channels->first(), this);
    connect(list, &ArticlesListWidget::articleSelected, this, &MainWidget::articleSelected);
    connect(list, &ArticlesListWidget::teczkaSelected, this, &MainWidget::teczkaSelected);
    pushWidget(list, false);

    updateGeometry();
    isRunningApp = false;
    onResumeApp();
    instance = this;
}

MainWidget::~MainWidget()
{
    flurryAgent->onDestroyApp();
    banner = nullptr;
    BannerInfo::releaseSingleton();
    delete saved;
    saved = nullptr;
    while (!channels->isEmpty())
        delete channels->takeFirst();
    delete channels;
    channels = nullptr;
    delete stack;
    stack = nullptr;
    if (instance == this)
        instance = nullptr;
}

MainWidget* MainWidget::getInstance()
{
    return instance;
}

void MainWidget::closeApplication()
{
    if (closeHook)
        closeHook();
    else
        QCoreApplication::exit(0);
}

void MainWidget::setPageHooks(OrientationHook orientation, CloseHook close)
{
    orientationHook = orientation;
    closeHook = close;
}

void MainWidget::setGeometry(int x, int y, int w, int h)
{
    QWidget::setGeometry(QRect(x, y, w, h));
}

void MainWidget::resize(int w, int h)
{
    QWidget::resize(w, h);
}

void MainWidget::setOrientation(InterfaceOrientation orientation)
{
    setScreenOrientation(orientation);
}

void MainWidget::connectPauseResumeSignals(QObject* root)
{
    connect(root, SIGNAL(pauseApp()), this, SLOT(onPauseApp()));
    connect(root, SIGNAL(resumeApp()), this, SLOT(onResumeApp()));
}

void MainWidget::articleSelected(const Article& article)
{
    pushWidget(new ArticleWidget(article, this));
}

void MainWidget::channelSelected(RSSChannel* channel)
{
    if (channel->getType() == RSSChannel::Fotoplan) {
        pushWidget(new Gallery(this));
        return;
    }
    ArticlesListWidget* list = new ArticlesListWidget(channel, this);
    connect(list, &ArticlesListWidget::articleSelected, this, &MainWidget::articleSelected);
    connect(list, &ArticlesListWidget::teczkaSelected, this, &MainWidget::teczkaSelected);
    pushWidget(list);
}

void MainWidget::teczkaSelected()
{
    TeczkaWidget* teczka = new TeczkaWidget(saved, this);
    connect(teczka, &TeczkaWidget::articleSelected, this, &MainWidget::articleSelected);
    pushWidget(teczka);
}

void MainWidget::updateWindowActive()
{
    notifier->setWindowActive(isRunningApp && QGuiApplication::applicationState() == Qt::ApplicationActive);
}

void MainWidget::topNewsRequested(int xx)
{
    RSSChannel* top = channels->first();
    for (Article* article : top->getArticles()) {
        if (article->xx != xx)
            continue;
        QWidget* shown = window();
        if (shown->isMinimized())
            shown->showNormal();
        shown->raise();
        shown->activateWindow();
        top->markArticleAsRead(*article);
        articleSelected(*article);
        return;
    }
}

void MainWidget::searchSelected()
{
    // One search screen at a time: Ctrl+F on it goes back to its field.
    if (SearchWidget* open = qobject_cast<SearchWidget*>(stack->isEmpty() ? nullptr : stack->top())) {
        open->showFinished();
        return;
    }
    SearchWidget* screen = new SearchWidget(search, this);
    connect(screen, &SearchWidget::articleSelected, this, &MainWidget::articleSelected);
    pushWidget(screen);
}

void MainWidget::settingsSelected()
{
    pushWidget(new SettingsView(settings, this));
}

bool MainWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    QWidget* target = static_cast<QWidget*>(watched);
    // While a box asks, the keys are its own (Escape and Return answer it), whatever held the focus
    // when it opened: none reaches the screen under it.
    // A key the box leaves stops at its parents.
    static bool toBox = false;
    if (target->window() == window()) {
        const QList<QWidget*> boxes = window()->findChildren<QWidget*>(QStringLiteral("queryDialog"));
        for (QWidget* box : boxes) {
            if (!box->isVisible())
                continue;
            if (target == box || box->isAncestorOf(target))
                return false;
            if (!toBox) {
                toBox = true;
                QApplication::sendEvent(box, event);
                toBox = false;
            }
            return true;
        }
    }
    // Keys of a text field are the field's; keys elsewhere than this page are not ours. With no
    // widget focused (a window just shown or clicked on its bars), the window itself takes them.
    if (!isVisible() || !(target == this || isAncestorOf(target) || target == window()))
        return false;
    // A key a field did not take goes on to the field's parents: the focus decides, not the receiver.
    for (QWidget* holder : {target, QApplication::focusWidget()}) {
        if (qobject_cast<QLineEdit*>(holder) || qobject_cast<QPlainTextEdit*>(holder))
            return false;
        if (const QTextEdit* edit = qobject_cast<QTextEdit*>(holder)) {
            if (!edit->isReadOnly())
                return false;
        }
    }
    return commandKey(static_cast<QKeyEvent*>(event));
}

bool MainWidget::clickOnTop(std::initializer_list<const char*> names)
{
    if (stack->isEmpty())
        return false;
    for (const char* name : names) {
        const QList<QPushButton*> buttons = stack->top()->findChildren<QPushButton*>(QLatin1String(name));
        for (QPushButton* button : buttons) {
            if (button->isVisible() && button->isEnabled()) {
                button->click();
                return true;
            }
        }
    }
    return false;
}

bool MainWidget::commandKey(const QKeyEvent* key)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int code = key->key();
    const bool ctrl = mods == Qt::ControlModifier;
    const bool plain = mods == Qt::NoModifier;
    const bool atRoot = stack->size() <= 1;
    if ((plain && (code == Qt::Key_Escape || code == Qt::Key_Backspace))
        || (mods == Qt::AltModifier && code == Qt::Key_Left)) {
        if (!atRoot) {
            if (!clickOnTop({"backButton", "buttonBack"}))
                popWidget();
        } else if (code == Qt::Key_Escape) {
            exitClicked();
        }
        return true;
    }
    if ((ctrl && code == Qt::Key_Q)) {
        exitClicked();
        return true;
    }
    if ((ctrl && code == Qt::Key_R) || (plain && code == Qt::Key_F5))
        return clickOnTop({"refreshButton", "buttonRefresh"});
    if (ctrl && code == Qt::Key_B) {
        if (!qobject_cast<TeczkaWidget*>(stack->top()))
            teczkaSelected();
        return true;
    }
    if (ctrl && code == Qt::Key_D)
        return clickOnTop({"teczkaAddButton", "teczkaRemoveButton"});
    const bool moving = code == Qt::Key_Up || code == Qt::Key_Down || code == Qt::Key_PageUp
                        || code == Qt::Key_PageDown || code == Qt::Key_Home || code == Qt::Key_End || code == Qt::Key_Space;
    QWidget* focus = QApplication::focusWidget();
    // Space presses a focused button or box.
    if (code == Qt::Key_Space && qobject_cast<QAbstractButton*>(focus))
        return false;
    if (plain && moving && !forwarding && !qobject_cast<QAbstractItemView*>(focus)) {
        // The list of the screen takes the keys; a column scrolls by lines and pages.
        if (QListView* list = stack->top()->findChild<QListView*>(QStringLiteral("listView"))) {
            list->setFocus();
            QKeyEvent copy(key->type(), code, key->modifiers(), key->text());
            forwarding = true;
            QApplication::sendEvent(list, &copy);
            forwarding = false;
            return true;
        }
        if (QAbstractScrollArea* area = stack->top()->findChild<QAbstractScrollArea*>(QStringLiteral("scrollArea"))) {
            QScrollBar* bar = area->verticalScrollBar();
            const bool back = code == Qt::Key_Up || code == Qt::Key_PageUp
                              || (code == Qt::Key_Space && (key->modifiers() & Qt::ShiftModifier));
            const int step = (code == Qt::Key_Up || code == Qt::Key_Down) ? 40 : qMax(40, area->viewport()->height() - 40);
            if (code == Qt::Key_Home)
                bar->setValue(bar->minimum());
            else if (code == Qt::Key_End)
                bar->setValue(bar->maximum());
            else
                bar->setValue(bar->value() + (back ? -step : step));
            return true;
        }
        return false;
    }
    if (plain && (code == Qt::Key_Left || code == Qt::Key_Right)) {
        const bool next = code == Qt::Key_Right;
        if (PictureFlow* flow = stack->top()->findChild<PictureFlow*>()) {
            next ? flow->showNext() : flow->showPrevious();
            return true;
        }
        // The article's photos page by their dots.
        QWidget* dots = stack->top()->findChild<QWidget*>(QStringLiteral("bottomFrame"));
        if (!dots || !dots->isVisible())
            return false;
        const QList<QPushButton*> pages = dots->findChildren<QPushButton*>();
        for (int i = 0; i < pages.size(); ++i) {
            if (pages.at(i)->isChecked()) {
                const int to = i + (next ? 1 : -1);
                if (to >= 0 && to < pages.size())
                    pages.at(to)->click();
                break;
            }
        }
        return true;
    }
    if (plain && code == Qt::Key_F11) {
        QWidget* frame = window();
        frame->setWindowState(frame->windowState() ^ Qt::WindowFullScreen);
        return true;
    }
    if ((plain && code == Qt::Key_F1) || (ctrl && code == Qt::Key_Question)) {
        MessageBox::showInformation(
            tr("Esc, Backspace, Alt+←: wstecz (w menu głównym Esc zamyka aplikację)\n"
               "↑ ↓, PgUp, PgDn, spacja, Home, End: przewijanie\n"
               "Enter: otwórz, ← →: poprzednie i następne zdjęcie\n"
               "Tab, Shift+Tab: następny i poprzedni przycisk\n"
               "Ctrl+R, F5: odśwież\n"
               "Ctrl+B: teczka, Ctrl+D: dodaj artykuł do teczki lub usuń go z niej\n"
               "Ctrl+= i Ctrl+-: większy i mniejszy tekst, Ctrl+0: tekst zwykłej wielkości\n"
               "F11: pełny ekran, Ctrl+Q: zamknij aplikację"),
            tr("Skróty klawiszowe"));
        return true;
    }
    if (ctrl && (code == Qt::Key_Equal || code == Qt::Key_Plus || code == Qt::Key_Minus || code == Qt::Key_0)) {
        const int next = code == Qt::Key_0 ? Settings::defaultTextScale
                                           : TextScale::step(settings->textScale(), code == Qt::Key_Minus ? -1 : 1);
        settings->setTextScale(next);
        return true;
    }
    return false;
}

void MainWidget::exitClicked()
{
    MessageBox::showQuestion(tr("Czy na pewno chcesz zamknąć aplikację?"), QString(), this);
}

void MainWidget::onMsgBoxAccepted()
{
    closeApplication();
}

void MainWidget::onMsgBoxRejected()
{
}

void MainWidget::pushWidget(BaseWidget* newWidget)
{
    pushWidget(newWidget, true);
}

void MainWidget::pushWidget(BaseWidget* newWidget, bool animated)
{
    newWidget->setParent(this);
    newWidget->setVisible(true);
    connect(newWidget, SIGNAL(popToRoot()), this, SLOT(popToRoot()));
    connect(newWidget, SIGNAL(pushWidget(BaseWidget*)), this, SLOT(pushWidget(BaseWidget*)));
    connect(newWidget, SIGNAL(exitClicked()), this, SLOT(exitClicked()));
    connect(newWidget, SIGNAL(backClicked()), this, SLOT(popWidget()));
    connect(newWidget, SIGNAL(searchRequested()), this, SLOT(searchSelected()));

    if (animated && !stack->isEmpty() && (newWidget->getSupportedOrientation() & currentOrientation) > 0) {
        newWidget->setGeometry(rect());
        BaseWidget* old = stack->top();
        stack->push(newWidget);
        QPropertyAnimation* animation = new QPropertyAnimation(newWidget, "pos", this);
        animation->setStartValue(QPoint(width(), 0));
        animation->setEndValue(QPoint(0, 0));
        animation->setDuration(slideDuration);
        animation->setEasingCurve(QEasingCurve::OutCubic);
        // Input is back before the new screen is told it shows, so that it can take the focus.
        connect(animation, SIGNAL(finished()), this, SLOT(animtationFinished()));
        connect(animation, SIGNAL(finished()), newWidget, SLOT(showFinished()));
        connect(animation, SIGNAL(finished()), old, SLOT(hideFinished()));
        setEnabled(false);
        newWidget->move(width(), 0);
        newWidget->raise();
        animation->start(QAbstractAnimation::DeleteWhenStopped);
        return;
    }

    if (!stack->isEmpty())
        stack->top()->hideFinished();
    stack->push(newWidget);
    newWidget->showFinished();
    updateOrientation(-1);
    newWidget->setGeometry(rect());
}

void MainWidget::popWidget()
{
    popWidget(true);
}

void MainWidget::popWidget(bool animated)
{
    const int n = stack->size();
    if (animated && n >= 2 && (stack->at(n - 2)->getSupportedOrientation() & currentOrientation) > 0) {
        BaseWidget* top = stack->pop();
        slideOut(top, stack->top());
        return;
    }
    // Whatever was asked, a screen that cannot slide in here comes back without animation.
    if (n > 1) {
        BaseWidget* top = stack->pop();
        top->setVisible(false);
        top->hideFinished();
        BaseWidget* revealed = stack->top();
        revealed->setVisible(true);
        revealed->update();
        revealed->showFinished();
        revealed->setGeometry(rect());
        animtationFinished();
        top->deleteLater();
    }
}

void MainWidget::popToRoot()
{
    popToRoot(true);
}

void MainWidget::popToRoot(bool animated)
{
    if (!animated || stack->size() < 2)
        return;
    BaseWidget* top = stack->pop();
    BaseWidget* root = stack->first();
    if ((root->getSupportedOrientation() & currentOrientation) < 1) {
        top->hideFinished();
        top->hide();
        while (stack->size() > 1) {
            BaseWidget* w = stack->pop();
            w->hide();
            w->deleteLater();
        }
        root->setGeometry(rect());
        root->setVisible(true);
        root->update();
        root->showFinished();
        animtationFinished();
        top->deleteLater();
        return;
    }
    while (stack->size() > 1) {
        BaseWidget* w = stack->pop();
        w->hide();
        w->deleteLater();
    }
    slideOut(top, root);
}

// The top screen slides out to the right over the revealed one, then is deleted.
void MainWidget::slideOut(BaseWidget* top, BaseWidget* revealed)
{
    QPropertyAnimation* animation = new QPropertyAnimation(top, "pos", this);
    animation->setStartValue(top->pos());
    animation->setEndValue(QPoint(top->width(), top->pos().y()));
    revealed->setVisible(true);
    revealed->setGeometry(rect());
    connect(animation, SIGNAL(finished()), top, SLOT(hideFinished()));
    connect(animation, SIGNAL(finished()), this, SLOT(hideFinished()));
    connect(animation, SIGNAL(finished()), this, SLOT(animtationFinished()));
    connect(animation, SIGNAL(finished()), revealed, SLOT(showFinished()));
    animation->setDuration(slideDuration);
    animation->setEasingCurve(QEasingCurve::InCubic);
    top->raise();
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    revealed->move(0, 0);
    setEnabled(false);
    revealed->setVisible(true);
}

void MainWidget::hideFinished()
{
    if (!stack->isEmpty()) {
        stack->top()->setGeometry(rect());
        stack->top()->setVisible(true);
    }
    QPropertyAnimation* animation = qobject_cast<QPropertyAnimation*>(sender());
    if (animation) {
        if (QWidget* target = qobject_cast<QWidget*>(animation->targetObject())) {
            target->hide();
            target->deleteLater();
        }
    }
}

void MainWidget::animtationFinished()
{
    setEnabled(true);
    updateOrientation(-1);
}

void MainWidget::networkStarted()
{
    if (banner)
        banner->startUpdate();
    scheduler->refreshAllAutomatic();
    if (flurryAgent)
        flurryAgent->sendReport(10000);
}

void MainWidget::networkEnded()
{
}

void MainWidget::updateOrientation()
{
    updateOrientation(-1);
}

void MainWidget::updateOrientation(int indexToUpdate)
{
    BaseWidget* screen = nullptr;
    if (indexToUpdate < 0 && !stack->isEmpty())
        screen = stack->top();
    else if (indexToUpdate >= 0 && indexToUpdate < stack->size())
        screen = stack->at(indexToUpdate);
    if (screen)
        setScreenOrientation(screen->getSupportedOrientation());
}

void MainWidget::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    updateGeometry();
    if (!stack->isEmpty()) {
        stack->top()->setGeometry(rect());
        stack->top()->updateGeometry();
    }
    currentOrientation = e->size().height() < e->size().width() ? OrientationLandscape : OrientationPortrait;
}

void MainWidget::onResumeApp()
{
    if (isRunningApp)
        return;
    isRunningApp = true;
    if (notifier)
        updateWindowActive();
    emit appliactionActiveChanged(true);
    flurryAgent->onStartupApp();
}

void MainWidget::onPauseApp()
{
    if (!isRunningApp)
        return;
    isRunningApp = false;
    updateWindowActive();
    emit appliactionActiveChanged(false);
    flurryAgent->onPauseApp();
}
