#pragma once

#include <cstdint>
#include <string>

namespace Fernhouse::IO
{
class Control;
} // namespace Fernhouse::IO

namespace Tarvo
{

// What the front end and the campaign hand to the engine for one worm.
struct PlayerRecord
{
    // The worm's display name.
    std::string name;
    // Passed to the worm, which deletes it; a KeyboardControl makes a human player.
    Fernhouse::IO::Control* control = nullptr;
    // The sheet graphics/skins/<skinName>.png.
    std::string skinName;
    // WormSprite::ControlAbsolute or WormSprite::ControlRelative.
    std::uint32_t controlMode = 0;
};

} // namespace Tarvo
