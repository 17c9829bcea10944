#pragma once

#include <SDL/SDL_keysym.h>

namespace Fernhouse::IO
{

// A player's keys as SDL 1.2 key codes; SDLK_UNKNOWN (0) means no key. The configuration file encodes
// each field itself, so the layout in memory is free.
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

} // namespace Fernhouse::IO
