#include "fuzz/fuzzsupport.h"
#include "fuzz/inputs.h"

#include <cstdlib>

// One libFuzzer target; FUZZ_INPUT names the reader it feeds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    if (!FuzzInputs::FUZZ_INPUT(QByteArray(reinterpret_cast<const char*>(data), int(size))))
        abort();
    return 0;
}
