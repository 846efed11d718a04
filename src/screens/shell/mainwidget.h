#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include <QStack>
#include <QVector>
#include <QWidget>
#include <initializer_list>

class QKeyEvent;

#include "screens/shell/msgboxlistener.h"

class QApplication;
class Article;
class TopNewsNotifier;
class ArticleSearch;
class BannerInfo;
class BaseWidget;
class FlurryAgent;
class RSSChannel;
class Reachability;
class RefreshScheduler;
class SavedArticles;
class Settings;

// The application page's root widget: owns the data layer and the stack of screens.
class MainWidget : public QWidget, public MsgBoxListener
{
    Q_OBJECT
public:
    enum InterfaceOrientation {
        OrientationPortrait = 1,
        OrientationLandscape = 2,
        OrientationFree = 3
    };

    explicit MainWidget(QApplication* app = nullptr, QWidget* parent = nullptr);
    ~MainWidget() override;

    static MainWidget* getInstance();
    static void closeApplication();

    // The page hosting the controller turns the window and ends the program; the shell
    // bridge sets these before the page loads. Without them the program only leaves its loop.
    using OrientationHook = void (*)(int orientation);
    using CloseHook = void (*)();
    static void setPageHooks(OrientationHook orientation, CloseHook close);

    void setGeometry(int x, int y, int w, int h);
    void resize(int w, int h);
    void setOrientation(InterfaceOrientation orientation);
    void connectPauseResumeSignals(QObject* root);

    void onMsgBoxAccepted() override;
    void onMsgBoxRejected() override;

signals:
    void appliactionActiveChanged(bool active);
    void activeChannelsChanged(Settings* settings);

public slots:
    void articleSelected(const Article& article);
    void channelSelected(RSSChannel* channel);
    void exitClicked();
    void teczkaSelected();
    void settingsSelected();
    void searchSelected();
    void topNewsRequested(int xx);
    void updateWindowActive();
    void pushWidget(BaseWidget* newWidget, bool animated);
    void pushWidget(BaseWidget* newWidget);
    void popWidget(bool animated);
    void popWidget();
    void popToRoot(bool animated);
    void popToRoot();

private slots:
    void hideFinished();
    void animtationFinished();
    void networkStarted();
    void networkEnded();
    void updateOrientation(int indexToUpdate);
    void updateOrientation();
    void onPauseApp();
    void onResumeApp();

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void slideOut(BaseWidget* top, BaseWidget* revealed);
    // A command key of the whole program; false when the key is not one or means nothing here.
    bool commandKey(const QKeyEvent* key);
    bool clickOnTop(std::initializer_list<const char*> names);

    QVector<RSSChannel*>* channels;
    SavedArticles* saved;
    BannerInfo* banner;
    Reachability* reachability;
    FlurryAgent* flurryAgent;
    QStack<BaseWidget*>* stack;
    Settings* settings;
    RefreshScheduler* scheduler;
    ArticleSearch* search;
    TopNewsNotifier* notifier;
    InterfaceOrientation currentOrientation;
    bool isRunningApp;
    bool forwarding = false;

    static MainWidget* instance;
};

#endif // MAINWIDGET_H
