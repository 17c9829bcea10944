#include "game/ai/AIControl.h"
#include "game/play/GameType.h"

#include "tests/game/play/RoundFixture.h"

#include <map>
#include <numeric>
#include <random>

using namespace RoundSupport;

namespace
{

// Computer players: name, then mission, reach, speed and skill, one a line.
const char* const Personalities[][2] = {{"glutton", "eat\n0\n100\n100"},  {"picky", "eat\n4\n120\n90"},
                                        {"dreamer", "eat\n20\n80\n30"},   {"blind", "eat\n0\n100\n0"},
                                        {"hunter", "kill\n0\n110\n85"},   {"stalker", "kill\n0\n140\n60"},
                                        {"coward", "survive\n0\n90\n95"}, {"sleepy", "survive\n0\n50\n20"},
                                        {"racer", "eat\n15\n300\n100"},   {"crawler", "kill\n0\n30\n100"}};
constexpr std::uint32_t FrameLengths[] = {16, 33, 50, 100, 250};
constexpr std::int32_t Types[] = {GAME_NONE, GAME_ENEMIES, GAME_SURVIVE, GAME_LENGTH, GAME_APPLES};

// Plays a keyboard worm through its keys, once per cell, as the glutton would steer it. Its rolls come from
// the game's random sequence in a fixed order, so a round still replays exactly.
struct Pilot
{
    void play(Fernhouse::Base::EventRouter& router)
    {
        const Point head(worm->getHead().x, worm->getHead().y);
        const SDLKey byBit[9] = {SDLK_UNKNOWN, keys.left,    keys.right,   SDLK_UNKNOWN, keys.up,
                                 SDLK_UNKNOWN, SDLK_UNKNOWN, SDLK_UNKNOWN, keys.down};
        if (!worm->isDead() && std::exchange(last, head) != head)
        {
            router.keyDown(byBit[ai.getDirection()], false, false, false);
        }
    }

    GameEngine& engine;
    WormSprite* worm;
    Fernhouse::IO::KeySet keys;
    AIControl ai{"glutton", &engine};
    Point last{-1, -1};
};

// A round step by step: no worm past the longest; the dead stay as they died; a living worm has no body in
// a wall, and a head that entered one dies in the next step unless the round ended; the engine's free
// cells are exactly those without wall or body; apples lie on distinct cells outside walls. Hashes each
// step's worms (state, direction, body) and apples (kind, cell). Allocates nothing once warm: the soaks
// run under the sanitizers, whose every allocation records a stack.
struct Invariants
{
    Invariants(const GameEngine& round, const MapFile& field) : engine(round), map(field) {}

    bool isWall(int x, int y) const
    {
        return x < 0 || y < 0 || x >= map.getWidth() || y >= map.getHeight() ||
               map.getTile(GameEngine::WallLayer, x, y) != MapFile::EmptyCell;
    }

    // Marks a cell in the grid for this step; false when it was marked already.
    bool mark(std::vector<int>& grid, int x, int y) const
    {
        return std::exchange(grid.at(static_cast<std::size_t>(y * map.getWidth() + x)), stamp) != stamp;
    }

    // Folds the values gathered in the scratch list into the step's hash.
    void fold()
    {
        const std::string_view bytes(reinterpret_cast<const char*>(cells.data()),
                                     cells.size() * sizeof(cells[0]));
        world = world * 31 + std::hash<std::string_view>()(bytes);
    }

    ::testing::AssertionResult check(bool running)
    {
        ++stamp;
        covered.resize(static_cast<std::size_t>(map.getWidth() * map.getHeight()));
        apples.resize(covered.size());
        world = 0;
        for (const WormSprite* worm : engine.getWorms())
        {
            cells.assign({static_cast<std::int32_t>(worm->getState()),
                          static_cast<std::int32_t>(worm->getDirection())});
            bool bodyInWall = false;
            for (const WormSprite::Segment& segment : worm->getBody())
            {
                mark(covered, segment.x, segment.y);
                cells.insert(cells.end(), {segment.x, segment.y, segment.tile});
                bodyInWall = bodyInWall || (isWall(segment.x, segment.y) && cells.size() > 5);
            }
            const auto died = dead.find(worm);
            if (worm->getBody().size() > WormSprite::MaxLength ||
                worm->getLength() != worm->getBody().size() ||
                (died != dead.end() && (!worm->isDead() || cells != died->second)) ||
                (!worm->isDead() && (bodyInWall || (running && headInWall.count(worm) != 0))))
            {
                return ::testing::AssertionFailure() << worm->getName() << " breaks a rule of its body";
            }
            fold();
            if (worm->isDead() && died == dead.end())
            {
                dead.emplace(worm, cells);
            }
            else if (!worm->isDead() && isWall(worm->getHead().x, worm->getHead().y))
            {
                headInWall.insert(worm);
            }
        }
        for (int i = 0; i < map.getWidth() * map.getHeight(); ++i)
        {
            const int x = i % map.getWidth(), y = i / map.getWidth();
            if (engine.isFree({x, y}, false) !=
                (!isWall(x, y) && covered[static_cast<std::size_t>(i)] != stamp))
            {
                return ::testing::AssertionFailure() << "the engine misjudges cell " << x << "," << y;
            }
        }
        cells.clear();
        for (const Apple* apple : engine.getApplePainter()->getApples())
        {
            const auto cell = apple->getCell();
            cells.insert(cells.end(), {apple->getKind(), cell.x, cell.y});
            if (isWall(cell.x, cell.y) || !mark(apples, cell.x, cell.y))
            {
                return ::testing::AssertionFailure() << "an apple lies in a wall or on another";
            }
        }
        fold();
        return ::testing::AssertionSuccess();
    }

    const GameEngine& engine;
    const MapFile& map;
    std::map<const WormSprite*, std::vector<std::int32_t>> dead;
    std::set<const WormSprite*> headInWall;
    std::uint64_t world = 0;
    // Scratch, kept between steps: a cell holds the number of the step that last marked it.
    int stamp = 0;
    std::vector<int> covered, apples;
    std::vector<std::int32_t> cells;
};

class CrowdedRounds : public RoundTest, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        std::filesystem::create_directory(dir().path() / "ai");
        for (const auto& personality : Personalities)
        {
            dir().written("ai/" + std::string(personality[0]) + ".ai",
                          FlatSkin + "\n" + personality[1] + "\n");
        }
    }

    struct Run
    {
        int rounds = 0;
        std::size_t deaths = 0;
        std::uint32_t eaten = 0;
        std::vector<std::uint64_t> trace; // each step's hash
    };

    // Rounds back to back from the random state, with the clocks where every run starts them, for the
    // number of steps, the invariants checked after each. Each round on a walled field of 40 x 30 cells
    // with obstacles and start points on a grid, each with the two cells below cleared since worms start
    // downwards; one human, every third round two, and computers on every other start point.
    Run soak(unsigned seed, int steps)
    {
        dropEngine();
        clock().set(StartTicks);
        Fernhouse::Base::GameTime::getInstance()->reset();
        Fernhouse::Base::GameTime::getInstance()->start();
        Fernhouse::Base::seedRandom(seed);
        Run run;
        for (int step = 0; step < steps && !HasFailure(); ++run.rounds)
        {
            const auto variant = static_cast<std::uint32_t>(run.rounds) + seed * 1000;
            std::vector<std::string> rows = field(40, 30);
            std::minstd_rand generator(variant);
            const auto pick = [&](int from, int to) {
                return std::uniform_int_distribution<int>(from, to)(generator);
            };
            for (int i = 0; i < 30; ++i)
            {
                const int w = pick(1, 3), h = pick(1, 3), left = pick(1, 39 - w), top = pick(1, 29 - h);
                for (int y = top; y < top + h; ++y)
                {
                    rows[y].replace(left, w, w, '#');
                }
            }
            for (std::size_t i = 0; i < 25; ++i)
            {
                const std::size_t x = 3 + 7 * (i % 5), y = 2 + 6 * (i / 5);
                rows[y][x] = static_cast<char>('1' + i);
                rows[y + 1][x] = rows[y + 2][x] = '.';
            }
            // Every round ends by time at the latest.
            GameEngine& round = makeEngine(writeMap("crowded", rows));
            round.setGame(Types[variant % std::size(Types)], 60, 20000);
            std::vector<std::unique_ptr<Pilot>> pilots;
            for (int i = 0; i < (run.rounds % 3 == 2 ? 2 : 1); ++i)
            {
                const auto keys = i == 0 ? arrowKeys() : letterKeys();
                addHuman(i == 0 ? "one" : "two", keys);
                pilots.emplace_back(new Pilot{round, round.getWorms()[i], keys});
                pilots.back()->ai.setWorm(pilots.back()->worm);
            }
            for (std::size_t i = variant; round.getWormCount() < round.getStartPointCount(); ++i)
            {
                const char* name = Personalities[i % std::size(Personalities)][0];
                round.addPlayer(name, new AIControl(name, &round), FlatSkin, 0);
            }
            startRound();
            Invariants invariants(round, *round.getMap());
            // The step that ends a round still moves the worms; one more must find them frozen.
            for (bool running = true; step < steps && running && !HasFailure(); ++step)
            {
                running = round.getEndTime() == 0;
                for (const auto& pilot : pilots)
                {
                    pilot->play(router());
                }
                frame(FrameLengths[variant % std::size(FrameLengths)]);
                EXPECT_TRUE(invariants.check(running)) << "round " << run.rounds << ", step " << step;
                run.trace.push_back(invariants.world);
            }
            run.deaths += invariants.dead.size();
            for (const WormSprite* worm : round.getWorms())
            {
                const auto eaten = worm->getResults().applesEaten;
                run.eaten += std::accumulate(eaten.begin(), eaten.end(), 0u);
            }
        }
        return run;
    }
};

} // namespace

TEST_P(CrowdedRounds, BackToBackKeepTheInvariantsAfterEveryStep)
{
    const Run run = soak(static_cast<unsigned>(GetParam()) + 1, 6000);
    // A soak that never plays proves nothing: many rounds, many deaths, many apples.
    EXPECT_GT(run.rounds, 3);
    EXPECT_GT(run.deaths, static_cast<std::size_t>(run.rounds) * 5);
    EXPECT_GT(run.eaten, static_cast<std::uint32_t>(run.rounds) * 3);
}

// Twenty-four thousand steps in all, in four processes that can run side by side.
INSTANTIATE_TEST_SUITE_P(SixThousandStepsEach, CrowdedRounds, ::testing::Range(0, 4));

TEST_F(CrowdedRounds, ReplayIdenticallyFromTheSameRandomStateAndDifferently)
{
    const Run first = soak(2024, 2000);
    const Run second = soak(2024, 2000);
    const auto parted =
        std::mismatch(first.trace.begin(), first.trace.end(), second.trace.begin(), second.trace.end());
    ASSERT_TRUE(parted.first == first.trace.end() && parted.second == second.trace.end())
        << "the runs part at step " << parted.first - first.trace.begin();
    EXPECT_NE(soak(2025, 2000).trace.back(), first.trace.back());
}
