// libFuzzer target: the settings file reader takes any bytes, and what the
// program writes for the options it read reads back as exactly those,
// wholly understood.
#include "core/prediction/PredictionSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace peridon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReflectFlags flags{};
    const SettingsDecode first =
        decodeSettings(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), flags);
    if (first.firstBadLine < 0 || (!first.decoded && first.firstBadLine != 0))
        std::abort();
    const QByteArray written = encodeSettings(flags);
    if (written.isEmpty())
        std::abort(); // no Shift-JIS converter: nothing could ever be saved
    ReflectFlags again{};
    again.fill(true);
    if (!decodeSettings(written, again).understood() || again != flags)
        std::abort();
    return 0;
}
