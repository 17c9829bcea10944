#pragma once

#include <SDL/SDL_keysym.h>

#include <cstdint>

namespace Fernhouse::Base
{

// Receives input. Every operation returns true to consume the event (no later handler sees it); the
// defaults ignore it and return false, so a handler overrides only what it needs.
class EventHandler
{
public:
    virtual ~EventHandler();

    virtual bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt);
    virtual bool keyUp(SDLKey key, bool ctrl, bool shift, bool alt);
    virtual bool mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel);
    virtual bool mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y);
    virtual bool mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y);
    virtual bool joyAxisMotion(std::uint8_t joystick, std::uint8_t axis, std::int16_t value);
    virtual bool joyBallMotion(std::uint8_t joystick, std::uint8_t ball, std::int16_t xrel,
                               std::int16_t yrel);
    virtual bool joyHatMotion(std::uint8_t joystick, std::uint8_t hat, std::uint8_t value);
    virtual bool joyButtonDown(std::uint8_t joystick, std::uint8_t button);
    virtual bool joyButtonUp(std::uint8_t joystick, std::uint8_t button);
    virtual bool quit();
    virtual bool userEvent(std::int32_t code, void* data1, void* data2);
};

} // namespace Fernhouse::Base
