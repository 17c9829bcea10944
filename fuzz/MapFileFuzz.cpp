#include "engine/base/Exception.h"

#include "game/play/MapFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Feeds arbitrary bytes to the map loader. Every input must either load or fail with one of our
// exceptions; anything else (a crash, a sanitizer report, a foreign exception, a huge allocation) is a
// finding. A map that loads must also survive a save and a second load unchanged.

namespace
{

std::string scratchPath(const char* suffix)
{
    return (std::filesystem::temp_directory_path() / ("tarvo-map-fuzz-" + std::to_string(getpid()) + suffix))
        .string();
}

bool endsInCarriageReturn(const std::string& line)
{
    return !line.empty() && line.back() == '\r';
}

void checkRoundTrip(Tarvo::MapFile& map)
{
    // A line that itself ends in CR loses it on the next read: the format cannot carry it.
    if (endsInCarriageReturn(map.getName()) || endsInCarriageReturn(map.getGraphicsFileName()))
    {
        return;
    }
    const std::string copyPath = scratchPath(".copy.map");
    map.save(copyPath);
    const Tarvo::MapFile copy(copyPath);
    bool same = copy.getName() == map.getName() && copy.getGraphicsFileName() == map.getGraphicsFileName() &&
                copy.getLayerCount() == map.getLayerCount() && copy.getWidth() == map.getWidth() &&
                copy.getHeight() == map.getHeight();
    for (unsigned layer = 0; same && layer < static_cast<unsigned>(map.getLayerCount()); ++layer)
    {
        for (std::int32_t y = 0; same && y < map.getHeight(); ++y)
        {
            for (std::int32_t x = 0; same && x < map.getWidth(); ++x)
            {
                same = copy.getTile(layer, x, y) == map.getTile(layer, x, y);
            }
        }
    }
    if (!same)
    {
        std::fprintf(stderr, "map changed on its way through save and load\n");
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string inputPath = scratchPath(".map");
    {
        std::ofstream out(inputPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try
    {
        Tarvo::MapFile map(inputPath);
        checkRoundTrip(map);
    }
    catch (const Fernhouse::Base::Exception&)
    {
        // Refusing damaged input with our own exception is the expected outcome.
    }
    return 0;
}
