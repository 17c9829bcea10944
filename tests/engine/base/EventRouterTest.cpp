#include "engine/base/EventRouter.h"

#include "tests/support/GLWindow.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Fernhouse::Base;

namespace
{

// Records what it receives into a shared log and consumes when told to.
class RecordingHandler final : public EventHandler
{
public:
    RecordingHandler(std::string name, std::vector<std::string>& log, bool consume = false)
        : m_name(std::move(name)),
          m_log(log),
          m_consume(consume)
    {
    }

    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override
    {
        m_log.push_back(m_name + ":down" + std::to_string(key) + (ctrl ? "c" : "") + (shift ? "s" : "") +
                        (alt ? "a" : ""));
        return m_consume;
    }

    bool keyUp(SDLKey key, bool, bool, bool) override
    {
        m_log.push_back(m_name + ":up" + std::to_string(key));
        return m_consume;
    }

    bool quit() override
    {
        m_log.push_back(m_name + ":quit");
        return m_consume;
    }

    bool userEvent(std::int32_t code, void* data1, void* data2) override
    {
        m_log.push_back(m_name + ":user" + std::to_string(code));
        m_data1 = data1;
        m_data2 = data2;
        return m_consume;
    }

    void* m_data1 = nullptr;
    void* m_data2 = nullptr;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    bool m_consume;
};

// On its first key it leaves the router, brings in its replacement, drops a handler not yet asked and
// passes the key on, as the settings panels swap their selectors.
class SwappingHandler final : public EventHandler
{
public:
    SwappingHandler(EventRouter& router, EventHandler& replacement, EventHandler& dropped,
                    std::vector<std::string>& log)
        : m_router(router),
          m_replacement(replacement),
          m_dropped(dropped),
          m_log(log)
    {
    }

    bool keyDown(SDLKey key, bool, bool, bool) override
    {
        m_log.push_back("S:down" + std::to_string(key));
        m_router.removeHandler(this);
        m_router.addHandler(&m_replacement);
        m_router.removeHandler(&m_dropped);
        return false;
    }

private:
    EventRouter& m_router;
    EventHandler& m_replacement;
    EventHandler& m_dropped;
    std::vector<std::string>& m_log;
};

void pushKey(Uint8 type, SDLKey key, SDLMod mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

class EventRouterTest : public TestSupport::GLTest
{
protected:
    EventRouter m_router;
    std::vector<std::string> m_log;
};

} // namespace

TEST_F(EventRouterTest, NewestHandlerIsAskedFirstAndConsumptionStopsTheWalk)
{
    RecordingHandler a("A", m_log);
    RecordingHandler b("B", m_log, true);
    m_router.addHandler(&a);
    m_router.addHandler(&b);

    pushKey(SDL_KEYDOWN, SDLK_UP);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"B:down273"}));

    m_router.removeHandler(&b);
    m_log.clear();
    pushKey(SDL_KEYUP, SDLK_UP);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"A:up273"}));
}

TEST_F(EventRouterTest, UnconsumedEventReachesEveryHandlerNewestFirst)
{
    RecordingHandler a("A", m_log);
    RecordingHandler b("B", m_log);
    m_router.addHandler(&a);
    m_router.addHandler(&b);
    pushKey(SDL_KEYDOWN, SDLK_a);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"B:down97", "A:down97"}));
}

TEST_F(EventRouterTest, QuitInMidQueueDeliversEarlierEventsAndLeavesLaterOnesQueued)
{
    RecordingHandler a("A", m_log);
    m_router.addHandler(&a);
    pushKey(SDL_KEYDOWN, SDLK_LEFT);
    m_router.pushQuit();
    pushKey(SDL_KEYDOWN, SDLK_RIGHT);

    EXPECT_FALSE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"A:down276", "A:quit"}));

    m_log.clear();
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"A:down275"}));
}

TEST_F(EventRouterTest, EmptyListDropsEventsButStillReportsQuit)
{
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_TRUE(m_router.poll());
    m_router.pushQuit();
    EXPECT_FALSE(m_router.poll());
}

TEST_F(EventRouterTest, HandlerAddedTwiceHearsTwiceAndRemovalTakesBoth)
{
    RecordingHandler a("A", m_log);
    RecordingHandler stranger("S", m_log);
    m_router.addHandler(&a);
    m_router.addHandler(&a);
    m_router.removeHandler(&stranger);
    pushKey(SDL_KEYDOWN, SDLK_b);
    m_router.poll();
    EXPECT_EQ(m_log, (std::vector<std::string>{"A:down98", "A:down98"}));

    m_router.removeHandler(&a);
    EXPECT_TRUE(m_router.getHandlers().empty());
}

TEST_F(EventRouterTest, HandlersChangedMidWalkAreAskedOnlyFromTheNextEventOn)
{
    RecordingHandler older("A", m_log);
    RecordingHandler dropped("D", m_log);
    RecordingHandler replacement("R", m_log);
    m_router.addHandler(&older);
    m_router.addHandler(&dropped);
    m_router.addHandler(&older); // asked twice, once on either side of the dropped one
    SwappingHandler swapping(m_router, replacement, dropped, m_log);
    m_router.addHandler(&swapping);

    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_b);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"S:down97", "A:down97", "A:down97", "R:down98", "A:down98",
                                               "A:down98"}));
    EXPECT_EQ(m_router.getHandlers(), (std::vector<EventHandler*>{&replacement, &older, &older}));
}

TEST_F(EventRouterTest, ModifierMasksBecomeFlags)
{
    RecordingHandler a("A", m_log);
    m_router.addHandler(&a);
    pushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    pushKey(SDL_KEYDOWN, SDLK_x, static_cast<SDLMod>(KMOD_LCTRL | KMOD_RSHIFT));
    pushKey(SDL_KEYDOWN, SDLK_y, KMOD_NUM);
    m_router.poll();
    EXPECT_EQ(m_log, (std::vector<std::string>{"A:down13a", "A:down120cs", "A:down121"}));
}

TEST_F(EventRouterTest, UserEventCarriesCodeAndData)
{
    RecordingHandler a("A", m_log);
    m_router.addHandler(&a);
    int payload1 = 0;
    int payload2 = 0;
    m_router.pushUserEvent(-7, &payload1, &payload2);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (std::vector<std::string>{"A:user-7"}));
    EXPECT_EQ(a.m_data1, &payload1);
    EXPECT_EQ(a.m_data2, &payload2);
}

TEST_F(EventRouterTest, RouterIsTheSingletonWhileItLives)
{
    EXPECT_EQ(EventRouter::getInstance(), &m_router);
}
