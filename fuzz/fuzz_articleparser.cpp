#include "Logic/article.h"
#include "Logic/articleparser.h"
#include "Logic/photo.h"
#include "fuzz/fuzzsupport.h"

// A category feed as the network may deliver it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    ArticleParser parser;
    const bool ok = parser.parse(FuzzSupport::bytes(data, size));
    int total = 0;
    for (const Article* a : *parser.getParserArticles()) {
        total += a->title.size() + a->content.size();
        for (const Photo* p : a->photos)
            if (p->articleXX != a->xx)
                abort();
    }
    return ok && total < 0 ? 1 : 0;
}
