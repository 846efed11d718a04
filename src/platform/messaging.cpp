#include "platform/messaging.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace {

// A desktop "has an e-mail account" when something is registered to compose mailto: links.
bool desktopHasMailComposer()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
        return false;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(2000))
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QList<Messaging::Account> Messaging::accounts()
{
    QList<Account> list;
    if (desktopHasMailComposer())
        list.append({QStringLiteral("E-mail"), Email});
    list.append({QStringLiteral("SMS"), Sms});
    return list;
}

bool Messaging::compose(const Draft& draft)
{
    QUrl url;
    if (draft.type == Email) {
        url = QUrl(QStringLiteral("mailto:?subject=%1&body=%2").arg(encoded(draft.subject), encoded(draft.body)),
                   QUrl::StrictMode);
    } else {
        url = QUrl(QStringLiteral("sms:%1?body=%2").arg(encoded(draft.phoneNumber), encoded(draft.body)),
                   QUrl::StrictMode);
    }
    return url.isValid() && QDesktopServices::openUrl(url);
}
