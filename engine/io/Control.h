#pragma once

#include "engine/base/EventHandler.h"

#include <cstdint>

namespace Fernhouse::IO
{

// Steers a worm: the worm asks for a direction each time it is about to advance one cell. A control
// that reads the keyboard receives its key presses through the EventRouter.
class Control : public Base::EventHandler
{
public:
    // Direction bits; 0 requests nothing.
    static constexpr std::uint32_t LeftBit = 0x1;
    static constexpr std::uint32_t RightBit = 0x2;
    static constexpr std::uint32_t UpBit = 0x4;
    static constexpr std::uint32_t DownBit = 0x8;
    static constexpr std::uint32_t Action1Bit = 0x100;
    static constexpr std::uint32_t Action2Bit = 0x200;
    // The three fields of the command word.
    static constexpr std::uint32_t DirectionMask = 0xFF;
    static constexpr std::uint32_t Action1Mask = 0xFF00;
    static constexpr std::uint32_t Action2Mask = 0xFF0000;

    Control();
    // Registered with the router, a copy would leave a dangling handler behind.
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    // Leaves the EventRouter if registered.
    ~Control() override;

    // Each query answers its field of the command word and clears it, so a request is used once.
    virtual std::uint32_t getDirection();
    virtual std::uint32_t getAction1();
    virtual std::uint32_t getAction2();
    // The whole command word, which is then cleared.
    virtual std::uint32_t getCommands();

    // Adds this control to the front of the EventRouter's handlers, or removes it; repeating a state does
    // nothing. Registering needs a live EventRouter.
    void setRegistered(bool on);

    bool isRegistered() const { return m_registered; }

protected:
    std::uint32_t getCommand() const { return m_command; }

    void setCommand(std::uint32_t command) { m_command = command; }

private:
    // Returns the bits of the mask and clears them.
    std::uint32_t take(std::uint32_t mask);

    std::uint32_t m_command = 0;
    bool m_registered = false;
};

} // namespace Fernhouse::IO
