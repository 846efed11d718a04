#include "logic/base/json.h"

#include <cctype>

QVariant Json::parse(const QString& json)
{
    bool success = true;
    return parse(json, success);
}

QVariant Json::parse(const QString& json, bool& success)
{
    success = true;
    if (json.isNull())
        return QVariant();
    int index = 0;
    return parseValue(json, index, success, 0);
}

QVariant Json::parseValue(const QString& json, int& index, bool& success, int depth)
{
    switch (lookAhead(json, index)) {
    case JsonTokenString:
        return parseString(json, index, success);
    case JsonTokenNumber:
        return parseNumber(json, index);
    case JsonTokenCurlyOpen:
        return parseObject(json, index, success, depth + 1);
    case JsonTokenSquaredOpen:
        return parseArray(json, index, success, depth + 1);
    case JsonTokenTrue:
        nextToken(json, index);
        return QVariant(true);
    case JsonTokenFalse:
        nextToken(json, index);
        return QVariant(false);
    case JsonTokenNull:
        nextToken(json, index);
        return QVariant();
    default:
        success = false;
        return QVariant();
    }
}

QVariant Json::parseObject(const QString& json, int& index, bool& success, int depth)
{
    nextToken(json, index);
    QVariantMap map;
    if (depth > maxDepth) {
        success = false;
        return QVariantMap();
    }
    for (;;) {
        const int token = lookAhead(json, index);
        if (token == JsonTokenNone) {
            success = false;
            return QVariantMap();
        }
        if (token == JsonTokenComma) {
            nextToken(json, index);
            continue;
        }
        if (token == JsonTokenCurlyClose) {
            nextToken(json, index);
            return map;
        }
        const QString key = parseString(json, index, success).toString();
        if (!success)
            return QVariantMap();
        if (nextToken(json, index) != JsonTokenColon) {
            success = false;
            return QVariantMap();
        }
        const QVariant value = parseValue(json, index, success, depth);
        if (!success)
            return QVariantMap();
        map[key] = value;
    }
}

QVariant Json::parseArray(const QString& json, int& index, bool& success, int depth)
{
    nextToken(json, index);
    QVariantList list;
    if (depth > maxDepth) {
        success = false;
        return QVariantList();
    }
    for (;;) {
        const int token = lookAhead(json, index);
        if (token == JsonTokenNone) {
            success = false;
            return QVariantList();
        }
        if (token == JsonTokenComma) {
            nextToken(json, index);
            continue;
        }
        if (token == JsonTokenSquaredClose) {
            nextToken(json, index);
            return list;
        }
        const QVariant value = parseValue(json, index, success, depth);
        if (!success)
            return QVariantList();
        list.append(value);
    }
}

QVariant Json::parseString(const QString& json, int& index, bool& success)
{
    eatWhitespace(json, index);
    ++index; // the opening quote, whatever it is
    QString s;
    const int length = json.size();
    while (index < length) {
        const QChar c = json.at(index++);
        if (c == QLatin1Char('"'))
            return QVariant(s);
        if (c != QLatin1Char('\\')) {
            s.append(c);
            continue;
        }
        if (index == length)
            break;
        const QChar escaped = json.at(index++);
        switch (escaped.unicode()) {
        case '"':
        case '\\':
        case '/':
            s.append(escaped);
            break;
        case 'b': s.append(QChar(8)); break;
        case 'f': s.append(QChar(12)); break;
        case 'n': s.append(QChar(10)); break;
        case 'r': s.append(QChar(13)); break;
        case 't': s.append(QChar(9)); break;
        case 'u': {
            if (length - index < 4) {
                success = false;
                return QVariant();
            }
            ushort unit = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = QString(json.at(index + i)).toInt(nullptr, 16);
                const bool hex = isxdigit(json.at(index + i).toLatin1()) && json.at(index + i).unicode() < 128;
                if (!hex) {
                    unit = 0;
                    break;
                }
                unit = ushort(unit * 16 + digit);
            }
            s.append(QChar(unit));
            index += 4;
            break;
        }
        default:
            break; // an unknown escape is dropped with its backslash
        }
    }
    success = false;
    return QVariant();
}

QVariant Json::parseNumber(const QString& json, int& index)
{
    eatWhitespace(json, index);
    const int last = lastIndexOfNumber(json, index);
    const QString number = json.mid(index, last - index + 1);
    index = last + 1;
    return QVariant(number);
}

int Json::lastIndexOfNumber(const QString& json, int index)
{
    static const QString numberChars = QStringLiteral("0123456789+-.eE");
    int last = index;
    for (; last < json.size(); ++last) {
        if (!numberChars.contains(json.at(last)))
            break;
    }
    return last - 1;
}

void Json::eatWhitespace(const QString& json, int& index)
{
    for (; index < json.size(); ++index) {
        const QChar c = json.at(index);
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            break;
    }
}

int Json::lookAhead(const QString& json, int index)
{
    int saved = index;
    return nextToken(json, saved);
}

int Json::nextToken(const QString& json, int& index)
{
    eatWhitespace(json, index);
    if (index == json.size())
        return JsonTokenNone;
    const char c = json.at(index).toLatin1();
    const bool ascii = json.at(index).unicode() < 128;
    ++index;
    if (ascii) {
        switch (c) {
        case '"': return JsonTokenString;
        case ',': return JsonTokenComma;
        case '-': case '0': case '1': case '2': case '3': case '4':
        case '5': case '6': case '7': case '8': case '9':
            return JsonTokenNumber;
        case ':': return JsonTokenColon;
        case '[': return JsonTokenSquaredOpen;
        case ']': return JsonTokenSquaredClose;
        case '{': return JsonTokenCurlyOpen;
        case '}': return JsonTokenCurlyClose;
        default: break;
        }
    }
    --index;
    const int remaining = json.size() - index;
    if (remaining < 4)
        return JsonTokenNone;
    if (QStringView(json).mid(index, 4) == QLatin1String("true")) {
        index += 4;
        return JsonTokenTrue;
    }
    if (remaining >= 5 && QStringView(json).mid(index, 5) == QLatin1String("false")) {
        index += 5;
        return JsonTokenFalse;
    }
    if (QStringView(json).mid(index, 4) == QLatin1String("null")) {
        index += 4;
        return JsonTokenNull;
    }
    return JsonTokenNone;
}
