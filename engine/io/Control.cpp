#include "engine/io/Control.h"

#include "engine/base/EventRouter.h"

#include <cassert>

namespace Fernhouse::IO
{

Control::Control() = default;

Control::~Control()
{
    setRegistered(false);
}

std::uint32_t Control::getDirection()
{
    return take(DirectionMask);
}

std::uint32_t Control::getAction1()
{
    return take(Action1Mask);
}

std::uint32_t Control::getAction2()
{
    return take(Action2Mask);
}

std::uint32_t Control::getCommands()
{
    return take(~std::uint32_t{0});
}

void Control::setRegistered(bool on)
{
    if (on == m_registered)
    {
        return;
    }
    Base::EventRouter* router = Base::EventRouter::getInstance();
    // Without a router there is nothing to join, and a router already gone holds no handlers to remove.
    assert((router != nullptr || !on) && "a control registered before the event router exists");
    if (router != nullptr)
    {
        if (on)
        {
            router->addHandler(this);
        }
        else
        {
            router->removeHandler(this);
        }
    }
    m_registered = on;
}

std::uint32_t Control::take(std::uint32_t mask)
{
    const std::uint32_t bits = m_command & mask;
    m_command &= ~mask;
    return bits;
}

} // namespace Fernhouse::IO
