#ifndef TESTCHANNEL_H
#define TESTCHANNEL_H

#include <QtTest>

#include "logic/news/articleparser.h"
#include "logic/news/channel.h"
#include "tests/support/testenv.h"

// A channel that takes a feed as if it had just downloaded it.
class TestChannel : public RSSChannel
{
public:
    explicit TestChannel(ChannelType type = RSSChannel::Kraj) : RSSChannel(type, nullptr) {}
    void take(const QByteArray& feed)
    {
        ArticleParser parser;
        QVERIFY(parser.parse(feed));
        mergeFeed(*parser.getParserArticles());
        articlesDidChange(true);
    }
    void take(const QVector<int>& ids) { take(TestEnv::feed(ids)); }
    void take(std::initializer_list<int> ids) { take(QVector<int>(ids)); }
};

#endif // TESTCHANNEL_H
