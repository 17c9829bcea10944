#include "engine/base/EventHandler.h"

namespace Fernhouse::Base
{

EventHandler::~EventHandler() = default;

bool EventHandler::keyDown(SDLKey, bool, bool, bool)
{
    return false;
}

bool EventHandler::keyUp(SDLKey, bool, bool, bool)
{
    return false;
}

bool EventHandler::mouseMotion(std::uint16_t, std::uint16_t, std::int16_t, std::int16_t)
{
    return false;
}

bool EventHandler::mouseButtonDown(std::uint8_t, std::uint16_t, std::uint16_t)
{
    return false;
}

bool EventHandler::mouseButtonUp(std::uint8_t, std::uint16_t, std::uint16_t)
{
    return false;
}

bool EventHandler::joyAxisMotion(std::uint8_t, std::uint8_t, std::int16_t)
{
    return false;
}

bool EventHandler::joyBallMotion(std::uint8_t, std::uint8_t, std::int16_t, std::int16_t)
{
    return false;
}

bool EventHandler::joyHatMotion(std::uint8_t, std::uint8_t, std::uint8_t)
{
    return false;
}

bool EventHandler::joyButtonDown(std::uint8_t, std::uint8_t)
{
    return false;
}

bool EventHandler::joyButtonUp(std::uint8_t, std::uint8_t)
{
    return false;
}

bool EventHandler::quit()
{
    return false;
}

bool EventHandler::userEvent(std::int32_t, void*, void*)
{
    return false;
}

} // namespace Fernhouse::Base
