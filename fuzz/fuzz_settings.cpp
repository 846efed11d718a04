#include <QTime>

#include "Views/Settings/settings.h"
#include "fuzz/fuzzsupport.h"

// The settings file; whatever it holds, the values in use stay in their ranges.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::start();
    FuzzSupport::writeDataFile(QStringLiteral("settings"), data, size);
    Settings settings(nullptr);
    for (int hour = 0; hour < 24; hour += 5) {
        const QTime now(hour, 59, 30);
        const int mode = settings.refreshModeAt(now);
        const int next = settings.msecsToNextRushStateChange(now);
        if (mode < 0 || mode > 4 || next < 0 || next > 86400000)
            abort();
    }
    if (settings.rushHoursStart < 0 || settings.rushHoursStart > 23 || settings.rushHoursEnd < 0
        || settings.rushHoursEnd > 23)
        abort();
    return 0;
}
