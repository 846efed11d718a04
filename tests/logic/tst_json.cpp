#include <QtTest>

#include "logic/base/json.h"

// The tolerant JSON reader: the cases where a reader really goes wrong.
class TestJson : public QObject
{
    Q_OBJECT
private:
    static QVariant parsed(const QString& text, bool expectSuccess = true)
    {
        bool ok = !expectSuccess;
        const QVariant v = Json::parse(text, ok);
        if (ok != expectSuccess)
            qWarning() << "unexpected result for" << text;
        return ok == expectSuccess ? v : QVariant(QStringLiteral("<wrong success>"));
    }

private slots:
    void valuesAndNumbersAsWritten()
    {
        const QVariantMap m = parsed("{\"a\": 1, \"b\": -1.5e3, \"c\": \"x\", \"d\": true, \"e\": null, \"f\": [1 2]}").toMap();
        QCOMPARE(m.value("a"), QVariant(QString("1")));
        QCOMPARE(m.value("b"), QVariant(QString("-1.5e3")));
        QCOMPARE(m.value("c").toString(), QString("x"));
        QCOMPARE(m.value("d"), QVariant(true));
        QVERIFY(m.contains("e") && !m.value("e").isValid());
        QCOMPARE(m.value("f").toList().size(), 2);
        QCOMPARE(parsed(" \n[ true,\tfalse ,null ]\r\n").toList(), (QVariantList{true, false, QVariant()}));
        QCOMPARE(parsed("[-]").toList(), QVariantList{QString("-")});
        QCOMPARE(parsed("[1-2e+]").toList(), QVariantList{QString("1-2e+")});
    }

    void escapesAndSurrogatePairs()
    {
        QCOMPARE(parsed("\"x\\u0105y\"").toString(), QString::fromUtf8("xąy"));
        // Two escapes of one surrogate pair make one character.
        QCOMPARE(parsed("\"\\ud83d\\ude00\"").toString(), QString::fromUtf8("😀"));
        QCOMPARE(parsed("\"a\\\"b\\\\c\\/d\\n\\t\"").toString(), QString("a\"b\\c/d\n\t"));
        QCOMPARE(parsed("\"a\\qb\"").toString(), QString("ab"));
        QCOMPARE(parsed("\"\\uZZ12\"").toString(), QString(QChar(0)));
        QCOMPARE(parsed("\"\\u 12a\"").toString(), QString(QChar(0)));
        // Text that ends inside an escape is no JSON.
        for (const char* cut : {"\"\\u12\"", "\"abc\\"}) {
            bool ok = true;
            Json::parse(QString::fromLatin1(cut), ok);
            QVERIFY2(!ok, cut);
        }
        QCOMPARE(parsed("\"zażółć\"").toString(), QString::fromUtf8("zażółć"));
    }

    void objectsKeepTheLastKeyAndSkipStrayCommas()
    {
        const QVariantMap m = parsed("{,\"a\": 1,, \"a\": 2,}").toMap();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.value("a").toString(), QString("2"));
        QCOMPARE(parsed("\"done\" and then more").toString(), QString("done"));
    }

    void brokenInputFailsAndComesBackEmpty()
    {
        bool ok = true;
        for (const char* broken : {"{\"a\" 1}", "{\"a\": [1, 2, {\"b\": 3}", "[1, 2", "", "]"}) {
            const QVariant v = Json::parse(QString::fromLatin1(broken), ok);
            QVERIFY2(!ok && v.toMap().isEmpty() && v.toList().isEmpty(), broken);
        }
        // A null string is not an empty one.
        QVERIFY(!Json::parse(QString(), ok).isValid());
        QVERIFY(ok);
    }

    void deepAndHugeInputFailsCleanly()
    {
        bool ok = true;
        const QString deep = QString(100000, QLatin1Char('[')) + QString(100000, QLatin1Char(']'));
        Json::parse(deep, ok);
        QVERIFY(!ok);
        const QString objects = QString("{\"a\":").repeated(50000) + "1" + QString(50000, QLatin1Char('}'));
        Json::parse(objects, ok);
        QVERIFY(!ok);
        // Nesting within the bound still reads.
        const QString fine = QString(Json::maxDepth, QLatin1Char('[')) + QString(Json::maxDepth, QLatin1Char(']'));
        Json::parse(fine, ok);
        QVERIFY(ok);
        Json::parse(QString(3 * 1024 * 1024, QLatin1Char('[')), ok);
        QVERIFY(!ok);
    }
};

QTEST_MAIN(TestJson)
#include "tst_json.moc"
