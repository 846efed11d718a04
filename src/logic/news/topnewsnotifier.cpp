#include "logic/news/topnewsnotifier.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>

#include "logic/base/logging.h"
#include "logic/news/article.h"
#include "logic/news/channel.h"
#include "logic/news/settings.h"

const char* const TopNewsNotifier::applicationId = "pl.kurendal.Kurendal";

static const QString notificationsService = QStringLiteral("org.freedesktop.Notifications");
static const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
static const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
static const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
static const QString portalInterface = QStringLiteral("org.freedesktop.portal.Notification");
static const QString portalId = QStringLiteral("top-news");
static const QString openAction = QStringLiteral("default");
static const QString markReadAction = QStringLiteral("mark-read");

TopNewsNotifier::TopNewsNotifier(RSSChannel* source, Settings* preferences, QObject* parent,
                                 const QDBusConnection& connection)
    : QObject(parent), channel(source), settings(preferences), bus(connection), sandboxed(inSandbox())
{
    connect(source, &RSSChannel::articlesUpadted, this, &TopNewsNotifier::channelUpdated);
    // The portal's buttons: an array of dictionaries.
    qDBusRegisterMetaType<QList<QVariantMap>>();
}

bool TopNewsNotifier::inSandbox()
{
    return QFile::exists(QStringLiteral("/.flatpak-info"));
}

QString TopNewsNotifier::bodyText(const QString& newestTitle, int others)
{
    if (others <= 0)
        return newestTitle;
    // Polish counts: 1 inny, 2-4 inne (but 12-14 innych), otherwise innych.
    const int tens = others % 100;
    const int ones = others % 10;
    QString word = QStringLiteral("innych");
    if (others == 1)
        word = QStringLiteral("inny");
    else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        word = QStringLiteral("inne");
    return tr("%1 i %2 %3").arg(newestTitle).arg(others).arg(word);
}

void TopNewsNotifier::channelUpdated(QVector<Article*> articles)
{
    // The first list is what the program already had (its cache): nothing in it is news.
    QVector<const Article*> fresh;
    for (const Article* a : articles) {
        if (!known.contains(a->xx)) {
            known.insert(a->xx);
            if (seeded && !a->articleWasRead)
                fresh.append(a);
        }
    }
    seeded = true;
    if (fresh.isEmpty() || windowActive || !settings || !settings->topNewsNotifications())
        return;
    // The channel's list is newest first.
    round.clear();
    for (const Article* a : fresh)
        round.append(a->xx);
    notify(fresh.first()->title, fresh.size() - 1);
}

void TopNewsNotifier::notify(const QString& title, int others)
{
    // A round that comes while the last is on its way waits for its id, so that it replaces it.
    if (calling) {
        waiting = {title, others};
        return;
    }
    if (!bus.isConnected()) {
        qCInfo(lcSystem) << "no session bus: top news not announced";
        return;
    }
    const QString summary = tr("Najważniejsze");
    const QString body = bodyText(title, others);
    QDBusMessage call;
    if (sandboxed) {
        if (!listening) {
            bus.connect(portalService, portalPath, portalInterface, QStringLiteral("ActionInvoked"), this,
                        SLOT(portalActionInvoked(QString, QString, QVariantList)));
            listening = true;
        }
        QVariantMap button{{QStringLiteral("label"), tr("Oznacz jako przeczytane")},
                           {QStringLiteral("action"), markReadAction}};
        QVariantMap notification{{QStringLiteral("title"), summary},
                                 {QStringLiteral("body"), body},
                                 {QStringLiteral("default-action"), openAction},
                                 {QStringLiteral("buttons"), QVariant::fromValue(QList<QVariantMap>{button})}};
        call = QDBusMessage::createMethodCall(portalService, portalPath, portalInterface, QStringLiteral("AddNotification"));
        call << portalId << notification;
    } else {
        if (!listening) {
            bus.connect(notificationsService, notificationsPath, notificationsService, QStringLiteral("ActionInvoked"),
                        this, SLOT(actionInvoked(uint, QString)));
            listening = true;
        }
        call = QDBusMessage::createMethodCall(notificationsService, notificationsPath, notificationsService,
                                              QStringLiteral("Notify"));
        const QVariantMap hints{{QStringLiteral("desktop-entry"), QString::fromLatin1(applicationId)},
                                {QStringLiteral("category"), QStringLiteral("im.received")}};
        call << QStringLiteral("Kurendal") << lastId << QString::fromLatin1(applicationId) << summary << body
             << QStringList{openAction, tr("Otwórz"), markReadAction, tr("Oznacz jako przeczytane")} << hints
             << qint32(-1);
    }
    calling = true;
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeout), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        calling = false;
        const QList<QVariant> answer = w->reply().arguments();
        if (w->isError())
            qCInfo(lcSystem) << "top news not announced:" << w->error().name();
        else if (!sandboxed && answer.size() == 1 && answer.first().userType() == QMetaType::UInt)
            lastId = answer.first().toUInt();
        if (!waiting.first.isNull()) {
            const auto next = waiting;
            waiting = {};
            notify(next.first, next.second);
        }
    });
}

void TopNewsNotifier::actionInvoked(uint id, const QString& action)
{
    if (id != 0 && id == lastId)
        act(action);
}

void TopNewsNotifier::portalActionInvoked(const QString& id, const QString& action, const QVariantList&)
{
    if (id == portalId)
        act(action);
}

void TopNewsNotifier::act(const QString& action)
{
    if (!channel || round.isEmpty())
        return;
    if (action == openAction) {
        emit articleRequested(round.first());
    } else if (action == markReadAction) {
        for (Article* a : channel->getArticles()) {
            if (round.contains(a->xx) && !a->articleWasRead)
                channel->markArticleAsRead(*a);
        }
        // The unread counts repaint; a new list would restart the channel's refresh timer.
        emit channel->updateChanged();
    }
}
