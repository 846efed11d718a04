#include "logic/base/util.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QUrl>
#include <openssl/evp.h>

#include "logic/base/userprompts.h"

EVP_CIPHER_CTX* Util::en = nullptr;
EVP_CIPHER_CTX* Util::de = nullptr;
bool Util::cipherInitialized = false;

namespace {
// Tokens stored by one build are readable only by a build with the same two values.
const unsigned char cipherSalt[8] = {0x4b, 0x75, 0x72, 0x65, 0x6e, 0x64, 0x61, 0x6c};
const unsigned char cipherPassPhrase[16] = {'T', 'a', 'r', 'v', 'o', '-', 'K', 'u',
                                            'r', 'e', 'n', 'd', 'a', 'l', '-', '1'};
const int cipherRounds = 5;
// The derived key and vector; every call restarts from them, so equal texts encrypt alike.
unsigned char cipherKey[32];
unsigned char cipherIv[16];
}

bool Util::openUrl(QString _url, bool closeApp)
{
    const bool opened = QDesktopServices::openUrl(QUrl(_url));
    if (closeApp)
        UserPrompts::quit();
    return opened;
}

bool Util::isAnyEmailAccount()
{
    return UserPrompts::emailAccount();
}

bool Util::sendEmail(QString, QString _subject, QString _text)
{
    return UserPrompts::email(_subject, _text);
}

bool Util::sendSMS(QString _phoneNo, QString _text)
{
    return UserPrompts::sms(_phoneNo, _text);
}

QString Util::getVersion()
{
    return QStringLiteral("1.0.0");
}

bool Util::isSymbianV3()
{
    return true;
}

QStringList Util::splitText(const QString& text, const QFontMetrics& fm, int width, int maxLines)
{
    if (fm.horizontalAdvance(text) < width)
        return QStringList() << text;
    QString rest = text;
    const int spaceWidth = fm.horizontalAdvance(QLatin1Char(' '));
    QStringList lines;
    for (int i = 0; i < maxLines && !rest.isEmpty(); ++i) {
        if (i == maxLines - 1) {
            lines.append(fm.elidedText(rest, Qt::ElideRight, width, 0));
            break;
        }
        if (fm.horizontalAdvance(rest) < width) {
            lines.append(rest);
            break;
        }
        const QStringList words = rest.split(QLatin1Char(' '));
        QString line;
        int lineWidth = 0;
        for (const QString& word : words) {
            const int w = fm.horizontalAdvance(word);
            if (lineWidth + w >= width)
                break;
            line += word + QLatin1Char(' ');
            lineWidth += w + spaceWidth;
        }
        lines.append(line);
        rest.remove(0, line.length());
    }
    return lines;
}

bool Util::initCipher()
{
    if (cipherInitialized)
        return true;
    const int keyLength = EVP_BytesToKey(EVP_aes_256_cbc(), EVP_sha1(), cipherSalt, cipherPassPhrase,
                                         sizeof(cipherPassPhrase), cipherRounds, cipherKey, cipherIv);
    if (keyLength != 32)
        return false;
    if (!en)
        en = EVP_CIPHER_CTX_new();
    if (!de)
        de = EVP_CIPHER_CTX_new();
    if (!en || !de)
        return false;
    if (EVP_EncryptInit_ex(en, EVP_aes_256_cbc(), nullptr, cipherKey, cipherIv) != 1
        || EVP_DecryptInit_ex(de, EVP_aes_256_cbc(), nullptr, cipherKey, cipherIv) != 1)
        return false;
    cipherInitialized = true;
    return cipherInitialized;
}

QByteArray Util::encrypt(const QString& text)
{
    if (!initCipher())
        return QByteArray("");
    if (text.isEmpty())
        return QByteArray();
    QByteArray plain = text.toUtf8();
    plain.append('\0');
    QByteArray out(plain.size() + EVP_MAX_BLOCK_LENGTH, Qt::Uninitialized);
    int written = 0;
    int finalWritten = 0;
    unsigned char* dst = reinterpret_cast<unsigned char*>(out.data());
    if (EVP_EncryptInit_ex(en, nullptr, nullptr, cipherKey, cipherIv) != 1
        || EVP_EncryptUpdate(en, dst, &written, reinterpret_cast<const unsigned char*>(plain.constData()),
                             plain.size()) != 1
        || EVP_EncryptFinal_ex(en, dst + written, &finalWritten) != 1)
        return QByteArray("");
    out.truncate(written + finalWritten);
    return out;
}

QString Util::decrypt(const QByteArray& text)
{
    if (!initCipher())
        return QString("");
    if (text.isEmpty())
        return QString();
    // One block more than the input: the update step may hold back a block until the final one.
    QByteArray out(text.size() + EVP_MAX_BLOCK_LENGTH, '\0');
    unsigned char* dst = reinterpret_cast<unsigned char*>(out.data());
    int written = 0;
    int finalWritten = 0;
    EVP_DecryptInit_ex(de, nullptr, nullptr, cipherKey, cipherIv);
    if (EVP_DecryptUpdate(de, dst, &written, reinterpret_cast<const unsigned char*>(text.constData()),
                          text.size()) == 1) {
        if (EVP_DecryptFinal_ex(de, dst + written, &finalWritten) == 1)
            written += finalWritten;
    } else {
        written = 0;
    }
    out.truncate(written);
    const int nul = out.indexOf('\0');
    if (nul >= 0)
        out.truncate(nul);
    return QString::fromLatin1(out);
}
