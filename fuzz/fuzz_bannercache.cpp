#include <QMetaObject>

#include "Logic/bannerinfo.h"
#include "foundation/constants.h"
#include "fuzz/fuzzsupport.h"

// The banner cache file; a link it gives back is only ever a web address.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    FuzzSupport::writeDataFile(QLatin1String(bannersFile), data, size);
    BannerInfo* banners = BannerInfo::getSingleton();
    QMetaObject::invokeMethod(banners, "loadFromFile", Qt::DirectConnection);
    const QString link = banners->splashLink;
    if (!link.isEmpty() && !link.startsWith(QLatin1String("http://")) && !link.startsWith(QLatin1String("https://")))
        abort();
    (void)banners->canShowSplash();
    return 0;
}
