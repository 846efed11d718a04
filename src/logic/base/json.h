#ifndef JSON_H
#define JSON_H

#include <QString>
#include <QVariant>

enum JsonToken {
    JsonTokenNone = 0,
    JsonTokenCurlyOpen = 1,
    JsonTokenCurlyClose = 2,
    JsonTokenSquaredOpen = 3,
    JsonTokenSquaredClose = 4,
    JsonTokenColon = 5,
    JsonTokenComma = 6,
    JsonTokenString = 7,
    JsonTokenNumber = 8,
    JsonTokenTrue = 9,
    JsonTokenFalse = 10,
    JsonTokenNull = 11
};

// A tolerant JSON reader: objects become QVariantMap, arrays QVariantList, numbers
// their text as written, null an invalid QVariant. Failures come back through success.
class Json
{
public:
    // Containers nested deeper than this fail the parse instead of exhausting the stack.
    static constexpr int maxDepth = 512;

    static QVariant parse(const QString& json, bool& success);
    static QVariant parse(const QString& json);

private:
    static QVariant parseValue(const QString& json, int& index, bool& success, int depth);
    static QVariant parseObject(const QString& json, int& index, bool& success, int depth);
    static QVariant parseArray(const QString& json, int& index, bool& success, int depth);
    static QVariant parseString(const QString& json, int& index, bool& success);
    static QVariant parseNumber(const QString& json, int& index);
    static int lastIndexOfNumber(const QString& json, int index);
    static void eatWhitespace(const QString& json, int& index);
    static int lookAhead(const QString& json, int index);
    static int nextToken(const QString& json, int& index);
};

#endif // JSON_H
