#ifndef TOPNEWSNOTIFIER_H
#define TOPNEWSNOTIFIER_H

#include <QDBusConnection>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QVector>

#include "logic/news/channel.h"

class Article;
class RSSChannel;
class Settings;

// Tells the desktop when a refresh brings new top stories while the window is not active: one
// notification per refresh round, each replacing the last, through org.freedesktop.Notifications
// or, inside a sandbox, the notification portal. Its default action asks for the newest article,
// "Oznacz jako przeczytane" marks the round's articles read. Without a service it logs and goes
// on; nothing here waits for the bus.
class TopNewsNotifier : public QObject
{
    Q_OBJECT
public:
    static constexpr int callTimeout = 2000;
    static const char* const applicationId;

    // The channel whose new articles count, and the settings that switch the notifications on.
    TopNewsNotifier(RSSChannel* channel, Settings* settings, QObject* parent,
                    const QDBusConnection& bus = QDBusConnection::sessionBus());

    void setWindowActive(bool active) { windowActive = active; }
    // Inside a sandbox (a "/.flatpak-info" file) the portal carries the notifications.
    void setSandboxed(bool value) { sandboxed = value; }
    static bool inSandbox();

    // "Tytuł i N innych": the newest title and how many more came with it.
    static QString bodyText(const QString& newestTitle, int others);

signals:
    // The user chose the notification: show this article of the channel.
    void articleRequested(int xx);

private slots:
    void channelUpdated(QVector<Article*> articles);
    void actionInvoked(uint id, const QString& action);
    void portalActionInvoked(const QString& id, const QString& action, const QVariantList& parameter);

private:
    void notify(const QString& title, int others);
    void act(const QString& action);

    QPointer<RSSChannel> channel;
    QPointer<Settings> settings;
    QDBusConnection bus;
    QSet<int> known;
    bool seeded = false;
    bool windowActive = true;
    bool sandboxed;
    bool listening = false;
    uint lastId = 0;
    bool calling = false;
    QPair<QString, int> waiting;
    // The articles of the last notification: its actions act on them.
    QVector<int> round;
};

#endif // TOPNEWSNOTIFIER_H
