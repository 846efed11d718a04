#include "Logic/article.h"
#include "Logic/photo.h"
#include "Logic/rsschannel.h"
#include "fuzz/fuzzsupport.h"

// A channel's cache file as the disk may hold it: cut short, damaged or foreign.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    FuzzSupport::writeDataFile(QStringLiteral("rssKraj"), data, size);
    RSSChannel channel(RSSChannel::Kraj, nullptr);
    channel.updateArticles(true);
    // What the lists show of each article.
    int unread = channel.getUnreadArticlesCount();
    for (const Article* a : channel.getArticles())
        unread += a->title.size() + a->photos.size() + a->link.toString().size();
    (void)channel.getInfoText();
    if (channel.getArticles().size() > RSSChannel::maxArticles * 9)
        abort();
    return unread < 0 ? 1 : 0;
}
