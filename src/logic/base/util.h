#ifndef UTIL_H
#define UTIL_H

#include <QObject>
#include <QStringList>

class QFontMetrics;
typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

// Small platform services: browser, composer, line breaking and the token cipher.
class Util : public QObject
{
    Q_OBJECT
public:
    // False when no browser takes the address.
    static bool openUrl(QString _url, bool closeApp);
    static bool isAnyEmailAccount();
    static bool sendEmail(QString _address, QString _subject, QString _text);
    static bool sendSMS(QString _phoneNo, QString _text);
    static QString getVersion();
    static bool isSymbianV3();
    static QStringList splitText(const QString& text, const QFontMetrics& fm, int width, int maxLines);
    static bool initCipher();
    static QByteArray encrypt(const QString& text);
    static QString decrypt(const QByteArray& text);

private:
    static EVP_CIPHER_CTX* en;
    static EVP_CIPHER_CTX* de;
    static bool cipherInitialized;
};

#endif // UTIL_H
