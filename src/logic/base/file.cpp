#include "logic/base/file.h"
#include "logic/base/constants.h"
#include "logic/base/logging.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int maxStringBytes = 0xFFFF;

// The UTF-8 form of s, cut at a character boundary so that its length fits the 16-bit prefix.
QByteArray utf8ForPrefix(const QString& s)
{
    QByteArray bytes = s.toUtf8();
    if (bytes.size() <= maxStringBytes)
        return bytes;
    int n = maxStringBytes;
    while (n > 0 && (static_cast<unsigned char>(bytes.at(n)) & 0xC0) == 0x80)
        --n;
    bytes.truncate(n);
    return bytes;
}

quint64 readBigEndian(const unsigned char* b, int len)
{
    quint64 v = 0;
    for (int i = 0; i < len; ++i)
        v = (v << 8) | b[i];
    return v;
}

void toBigEndian(quint64 v, unsigned char* b, int len)
{
    for (int i = len - 1; i >= 0; --i) {
        b[i] = static_cast<unsigned char>(v & 0xFF);
        v >>= 8;
    }
}

} // namespace

File::File(bool readMode, QString* _filename)
    : QObject(nullptr), file(nullptr), stream(nullptr), readOnly(readMode),
      filename(new QString(_filename ? *_filename : QString())), lastError(0), writeFailed(false), readPos(0),
      maxReadBytes(defaultMaxReadBytes), readResult(Missing)
{
}

File::~File()
{
    close();
    delete filename;
}

File* File::createFileToRead(QString filename) { return new File(true, &filename); }
File* File::createFileToRead(QString* filename) { return new File(true, filename); }

File* File::createFileToRead(const QString& filename, qint64 maxBytes)
{
    QString name = filename;
    File* f = new File(true, &name);
    f->maxReadBytes = maxBytes;
    return f;
}
File* File::createFileToWrite(QString filename) { return new File(false, &filename); }
File* File::createFileToWrite(QString* filename) { return new File(false, filename); }
File* File::createFileToWrite(QString filename, int) { return new File(false, &filename); }
File* File::createFileToWrite(QString* filename, int) { return new File(false, filename); }

QString File::createPathToResource(QString filename)
{
    QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!location.endsWith(QLatin1Char('/')))
        location += QLatin1Char('/');
    if (!QFileInfo::exists(location))
        QDir().mkpath(location);
    return location + filename;
}

QString File::createPathToResource(QString* filename) { return createPathToResource(filename ? *filename : QString()); }
QString File::createPathToDocuments(QString filename) { return createPathToResource(filename); }
QString File::createPathToDocuments(QString* filename) { return createPathToResource(filename); }

bool File::fileExistInResources(QString filename) { return QFile::exists(createPathToResource(filename)); }
bool File::fileExistInResources(QString* filename) { return QFile::exists(createPathToResource(filename)); }
bool File::fileExistInDocuments(QString filename) { return fileExistInResources(filename); }
bool File::fileExistInDocuments(QString* filename) { return fileExistInResources(filename); }

bool File::deleteFileInResources(QString filename)
{
    const QString path = createPathToResource(filename);
    if (!QFile::exists(path))
        return false;
    return QFile::remove(path);
}

bool File::deleteFileInResources(QString* filename) { return deleteFileInResources(filename ? *filename : QString()); }
bool File::deleteFileInDocuments(QString filename) { return deleteFileInResources(filename); }

bool File::deleteDirectory(QString path)
{
    QDir dir(path);
    if (!dir.exists())
        return false;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const bool ok = (entry.isDir() && !entry.isSymLink()) ? deleteDirectory(entry.absoluteFilePath())
                                                               : QFile::remove(entry.absoluteFilePath());
        if (!ok)
            return false;
    }
    return dir.rmdir(dir.absolutePath());
}

// The program writes only plain files of its own; QSaveFile would write a link's target.
void File::clearWayFor(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        QFile::remove(path);
    else if (info.isDir())
        deleteDirectory(path);
}

bool File::replaceContents(const QString& path, const QByteArray& bytes)
{
    clearWayFor(path);
    QSaveFile file(path);
    // Qt's commit() misses an error of its own last flush: flush first and look.
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit();
}

bool File::setAside(const QString& path)
{
    const QByteArray from = QFile::encodeName(path);
    for (int n = 1; n <= 99; ++n) {
        const QString aside = path + QStringLiteral(".damaged") + (n > 1 ? QStringLiteral(".%1").arg(n) : QString());
        struct stat st;
        const QByteArray to = QFile::encodeName(aside);
        if (::lstat(to.constData(), &st) == 0)
            continue;
        if (::rename(from.constData(), to.constData()) != 0)
            return false;
        qCWarning(lcFiles) << "a stored file that could not be read whole is kept as" << aside;
        return true;
    }
    return false;
}

File::ReadResult File::readRegular(const QString& path, qint64 maxBytes, QByteArray* bytes)
{
    bytes->clear();
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Missing : ReadFailed;
    struct stat st;
    ReadResult result = Read;
    if (::fstat(fd, &st) != 0)
        result = ReadFailed;
    else if (!S_ISREG(st.st_mode))
        result = NotRegular;
    else if (st.st_size > maxBytes)
        result = TooLarge;
    if (result == Read) {
        // The file may grow while it is read: one byte past the bound tells it is too large.
        const qint64 cap = maxBytes + 1;
        qint64 got = 0;
        bytes->resize(int(qMin<qint64>(cap, st.st_size + 1)));
        while (result == Read) {
            if (got == bytes->size()) {
                if (got >= cap)
                    break;
                bytes->resize(int(qMin<qint64>(cap, got + 64 * 1024)));
            }
            const ssize_t n = ::read(fd, bytes->data() + got, size_t(bytes->size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                result = ReadFailed;
            else if (n == 0)
                break;
            else
                got += n;
        }
        if (result == Read && got > maxBytes)
            result = TooLarge;
        bytes->resize(int(got));
    }
    ::close(fd);
    if (result != Read) {
        bytes->clear();
        qCDebug(lcFiles) << "refused to read" << path << "result" << int(result);
    }
    return result;
}

void File::guardSettingsStore()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/');
    const QString files[] = {config + organizationName + QLatin1Char('/') + applicationName + QStringLiteral(".conf"),
                             config + organizationName + QStringLiteral(".conf")};
    for (const QString& path : files) {
        struct stat st;
        const QByteArray native = QFile::encodeName(path);
        // Never opened, so never blocks; a link goes too, as QSettings would write its target.
        if (::lstat(native.constData(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                continue;
        } else if (S_ISREG(st.st_mode) && st.st_size <= maxSettingsBytes) {
            // QSettings would save its defaults over a file it could not read (a read error).
            QByteArray bytes;
            if (readRegular(path, maxSettingsBytes, &bytes) == Read)
                continue;
        }
        if (!setAside(path)) {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                               createPathToResource(QStringLiteral("config")));
            return;
        }
    }
}

short File::SwapShort(short arg)
{
    const unsigned short u = static_cast<unsigned short>(arg);
    return static_cast<short>(((u & 0xFF) << 8) | (u >> 8));
}

int File::SwapInt(int arg)
{
    const unsigned int u = static_cast<unsigned int>(arg);
    return static_cast<int>(((u & 0xFF) << 24) | ((u & 0xFF00) << 8) | ((u >> 8) & 0xFF00) | (u >> 24));
}

void File::open()
{
    close();
    writeFailed = false;
    contents.clear();
    readPos = 0;
    if (readOnly) {
        // A device, FIFO, directory or oversized file reads as nothing: every read fails.
        readResult = readRegular(*filename, maxReadBytes, &contents);
    } else {
        // Written beside the old file and put in its place at close(), so that a full or
        // read-only disk never leaves half a file behind.
        clearWayFor(*filename);
        file = new QSaveFile(*filename);
        writeFailed = !file->open(QIODevice::WriteOnly);
        stream = new QDataStream(file);
    }
}

bool File::close()
{
    bool ok = true;
    if (QSaveFile* saved = qobject_cast<QSaveFile*>(file)) {
        // Qt's commit() misses an error of its own last flush: flush first and look.
        if (writeFailed || stream->status() != QDataStream::Ok || !saved->flush())
            saved->cancelWriting();
        ok = saved->isOpen() && saved->commit();
    } else if (file && file->isOpen()) {
        file->close();
    }
    delete stream;
    stream = nullptr;
    delete file;
    file = nullptr;
    contents.clear();
    readPos = 0;
    return ok;
}

void File::fail(int check)
{
    lastError = -1;
    if (!readOnly)
        writeFailed = true;
    // A file not written yet (a first start, a channel never fetched) reads as empty: no failure.
    if (!readOnly || readResult != Missing)
        qCDebug(lcFiles) << "read or write failed at check" << check << "of" << *filename;
    throw lastError;
}

const char* File::take(int len, int check)
{
    if ((readOnly ? readResult != Read : !file) || len < 0 || contents.size() - readPos < len)
        fail(check);
    const char* bytes = contents.constData() + readPos;
    readPos += len;
    lastError = 0;
    return bytes;
}

void File::readRaw(char* dst, int len, int check)
{
    const char* bytes = take(len, check);
    if (len > 0)
        std::memcpy(dst, bytes, size_t(len));
}

void File::writeRaw(const char* src, int len, int check)
{
    if (!stream || len < 0)
        fail(check);
    if (len > 0 && stream->writeRawData(src, len) != len)
        fail(check + 1);
    lastError = 0;
}

void File::writeByte(char b) { writeRaw(&b, 1, 100); }
void File::writeUByte(unsigned char b) { writeRaw(reinterpret_cast<const char*>(&b), 1, 102); }

void File::writeShort(short v) { writeUShort(static_cast<unsigned short>(v)); }

void File::writeUShort(unsigned short v)
{
    unsigned char b[2];
    toBigEndian(v, b, 2);
    writeRaw(reinterpret_cast<const char*>(b), 2, 104);
}

void File::writeInt(int v) { writeUInt(static_cast<unsigned int>(v)); }

void File::writeUInt(unsigned int v)
{
    unsigned char b[4];
    toBigEndian(v, b, 4);
    writeRaw(reinterpret_cast<const char*>(b), 4, 106);
}

void File::writeLongLong(long long v)
{
    unsigned char b[8];
    toBigEndian(static_cast<quint64>(v), b, 8);
    writeRaw(reinterpret_cast<const char*>(b), 8, 108);
}

void File::writeDouble(double v)
{
    char b[sizeof(double)];
    std::memcpy(b, &v, sizeof(double));
    writeRaw(b, sizeof(double), 110);
}

void File::writeString(const QString& s)
{
    const QByteArray bytes = utf8ForPrefix(s);
    writeUShort(static_cast<unsigned short>(bytes.size()));
    writeRaw(bytes.constData(), bytes.size(), 112);
}

void File::writeString(QString* s) { writeString(s ? *s : QString()); }
void File::writeBytes(const QByteArray& bytes) { writeRaw(bytes.constData(), bytes.size(), 114); }
void File::writeBytes(unsigned char* tab, int len) { writeRaw(reinterpret_cast<const char*>(tab), len, 116); }

char File::readByte()
{
    char b;
    readRaw(&b, 1, 200);
    return b;
}

unsigned char File::readUByte() { return static_cast<unsigned char>(readByte()); }
short File::readShort() { return static_cast<short>(readUShort()); }

unsigned short File::readUShort()
{
    unsigned char b[2];
    readRaw(reinterpret_cast<char*>(b), 2, 202);
    return static_cast<unsigned short>(readBigEndian(b, 2));
}

int File::readInt() { return static_cast<int>(readUInt()); }

unsigned int File::readUInt()
{
    unsigned char b[4];
    readRaw(reinterpret_cast<char*>(b), 4, 204);
    return static_cast<unsigned int>(readBigEndian(b, 4));
}

long long File::readLongLong()
{
    unsigned char b[8];
    readRaw(reinterpret_cast<char*>(b), 8, 206);
    return static_cast<long long>(readBigEndian(b, 8));
}

double File::readDouble()
{
    char b[sizeof(double)];
    readRaw(b, sizeof(double), 208);
    double v;
    std::memcpy(&v, b, sizeof(double));
    return v;
}

QString File::readString()
{
    const int n = readUShort();
    if (n == 0)
        return QString();
    return QString::fromUtf8(take(n, 210), n);
}

unsigned char* File::readBytes(unsigned char* tab, int offset, int len)
{
    readRaw(reinterpret_cast<char*>(tab) + offset, len, 212);
    return tab;
}

unsigned char* File::readBytes(int len)
{
    // Checked before allocating, so a damaged length never asks for a huge buffer.
    const char* bytes = take(len, 214);
    unsigned char* tab = static_cast<unsigned char*>(std::calloc(len > 0 ? len : 1, 1));
    if (!tab)
        fail(215);
    if (len > 0)
        std::memcpy(tab, bytes, size_t(len));
    return tab;
}

void File::skipBytes(int n)
{
    if (!readOnly || readResult != Read || n <= 0)
        return;
    if (contents.size() - readPos < n)
        readPos = contents.size(); // a short skip ends at the end, as a stream's does
    take(n, 218);
}

int File::getLastError() { return lastError; }
QString File::getFilename() { return *filename; }
qint64 File::getFileLength() { return readOnly ? contents.size() : (file ? file->size() : 0); }
bool File::isReadOnly() { return readOnly; }

bool File::operator==(const File& other) const
{
    return *filename == *other.filename && readOnly == other.readOnly;
}

bool File::operator!=(const File& other) const { return !(*this == other); }
