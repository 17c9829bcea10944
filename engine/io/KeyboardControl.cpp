#include "engine/io/KeyboardControl.h"

namespace Fernhouse::IO
{

namespace
{

// SDL reports keys it cannot name as SDLK_UNKNOWN; a set without a key there must not catch them.
bool matches(SDLKey pressed, SDLKey bound)
{
    return bound != SDLK_UNKNOWN && pressed == bound;
}

} // namespace

KeyboardControl::KeyboardControl(const KeySet& keys)
    : m_buffered(keys.buffered),
      m_left(keys.left),
      m_right(keys.right),
      m_up(keys.up),
      m_down(keys.down),
      m_action1(keys.action1),
      m_action2(keys.action2)
{
}

bool KeyboardControl::keyDown(SDLKey key, bool, bool, bool)
{
    if (matches(key, m_left))
    {
        pushDirection(LeftBit);
    }
    else if (matches(key, m_right))
    {
        pushDirection(RightBit);
    }
    else if (matches(key, m_up))
    {
        pushDirection(UpBit);
    }
    else if (matches(key, m_down))
    {
        pushDirection(DownBit);
    }
    else if (matches(key, m_action1))
    {
        setCommand(getCommand() | Action1Bit);
    }
    else if (matches(key, m_action2))
    {
        setCommand(getCommand() | Action2Bit);
    }
    else
    {
        return false;
    }
    return true;
}

std::uint32_t KeyboardControl::getDirection()
{
    if (!m_buffered)
    {
        return Control::getDirection();
    }
    // The read index moves on even past an empty slot; the queue then simply starts at the other one.
    const std::uint32_t direction = m_queue[m_readIndex];
    m_queue[m_readIndex] = EmptySlot;
    m_readIndex = 1 - m_readIndex;
    return direction;
}

void KeyboardControl::pushDirection(std::uint32_t direction)
{
    if (!m_buffered)
    {
        setCommand(getCommand() | direction);
        return;
    }
    const std::size_t other = 1 - m_readIndex;
    if (m_queue[m_readIndex] == EmptySlot)
    {
        m_queue[m_readIndex] = direction;
    }
    else if (m_queue[other] != EmptySlot)
    {
        // Full: the oldest request gives way and the newer queued one moves to the front.
        m_queue[m_readIndex] = direction;
        m_readIndex = other;
    }
    else
    {
        m_queue[other] = direction;
    }
}

} // namespace Fernhouse::IO
