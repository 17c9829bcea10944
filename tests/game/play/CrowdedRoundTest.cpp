#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/base/Random.h"

#include "game/ai/AIControl.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/GameType.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

using Tarvo::GameEngine;
using Tarvo::WormSprite;

namespace
{

// Computer players: name, then mission, reach, speed and skill, one a line.
const char* const Personalities[][2] = {{"glutton", "eat\n0\n100\n100"},  {"picky", "eat\n4\n120\n90"},
                                        {"dreamer", "eat\n20\n80\n30"},   {"blind", "eat\n0\n100\n0"},
                                        {"hunter", "kill\n0\n110\n85"},   {"stalker", "kill\n0\n140\n60"},
                                        {"coward", "survive\n0\n90\n95"}, {"sleepy", "survive\n0\n50\n20"},
                                        {"racer", "eat\n15\n300\n100"},   {"crawler", "kill\n0\n30\n100"}};

// Plays a keyboard worm through its keys, once per cell, the way the glutton would steer it. Its rolls
// come from the game's random sequence, in a fixed order, so a round still replays exactly.
class Pilot
{
public:
    Pilot(GameEngine& engine, WormSprite* worm, const Fernhouse::IO::KeySet& keys)
        : m_ai("glutton", &engine),
          m_worm(worm),
          m_keys(keys)
    {
        m_ai.setWorm(worm);
    }

    void play(Fernhouse::Base::EventRouter& router)
    {
        const Fernhouse::Base::Point head(m_worm->getHead().x, m_worm->getHead().y);
        if (m_worm->isDead() || head == m_last)
        {
            return;
        }
        m_last = head;
        const std::uint32_t direction = m_ai.getDirection();
        for (const auto& [bit, key] : {std::pair{Tarvo::AIControl::Left, m_keys.left},
                                       {Tarvo::AIControl::Right, m_keys.right},
                                       {Tarvo::AIControl::Up, m_keys.up},
                                       {Tarvo::AIControl::Down, m_keys.down}})
        {
            if (direction == static_cast<std::uint32_t>(bit))
            {
                router.keyDown(key, false, false, false);
            }
        }
    }

private:
    Tarvo::AIControl m_ai;
    WormSprite* m_worm;
    Fernhouse::IO::KeySet m_keys;
    Fernhouse::Base::Point m_last{-1, -1};
};

class CrowdedRound : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        std::filesystem::create_directory(dir().path() / "ai");
        for (const auto& personality : Personalities)
        {
            dir().writeFile("ai/" + std::string(personality[0]) + ".ai",
                            RoundSupport::FlatSkin + "\n" + personality[1] + "\n");
        }
    }

    // A walled field with obstacles, start points on a grid over it, each with the two cells below
    // cleared since worms start downwards; one human, or two, and computers on every other start point.
    GameEngine& crowdedRound(int width, int height, std::uint32_t seed, int obstacles, int humans,
                             std::int32_t type, std::int32_t limit)
    {
        std::vector<std::string> rows = RoundSupport::field(width, height);
        std::minstd_rand generator(seed);
        const auto pick = [&](int from, int to) {
            return std::uniform_int_distribution<int>(from, to)(generator);
        };
        for (int i = 0; i < obstacles; ++i)
        {
            const int w = pick(1, 3), h = pick(1, 3), left = pick(1, width - 1 - w),
                      top = pick(1, height - 1 - h);
            for (int y = top; y < top + h; ++y)
            {
                rows[static_cast<std::size_t>(y)].replace(static_cast<std::size_t>(left),
                                                          static_cast<std::size_t>(w),
                                                          static_cast<std::size_t>(w), '#');
            }
        }
        char number = '1';
        for (std::size_t y = 2; y + 3 < rows.size(); y += 6)
        {
            for (std::size_t x = 3; x + 2 < rows[y].size(); x += 7)
            {
                rows[y][x] = number++;
                rows[y + 1][x] = rows[y + 2][x] = '.';
            }
        }
        GameEngine& round = makeEngine(writeMap("crowded", rows));
        round.setGame(type, 60, limit);
        addHuman("one", RoundSupport::arrowKeys());
        if (humans == 2)
        {
            addHuman("two", RoundSupport::letterKeys());
        }
        for (std::size_t i = seed; round.getWormCount() < round.getStartPointCount(); ++i)
        {
            const char* name = Personalities[i % std::size(Personalities)][0];
            round.addPlayer(name, new Tarvo::AIControl(name, &round), RoundSupport::FlatSkin, 0);
        }
        startRound();
        m_pilots.clear();
        m_pilots.emplace_back(std::make_unique<Pilot>(round, round.getPlayer1(), RoundSupport::arrowKeys()));
        if (humans == 2)
        {
            m_pilots.emplace_back(
                std::make_unique<Pilot>(round, round.getPlayer2(), RoundSupport::letterKeys()));
        }
        return round;
    }

    // The pilots press their keys, then a frame.
    void step(std::uint32_t frameMs)
    {
        for (const auto& pilot : m_pilots)
        {
            pilot->play(router());
        }
        frame(frameMs);
    }

    static std::uint32_t applesEaten(const GameEngine& round)
    {
        std::uint32_t eaten = 0;
        for (const WormSprite* worm : round.getWorms())
        {
            for (std::size_t kind = 0; kind < WormSprite::AppleKinds; ++kind)
            {
                eaten += worm->getApplesEaten(kind);
            }
        }
        return eaten;
    }

    std::vector<std::unique_ptr<Pilot>> m_pilots;
};

// Watches one round step by step.
class Invariants
{
public:
    explicit Invariants(const GameEngine& engine) : m_engine(engine), m_map(*engine.getMap()) {}

    // After each step; running tells whether the round was still on when the step began.
    ::testing::AssertionResult check(bool running)
    {
        std::set<std::pair<int, int>> covered;
        for (const WormSprite* worm : m_engine.getWorms())
        {
            const std::vector<WormSprite::Segment>& body = worm->getBody();
            for (const WormSprite::Segment& segment : body)
            {
                covered.insert({segment.x, segment.y});
            }
            if (body.size() > WormSprite::MaxLength || worm->getLength() != body.size())
            {
                return ::testing::AssertionFailure() << worm->getName() << " is " << body.size() << " long";
            }
            const auto dead = m_dead.find(worm);
            if (dead != m_dead.end() && (!worm->isDead() || cells(body) != dead->second))
            {
                return ::testing::AssertionFailure() << worm->getName() << " came back to life or moved";
            }
            if (worm->isDead())
            {
                m_dead.emplace(worm, cells(body));
                continue;
            }
            // A head that moved onto a wall is judged in the next step, unless the round ended meanwhile.
            if (running && m_headOnWall.count(worm) != 0)
            {
                return ::testing::AssertionFailure()
                       << worm->getName() << " lives on with its head in a wall";
            }
            m_headOnWall.erase(worm);
            for (std::size_t i = 0; i < body.size(); ++i)
            {
                if (isWall(body[i].x, body[i].y) && i > 0)
                {
                    return ::testing::AssertionFailure()
                           << worm->getName() << " is alive with a body in a wall";
                }
                if (isWall(body[i].x, body[i].y))
                {
                    m_headOnWall.insert(worm);
                }
            }
        }
        // The engine's cell test agrees with the walls and the bodies as they lie.
        for (int y = 0; y < m_map.getHeight(); ++y)
        {
            for (int x = 0; x < m_map.getWidth(); ++x)
            {
                if (m_engine.isFree({x, y}, false) != (!isWall(x, y) && covered.count({x, y}) == 0))
                {
                    return ::testing::AssertionFailure() << "the engine misjudges cell " << x << "," << y;
                }
            }
        }
        std::set<std::pair<int, int>> apples;
        for (const Tarvo::Apple* apple : m_engine.getApplePainter()->getApples())
        {
            if (isWall(apple->getCell().x, apple->getCell().y) ||
                !apples.insert({apple->getCell().x, apple->getCell().y}).second)
            {
                return ::testing::AssertionFailure() << "an apple lies in a wall or on another";
            }
        }
        return ::testing::AssertionSuccess();
    }

    std::size_t getDeaths() const { return m_dead.size(); }

private:
    bool isWall(int x, int y) const
    {
        return x < 0 || y < 0 || x >= m_map.getWidth() || y >= m_map.getHeight() ||
               m_map.getTile(GameEngine::WallLayer, x, y) != Tarvo::MapFile::EmptyCell;
    }

    static std::vector<std::int32_t> cells(const std::vector<WormSprite::Segment>& body)
    {
        std::vector<std::int32_t> result;
        for (const WormSprite::Segment& segment : body)
        {
            result.insert(result.end(), {segment.x, segment.y, segment.tile});
        }
        return result;
    }

    const GameEngine& m_engine;
    const Tarvo::MapFile& m_map;
    std::map<const WormSprite*, std::vector<std::int32_t>> m_dead;
    std::set<const WormSprite*> m_headOnWall;
};

class CrowdedSoak : public CrowdedRound, public ::testing::WithParamInterface<int>
{
};

} // namespace

TEST_F(CrowdedRound, SameMapPlayersAndRandomStateReplayIdenticallyForTwoThousandSteps)
{
    // Rounds from the given random state, the next begun as soon as one ends; the clocks stand where they
    // stood for every other run. Each step's worms (state, direction, body) and apples (kind, cell).
    const auto play = [&](unsigned seed, int& rounds, std::uint32_t& eaten) {
        dropEngine();
        clock().set(StartTicks);
        Fernhouse::Base::GameTime::getInstance()->reset();
        Fernhouse::Base::GameTime::getInstance()->start();
        Fernhouse::Base::seedRandom(seed);
        std::vector<std::vector<std::int32_t>> steps;
        while (steps.size() < 2000)
        {
            GameEngine& round = crowdedRound(40, 26, 7, 10, 1, Tarvo::GAME_NONE, 0);
            passStartDelay();
            ++rounds;
            for (; steps.size() < 2000 && round.getEndTime() == 0; step(40))
            {
                std::vector<std::int32_t>& world = steps.emplace_back();
                for (const WormSprite* worm : round.getWorms())
                {
                    world.insert(world.end(), {static_cast<std::int32_t>(worm->getState()),
                                               static_cast<std::int32_t>(worm->getDirection())});
                    for (const WormSprite::Segment& segment : worm->getBody())
                    {
                        world.insert(world.end(), {segment.x, segment.y});
                    }
                }
                for (const Tarvo::Apple* apple : round.getApplePainter()->getApples())
                {
                    world.insert(world.end(), {apple->getKind(), apple->getCell().x, apple->getCell().y});
                }
            }
            eaten += applesEaten(round);
        }
        return steps;
    };
    int rounds = 0;
    std::uint32_t eaten = 0;
    const auto first = play(2024, rounds, eaten);
    int againRounds = 0;
    std::uint32_t againEaten = 0;
    const auto second = play(2024, againRounds, againEaten);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i)
    {
        ASSERT_EQ(first[i], second[i]) << "the runs part at step " << i;
    }
    // The replay proves something only if the rounds were lively and depend on the random state.
    EXPECT_LT(rounds, 10);
    EXPECT_GT(eaten, 10u);
    EXPECT_NE(play(2025, againRounds, againEaten).back(), first.back());
}

TEST_P(CrowdedSoak, RoundsBackToBackKeepTheInvariantsAfterEveryStep)
{
    constexpr int Steps = 6000;
    constexpr std::uint32_t FrameLengths[] = {16, 33, 50, 100, 250};
    constexpr std::int32_t Types[] = {Tarvo::GAME_NONE, Tarvo::GAME_ENEMIES, Tarvo::GAME_SURVIVE,
                                      Tarvo::GAME_LENGTH, Tarvo::GAME_APPLES};
    Fernhouse::Base::seedRandom(static_cast<unsigned>(GetParam()) + 1);
    int steps = 0;
    int rounds = 0;
    std::size_t deaths = 0;
    std::uint32_t eaten = 0;
    for (; steps < Steps; ++rounds)
    {
        const auto variant = static_cast<std::uint32_t>(rounds + GetParam() * 1000);
        // Every round ends by time at the latest.
        GameEngine& round = crowdedRound(40, 30, variant, 30, rounds % 3 == 2 ? 2 : 1,
                                         Types[variant % std::size(Types)], 20000);
        const std::uint32_t frameMs = FrameLengths[variant % std::size(FrameLengths)];
        Invariants invariants(round);
        for (; steps < Steps && round.getEndTime() == 0; ++steps)
        {
            step(frameMs);
            ASSERT_TRUE(invariants.check(true)) << "round " << rounds << ", step " << steps;
        }
        // The step that ends a round still moves the worms; the next one must freeze them.
        step(frameMs);
        ++steps;
        ASSERT_TRUE(invariants.check(round.getEndTime() == 0)) << "round " << rounds << " after its end";
        deaths += invariants.getDeaths();
        eaten += applesEaten(round);
    }
    // A soak that never plays proves nothing: many rounds, many deaths, many apples.
    EXPECT_GT(rounds, 3);
    EXPECT_GT(deaths, static_cast<std::size_t>(rounds) * 5);
    EXPECT_GT(eaten, static_cast<std::uint32_t>(rounds) * 3);
    RecordProperty("rounds", rounds);
    RecordProperty("deaths", static_cast<int>(deaths));
    RecordProperty("applesEaten", static_cast<int>(eaten));
}

// Twenty-four thousand steps in all, in four processes that can run side by side.
INSTANTIATE_TEST_SUITE_P(SixThousandStepsEach, CrowdedSoak, ::testing::Range(0, 4));
