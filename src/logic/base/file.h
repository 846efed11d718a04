#ifndef FILE_H
#define FILE_H

#include <QObject>
#include <QString>
#include <QByteArray>

class QFileDevice;
class QDataStream;

// Binary file in the data directory: big-endian integers and 16-bit
// length-prefixed UTF-8 strings. Every failed primitive throws the int -1.
// A file written replaces the one on disk only when it is closed complete.
// A file read is read whole at open(), and only when it is a regular file
// within its owner's bound; anything else reads as an empty file.
class File : public QObject
{
    Q_OBJECT
public:
    File(bool readMode, QString* _filename);
    virtual ~File();

    static File* createFileToRead(QString filename);
    static File* createFileToRead(QString* filename);
    // maxBytes: the largest file the owner's format can hold; a larger one is damaged.
    static File* createFileToRead(const QString& filename, qint64 maxBytes);
    static File* createFileToWrite(QString filename);
    static File* createFileToWrite(QString* filename);
    static File* createFileToWrite(QString filename, int minimalSize);
    static File* createFileToWrite(QString* filename, int minimalSize);

    static QString createPathToResource(QString filename);
    static QString createPathToResource(QString* filename);
    static QString createPathToDocuments(QString filename);
    static QString createPathToDocuments(QString* filename);
    static bool fileExistInResources(QString filename);
    static bool fileExistInResources(QString* filename);
    static bool fileExistInDocuments(QString filename);
    static bool fileExistInDocuments(QString* filename);
    static bool deleteFileInResources(QString filename);
    static bool deleteFileInResources(QString* filename);
    static bool deleteFileInDocuments(QString filename);
    static bool deleteDirectory(QString path);
    // Puts bytes in place of the file at path; on any failure the old file stays as it was.
    static bool replaceContents(const QString& path, const QByteArray& bytes);
    // Removes what stands where a file is to be written and is no file of ours: a directory,
    // which a rename cannot replace, or a link, which a write would follow out of the folder.
    static void clearWayFor(const QString& path);

    enum ReadResult { Read, Missing, NotRegular, TooLarge, ReadFailed };
    // A file that stands but could not be taken in: it is the user's until it has been read,
    // so nothing is written over it.
    static bool unreadable(ReadResult r) { return r == NotRegular || r == TooLarge || r == ReadFailed; }
    // Moves a stored file that could not be read or decoded out of the way of the next save,
    // to "<name>.damaged", or "<name>.damaged.2" and on where that stands already.
    static bool setAside(const QString& path);
    // Reads the whole file at path into *bytes when it is a regular file of at most maxBytes.
    // A device, FIFO or directory is refused without blocking and without reading from it.
    static ReadResult readRegular(const QString& path, qint64 maxBytes, QByteArray* bytes);
    // QSettings reads its files whole and blocks on a FIFO. Before one is opened, the program's
    // own settings files that are not regular files within maxSettingsBytes, or do not read, are moved aside
    // (to a ".damaged" name), or, where that fails, the settings go to a folder of their own.
    static void guardSettingsStore();
    // Tokens and the analytics sessions take a few kilobytes.
    static constexpr qint64 maxSettingsBytes = 1024 * 1024;

    // The bound of a read whose owner names none.
    static constexpr qint64 defaultMaxReadBytes = 32 * 1024 * 1024;

    static short SwapShort(short arg);
    static int SwapInt(int arg);

    void open();
    // False when anything written since open() did not reach the disk; the file on disk
    // then stays as it was before open().
    bool close();

    void writeByte(char b);
    void writeUByte(unsigned char b);
    void writeShort(short v);
    void writeUShort(unsigned short v);
    void writeInt(int v);
    void writeUInt(unsigned int v);
    void writeLongLong(long long v);
    void writeDouble(double v);
    void writeString(const QString& s);
    void writeString(QString* s);
    void writeBytes(const QByteArray& bytes);
    void writeBytes(unsigned char* tab, int len);

    char readByte();
    unsigned char readUByte();
    short readShort();
    unsigned short readUShort();
    int readInt();
    unsigned int readUInt();
    long long readLongLong();
    double readDouble();
    QString readString();
    unsigned char* readBytes(unsigned char* tab, int offset, int len);
    unsigned char* readBytes(int len);
    void skipBytes(int n);

    // How open() found the file (read mode); Read when it was taken in.
    ReadResult getReadResult() const { return readResult; }
    // Bytes read at open() and not yet taken: a whole record set leaves none.
    qint64 bytesLeft() const { return contents.size() - readPos; }

    int getLastError();
    QString getFilename();
    qint64 getFileLength();
    bool isReadOnly();
    bool operator==(const File& other) const;
    bool operator!=(const File& other) const;

private:
    QFileDevice* file; // a QFile when reading, a QSaveFile when writing
    QDataStream* stream;
    bool readOnly;
    QString* filename;
    int lastError;
    bool writeFailed;
    QByteArray contents; // a file read is read whole at open() and taken apart in memory
    int readPos;
    qint64 maxReadBytes;
    ReadResult readResult;

    void fail(int check);
    const char* take(int len, int check); // the next len bytes read, or a throw
    void readRaw(char* dst, int len, int check);
    void writeRaw(const char* src, int len, int check);
};

#endif // FILE_H
