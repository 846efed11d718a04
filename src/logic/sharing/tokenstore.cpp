#include "logic/sharing/tokenstore.h"

#include <QSettings>

#include "logic/base/constants.h"
#include "logic/base/file.h"
#include "logic/base/util.h"

namespace TokenStore {

void save(const QString& tokenKey, const QString& secretKey, const QString& token, const QString& secret)
{
    File::guardSettingsStore();
    QSettings store(organizationName, applicationName);
    store.setValue(tokenKey, Util::encrypt(token));
    store.setValue(secretKey, Util::encrypt(secret));
}

void load(const QString& tokenKey, const QString& secretKey, QString& token, QString& secret)
{
    File::guardSettingsStore();
    QSettings store(organizationName, applicationName);
    token = Util::decrypt(store.value(tokenKey, QByteArray()).toByteArray());
    secret = Util::decrypt(store.value(secretKey, QByteArray()).toByteArray());
}

bool isLoggedIn(const QString& tokenKey, const QString& secretKey)
{
    QString token, secret;
    load(tokenKey, secretKey, token, secret);
    return !token.isEmpty() && !secret.isEmpty();
}

QString replyText(const QByteArray& response)
{
    QByteArray bytes = response;
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromLatin1(bytes).trimmed();
}

} // namespace TokenStore
