#ifndef TOKENSTORE_H
#define TOKENSTORE_H

#include <QString>

// An access token pair kept encrypted in the application's QSettings.
namespace TokenStore {

void save(const QString& tokenKey, const QString& secretKey, const QString& token, const QString& secret);
void load(const QString& tokenKey, const QString& secretKey, QString& token, QString& secret);
bool isLoggedIn(const QString& tokenKey, const QString& secretKey);

// The body of a service's reply as the clients judge it: trimmed Latin-1 up to the first NUL.
QString replyText(const QByteArray& response);

} // namespace TokenStore

#endif // TOKENSTORE_H
