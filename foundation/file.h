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
class File : public QObject
{
    Q_OBJECT
public:
    File(bool readMode, QString* _filename);
    virtual ~File();

    static File* createFileToRead(QString filename);
    static File* createFileToRead(QString* filename);
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

    enum ReadResult { Read, Missing, NotRegular, TooLarge, ReadFailed };
    // Reads the whole file at path into *bytes when it is a regular file of at most maxBytes.
    // A device, FIFO or directory is refused without blocking and without reading from it.
    static ReadResult readRegular(const QString& path, qint64 maxBytes, QByteArray* bytes);

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

    void fail(int check);
    const char* take(int len, int check); // the next len bytes read, or a throw
    void readRaw(char* dst, int len, int check);
    void writeRaw(const char* src, int len, int check);
};

#endif // FILE_H
