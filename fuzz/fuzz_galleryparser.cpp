#include "Views/Gallery/gallerypicturesparser.h"
#include "fuzz/fuzzsupport.h"

// The picture feed as the network may deliver it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    GalleryPicturesParser parser;
    parser.parse(FuzzSupport::bytes(data, size));
    const int urls = parser.getPicturesUrls().size();
    if (parser.getPicturesTitles().size() != urls || parser.getPicturesLinks().size() != urls)
        abort();
    return 0;
}
