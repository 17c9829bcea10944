#include "engine/base/Exception.h"

#include "game/progress/Configuration.h"

#include <cstdint>

#include "fuzz/FuzzInput.h"

namespace
{

bool sameKeys(const Fernhouse::IO::KeySet& a, const Fernhouse::IO::KeySet& b)
{
    return a.buffered == b.buffered && a.left == b.left && a.right == b.right && a.up == b.up &&
           a.down == b.down && a.action1 == b.action1 && a.action2 == b.action2;
}

bool same(const Tarvo::Configuration& a, const Tarvo::Configuration& b)
{
    return a.getMusicVolume() == b.getMusicVolume() && a.getSoundVolume() == b.getSoundVolume() &&
           a.isFullscreen() == b.isFullscreen() && sameKeys(a.getPlayer1Keys(), b.getPlayer1Keys()) &&
           sameKeys(a.getPlayer2Keys(), b.getPlayer2Keys()) &&
           a.getPlayer1Relative() == b.getPlayer1Relative() &&
           a.getPlayer2Relative() == b.getPlayer2Relative() &&
           a.getUnlockedCampaigns() == b.getUnlockedCampaigns();
}

} // namespace

// Every input either loads or fails with one of our exceptions; settings that load survive a save and a
// second load unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = TarvoFuzz::FuzzInput::write("config.dat", data, size);
    Tarvo::Configuration loaded;
    try
    {
        loaded.load(path);
    }
    catch (const Fernhouse::Base::Exception&)
    {
        return 0;
    }
    const std::string copyPath = TarvoFuzz::FuzzInput::folder() + "/copy.dat";
    loaded.save(copyPath);
    Tarvo::Configuration copy;
    copy.load(copyPath);
    if (!same(loaded, copy))
    {
        TarvoFuzz::FuzzInput::fail("settings changed on their way through save and load");
    }
    return 0;
}
