#pragma once

#include <SDL/SDL_keysym.h>

namespace Fernhouse::IO
{

// A player's keys, laid out byte for byte as the configuration file stores them: the flag, three bytes
// of padding, then six 32-bit SDL 1.2 key codes. SDLK_UNKNOWN (0) means no key.
struct KeySet
{
    // Queue direction presses for the worm's next steps instead of merging them.
    bool buffered = false;
    SDLKey left = SDLK_UNKNOWN;
    SDLKey right = SDLK_UNKNOWN;
    SDLKey up = SDLK_UNKNOWN;
    SDLKey down = SDLK_UNKNOWN;
    SDLKey action1 = SDLK_UNKNOWN;
    SDLKey action2 = SDLK_UNKNOWN;
};

static_assert(sizeof(SDLKey) == 4, "key codes are stored as 32-bit words");
static_assert(sizeof(KeySet) == 28, "the configuration file stores the record as it lies in memory");

} // namespace Fernhouse::IO
