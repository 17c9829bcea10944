#include "engine/base/EventRouter.h"

#include "engine/base/Repaint.h"

#include <SDL/SDL.h>

#include <algorithm>

namespace Fernhouse::Base
{

namespace
{

constexpr SDLMod CtrlMask = static_cast<SDLMod>(KMOD_LCTRL | KMOD_RCTRL);
constexpr SDLMod ShiftMask = static_cast<SDLMod>(KMOD_LSHIFT | KMOD_RSHIFT);
constexpr SDLMod AltMask = static_cast<SDLMod>(KMOD_LALT | KMOD_RALT);
constexpr Uint32 IdlePause = 20; // ms

bool hasModifier(SDLMod mod, SDLMod mask)
{
    return (static_cast<unsigned>(mod) & static_cast<unsigned>(mask)) != 0;
}

} // namespace

EventRouter::EventRouter() = default;

EventRouter::~EventRouter() = default;

void EventRouter::addHandler(EventHandler* handler)
{
    if (m_walks > 0)
    {
        // Inserting in front would shift the walk onto a handler already asked.
        m_added.push_back(handler);
        return;
    }
    m_handlers.insert(m_handlers.begin(), handler);
}

void EventRouter::removeHandler(EventHandler* handler)
{
    m_added.erase(std::remove(m_added.begin(), m_added.end(), handler), m_added.end());
    if (m_walks > 0)
    {
        // Erasing would shift the walk past a handler not yet asked.
        std::replace(m_handlers.begin(), m_handlers.end(), handler, static_cast<EventHandler*>(nullptr));
        return;
    }
    m_handlers.erase(std::remove(m_handlers.begin(), m_handlers.end(), handler), m_handlers.end());
}

void EventRouter::settle()
{
    m_handlers.erase(std::remove(m_handlers.begin(), m_handlers.end(), nullptr), m_handlers.end());
    m_handlers.insert(m_handlers.begin(), m_added.rbegin(), m_added.rend());
    m_added.clear();
}

bool EventRouter::poll()
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
        if (!dispatch(event))
        {
            return false;
        }
    }
    return true;
}

bool EventRouter::wait()
{
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0)
    {
        // The queue cannot be waited on; the caller still must not spin.
        SDL_Delay(IdlePause);
        return poll();
    }
    return dispatch(event) && poll();
}

bool EventRouter::dispatch(const SDL_Event& event)
{
    // Any event may change what is shown, and an expose event asks for the picture again.
    Repaint::request();
    switch (event.type)
    {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const SDL_keysym& keysym = event.key.keysym;
            const bool ctrl = hasModifier(keysym.mod, CtrlMask);
            const bool shift = hasModifier(keysym.mod, ShiftMask);
            const bool alt = hasModifier(keysym.mod, AltMask);
            if (event.type == SDL_KEYDOWN)
            {
                keyDown(keysym.sym, ctrl, shift, alt);
            }
            else
            {
                keyUp(keysym.sym, ctrl, shift, alt);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            mouseMotion(event.motion.x, event.motion.y, event.motion.xrel, event.motion.yrel);
            break;
        case SDL_MOUSEBUTTONDOWN:
            mouseButtonDown(event.button.button, event.button.x, event.button.y);
            break;
        case SDL_MOUSEBUTTONUP:
            mouseButtonUp(event.button.button, event.button.x, event.button.y);
            break;
        case SDL_JOYAXISMOTION:
            joyAxisMotion(event.jaxis.which, event.jaxis.axis, event.jaxis.value);
            break;
        case SDL_JOYBALLMOTION:
            joyBallMotion(event.jball.which, event.jball.ball, event.jball.xrel, event.jball.yrel);
            break;
        case SDL_JOYHATMOTION:
            joyHatMotion(event.jhat.which, event.jhat.hat, event.jhat.value);
            break;
        case SDL_JOYBUTTONDOWN:
            joyButtonDown(event.jbutton.which, event.jbutton.button);
            break;
        case SDL_JOYBUTTONUP:
            joyButtonUp(event.jbutton.which, event.jbutton.button);
            break;
        case SDL_USEREVENT:
            userEvent(event.user.code, event.user.data1, event.user.data2);
            break;
        case SDL_QUIT:
            quit();
            return false;
        default:
            // Activation, window-manager, resize and expose events are of no interest.
            break;
    }
    return true;
}

void EventRouter::pushQuit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void EventRouter::pushUserEvent(std::int32_t code, void* data1, void* data2)
{
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = code;
    event.user.data1 = data1;
    event.user.data2 = data2;
    SDL_PushEvent(&event);
}

void EventRouter::enableKeyRepeat(int delay, int interval)
{
    SDL_EnableKeyRepeat(delay, interval);
}

void EventRouter::disableKeyRepeat()
{
    SDL_EnableKeyRepeat(0, 0);
}

template <typename Call> bool EventRouter::forward(Call call)
{
    // Ends the walk on every way out, a throwing handler included.
    struct Walk
    {
        explicit Walk(EventRouter& router) : m_router(router) { ++m_router.m_walks; }

        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;

        ~Walk()
        {
            if (--m_router.m_walks == 0)
            {
                m_router.settle();
            }
        }

        EventRouter& m_router;
    } walk(*this);

    // By index: a handler may empty places in the list while it runs.
    for (std::size_t i = 0; i < m_handlers.size(); ++i)
    {
        EventHandler* handler = m_handlers[i];
        if (handler != nullptr && call(*handler))
        {
            return true;
        }
    }
    return false;
}

bool EventRouter::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    return forward([&](EventHandler& h) { return h.keyDown(key, ctrl, shift, alt); });
}

bool EventRouter::keyUp(SDLKey key, bool ctrl, bool shift, bool alt)
{
    return forward([&](EventHandler& h) { return h.keyUp(key, ctrl, shift, alt); });
}

bool EventRouter::mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel)
{
    return forward([&](EventHandler& h) { return h.mouseMotion(x, y, xrel, yrel); });
}

bool EventRouter::mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    return forward([&](EventHandler& h) { return h.mouseButtonDown(button, x, y); });
}

bool EventRouter::mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    return forward([&](EventHandler& h) { return h.mouseButtonUp(button, x, y); });
}

bool EventRouter::joyAxisMotion(std::uint8_t joystick, std::uint8_t axis, std::int16_t value)
{
    return forward([&](EventHandler& h) { return h.joyAxisMotion(joystick, axis, value); });
}

bool EventRouter::joyBallMotion(std::uint8_t joystick, std::uint8_t ball, std::int16_t xrel,
                                std::int16_t yrel)
{
    return forward([&](EventHandler& h) { return h.joyBallMotion(joystick, ball, xrel, yrel); });
}

bool EventRouter::joyHatMotion(std::uint8_t joystick, std::uint8_t hat, std::uint8_t value)
{
    return forward([&](EventHandler& h) { return h.joyHatMotion(joystick, hat, value); });
}

bool EventRouter::joyButtonDown(std::uint8_t joystick, std::uint8_t button)
{
    return forward([&](EventHandler& h) { return h.joyButtonDown(joystick, button); });
}

bool EventRouter::joyButtonUp(std::uint8_t joystick, std::uint8_t button)
{
    return forward([&](EventHandler& h) { return h.joyButtonUp(joystick, button); });
}

bool EventRouter::quit()
{
    return forward([&](EventHandler& h) { return h.quit(); });
}

bool EventRouter::userEvent(std::int32_t code, void* data1, void* data2)
{
    return forward([&](EventHandler& h) { return h.userEvent(code, data1, data2); });
}

} // namespace Fernhouse::Base
