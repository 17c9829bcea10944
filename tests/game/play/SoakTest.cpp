#include "engine/base/EventRouter.h"
#include "engine/base/Point.h"
#include "engine/base/Random.h"

#include "game/ai/AIControl.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/GameType.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/game/play/RoundScript.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using Tarvo::Apple;
using Tarvo::GameEngine;
using Tarvo::MapFile;
using Tarvo::WormSprite;

namespace
{

// Twenty-four thousand steps in all, in four processes that can run side by side, each well within the
// sanitizer build's time limit.
constexpr int Parts = 4;
constexpr int StepsPerPart = 24000 / Parts;
constexpr std::int32_t MapWidth = 40;
constexpr std::int32_t MapHeight = 30;
constexpr std::int32_t Obstacles = 30;
// Every round ends by time at the latest.
constexpr std::int32_t TimeLimit = 20000;
constexpr std::uint32_t FrameLengths[] = {16, 33, 50, 100, 250};
constexpr std::int32_t GameTypes[] = {Tarvo::GAME_NONE, Tarvo::GAME_ENEMIES, Tarvo::GAME_SURVIVE,
                                      Tarvo::GAME_LENGTH, Tarvo::GAME_APPLES};

bool isWall(const MapFile& map, std::int32_t x, std::int32_t y)
{
    if (x < 0 || y < 0 || x >= map.getWidth() || y >= map.getHeight())
    {
        return true;
    }
    return map.getTile(GameEngine::WallLayer, x, y) != MapFile::EmptyCell;
}

bool sameBody(const std::vector<WormSprite::Segment>& a, const std::vector<WormSprite::Segment>& b)
{
    if (a.size() != b.size())
    {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].tile != b[i].tile)
        {
            return false;
        }
    }
    return true;
}

// Watches one round step by step.
class Invariants
{
public:
    explicit Invariants(const GameEngine& engine) : m_engine(engine) {}

    // After each step; runningBefore tells whether the round was still on when the step began.
    ::testing::AssertionResult check(bool runningBefore)
    {
        const MapFile& map = *m_engine.getMap();
        for (const WormSprite* worm : m_engine.getWorms())
        {
            const std::vector<WormSprite::Segment>& body = worm->getBody();
            if (body.size() > WormSprite::MaxLength || worm->getLength() > WormSprite::MaxLength)
            {
                return ::testing::AssertionFailure() << worm->getName() << " is " << body.size() << " long";
            }
            const auto dead = m_dead.find(worm);
            if (dead != m_dead.end())
            {
                if (!worm->isDead() || !sameBody(body, dead->second))
                {
                    return ::testing::AssertionFailure() << worm->getName() << " came back to life or moved";
                }
                continue;
            }
            if (worm->isDead())
            {
                m_dead.emplace(worm, body);
                m_headOnWall.erase(worm);
                continue;
            }
            // A head that moved onto a wall is judged in the next step, unless the round ended meanwhile.
            if (runningBefore && m_headOnWall.count(worm) != 0)
            {
                return ::testing::AssertionFailure()
                       << worm->getName() << " lives on with its head in a wall";
            }
            m_headOnWall.erase(worm);
            if (isWall(map, body.front().x, body.front().y))
            {
                m_headOnWall.insert(worm);
            }
            for (std::size_t i = 1; i < body.size(); ++i)
            {
                if (isWall(map, body[i].x, body[i].y))
                {
                    return ::testing::AssertionFailure()
                           << worm->getName() << " is alive with a body in a wall";
                }
            }
        }
        // The engine's cell test agrees with the walls and the bodies as they lie.
        const auto width = static_cast<std::size_t>(map.getWidth());
        m_covered.assign(width * static_cast<std::size_t>(map.getHeight()), false);
        for (const WormSprite* worm : m_engine.getWorms())
        {
            for (const WormSprite::Segment& segment : worm->getBody())
            {
                if (!isWall(map, segment.x, segment.y))
                {
                    m_covered[static_cast<std::size_t>(segment.y) * width +
                              static_cast<std::size_t>(segment.x)] = true;
                }
            }
        }
        for (std::int32_t y = 0; y < map.getHeight(); ++y)
        {
            for (std::int32_t x = 0; x < map.getWidth(); ++x)
            {
                const bool free =
                    !isWall(map, x, y) &&
                    !m_covered[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)];
                if (m_engine.isFree(Fernhouse::Base::Point(x, y), false) != free)
                {
                    return ::testing::AssertionFailure() << "the engine misjudges cell " << x << "," << y;
                }
            }
        }

        std::set<std::pair<std::int32_t, std::int32_t>> cells;
        for (const Apple* apple : m_engine.getApplePainter()->getApples())
        {
            const auto cell = std::make_pair(apple->getCell().x, apple->getCell().y);
            if (isWall(map, cell.first, cell.second))
            {
                return ::testing::AssertionFailure() << "an apple lies in a wall";
            }
            if (!cells.insert(cell).second)
            {
                return ::testing::AssertionFailure() << "two apples share a cell";
            }
        }
        return ::testing::AssertionSuccess();
    }

    std::size_t getDeaths() const { return m_dead.size(); }

private:
    const GameEngine& m_engine;
    std::map<const WormSprite*, std::vector<WormSprite::Segment>> m_dead;
    std::set<const WormSprite*> m_headOnWall;
    std::vector<bool> m_covered;
};

class SoakTest : public RoundSupport::RoundTest, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        if (HasFatalFailure())
        {
            return;
        }
        std::filesystem::create_directory(dir().path() / "ai");
        RoundSupport::writePersonalities(dir().file("ai"));
    }
};

} // namespace

TEST_P(SoakTest, CrowdedRoundsBackToBackKeepTheInvariantsAfterEveryStep)
{
    const int part = GetParam();
    Fernhouse::Base::seedRandom(static_cast<unsigned>(part) + 1);
    const auto& personalities = RoundSupport::personalities();
    int steps = 0;
    int rounds = 0;
    std::size_t deaths = 0;
    std::uint32_t applesEaten = 0;
    while (steps < StepsPerPart)
    {
        const auto variant = static_cast<std::uint32_t>(rounds + part * 1000);
        const std::string mapPath = dir().file("maps/soak.map");
        RoundSupport::writeCrowdedMap(mapPath, MapWidth, MapHeight, variant, Obstacles);
        GameEngine& round = makeEngine(mapPath);
        round.setGame(GameTypes[variant % std::size(GameTypes)], 60, TimeLimit);
        const bool twoPlayers = rounds % 3 == 2;
        addHuman("one", RoundSupport::arrowKeys());
        if (twoPlayers)
        {
            addHuman("two", RoundSupport::letterKeys());
        }
        for (std::size_t i = 0; round.getWormCount() < round.getStartPointCount(); ++i)
        {
            const std::string name = personalities[(i + variant) % personalities.size()].name;
            round.addPlayer(name, new Tarvo::AIControl(name, &round), RoundSupport::FlatSkin, 0);
        }
        startRound();

        RoundSupport::ScriptedHuman one(RoundSupport::arrowKeys(), variant);
        RoundSupport::ScriptedHuman two(RoundSupport::letterKeys(), variant + 1000);
        const std::uint32_t frameMs = FrameLengths[variant % std::size(FrameLengths)];
        Invariants invariants(round);
        while (steps < StepsPerPart && round.getEndTime() == 0 && !round.isFinished())
        {
            one.play(round, round.getPlayer1(), router());
            two.play(round, round.getPlayer2(), router());
            frame(frameMs);
            ++steps;
            ASSERT_TRUE(invariants.check(true)) << "round " << rounds << ", step " << steps;
        }
        // The step that ends a round still moves the worms; the next one must freeze them.
        frame(frameMs);
        ++steps;
        ASSERT_TRUE(invariants.check(round.getEndTime() == 0)) << "round " << rounds << " after its end";

        deaths += invariants.getDeaths();
        for (const WormSprite* worm : round.getWorms())
        {
            for (std::size_t kind = 0; kind < WormSprite::AppleKinds; ++kind)
            {
                applesEaten += worm->getApplesEaten(kind);
            }
        }
        ++rounds;
    }
    // A soak that never plays proves nothing: many rounds, many deaths, many apples.
    EXPECT_GT(rounds, 3);
    EXPECT_GT(deaths, static_cast<std::size_t>(rounds) * 5);
    EXPECT_GT(applesEaten, static_cast<std::uint32_t>(rounds) * 3);
    RecordProperty("rounds", rounds);
    RecordProperty("deaths", static_cast<int>(deaths));
    RecordProperty("applesEaten", static_cast<int>(applesEaten));
}

INSTANTIATE_TEST_SUITE_P(SixThousandStepsEach, SoakTest, ::testing::Range(0, Parts));
