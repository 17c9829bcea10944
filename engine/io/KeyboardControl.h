#pragma once

#include "engine/io/Control.h"
#include "engine/io/KeySet.h"

#include <array>
#include <cstdint>

namespace Fernhouse::IO
{

// A human player's control. Unbuffered, the direction presses between two steps of the worm are merged
// into one request; buffered, they wait in a queue of two that drops its oldest entry when full, so each
// step takes one press in the order pressed.
class KeyboardControl final : public Control
{
public:
    explicit KeyboardControl(const KeySet& keys);

    // Consumes the key when it is one of the set; modifiers are ignored. A key listed twice acts as its
    // first match.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;

    std::uint32_t getDirection() override;

private:
    void pushDirection(std::uint32_t direction);

    // A free slot holds 0.
    static constexpr std::uint32_t EmptySlot = 0;

    bool m_buffered;
    SDLKey m_left;
    SDLKey m_right;
    SDLKey m_up;
    SDLKey m_down;
    SDLKey m_action1;
    SDLKey m_action2;
    std::array<std::uint32_t, 2> m_queue{EmptySlot, EmptySlot};
    std::size_t m_readIndex = 0;
};

} // namespace Fernhouse::IO
