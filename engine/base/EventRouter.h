#pragma once

#include "engine/base/EventHandler.h"
#include "engine/base/Singleton.h"

#include <SDL/SDL_events.h>

#include <cstdint>
#include <vector>

namespace Fernhouse::Base
{

// Drains SDL's queue once per frame and offers each event to the handlers, newest first, until one
// consumes it. The handlers are not owned. A handler may add or remove handlers from inside an event
// operation: one removed is not asked again, one added is first asked for the next event.
class EventRouter final : public EventHandler, public Singleton<EventRouter>
{
public:
    EventRouter();
    ~EventRouter() override;

    // The handler added last is asked first.
    void addHandler(EventHandler* handler);
    // Removes every occurrence; an absent handler is ignored.
    void removeHandler(EventHandler* handler);

    // Dispatches every pending event. Returns false as soon as a quit event arrives; events queued
    // behind it stay in SDL's queue.
    bool poll();
    // Sleeps until an event arrives, then dispatches it and every pending one like poll, with poll's
    // result.
    bool wait();

    void pushQuit();
    void pushUserEvent(std::int32_t code, void* data1, void* data2);
    // Both in milliseconds.
    void enableKeyRepeat(int delay, int interval);
    void disableKeyRepeat();

    // Between walks; inside one, removed handlers show as null and added ones are not yet there.
    const std::vector<EventHandler*>& getHandlers() const { return m_handlers; }

    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    bool keyUp(SDLKey key, bool ctrl, bool shift, bool alt) override;
    bool mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel) override;
    bool mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;
    bool mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;
    bool joyAxisMotion(std::uint8_t joystick, std::uint8_t axis, std::int16_t value) override;
    bool joyBallMotion(std::uint8_t joystick, std::uint8_t ball, std::int16_t xrel,
                       std::int16_t yrel) override;
    bool joyHatMotion(std::uint8_t joystick, std::uint8_t hat, std::uint8_t value) override;
    bool joyButtonDown(std::uint8_t joystick, std::uint8_t button) override;
    bool joyButtonUp(std::uint8_t joystick, std::uint8_t button) override;
    bool quit() override;
    bool userEvent(std::int32_t code, void* data1, void* data2) override;

private:
    // Offers one event to the handlers; false for a quit event.
    bool dispatch(const SDL_Event& event);
    // Offers one call to the handlers, front to back, until one consumes it.
    template <typename Call> bool forward(Call call);

    // Drops the places emptied during a walk and puts the handlers added during it in front.
    void settle();

    std::vector<EventHandler*> m_handlers; // not owned; newest first; null for one removed mid-walk
    std::vector<EventHandler*> m_added;    // not owned; added mid-walk, oldest first
    int m_walks = 0;                       // walks in progress; a handler may dispatch again
};

} // namespace Fernhouse::Base
