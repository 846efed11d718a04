#include "foundation/json.h"
#include "fuzz/fuzzsupport.h"

// An ad server's reply, any text at all.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    bool ok = false;
    const QVariant value = Json::parse(QString::fromUtf8(FuzzSupport::bytes(data, size)), ok);
    if (!ok && value.isValid())
        abort();
    return 0;
}
