#include "game/ai/AIControl.h"

#include "engine/base/Exception.h"
#include "engine/base/Point.h"
#include "engine/base/Random.h"

#include "game/ai/AIFile.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/OccupancyGrid.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using Fernhouse::Base::FileNotFoundException;
using Fernhouse::Base::Point;
using Fernhouse::Base::seedRandom;
using Tarvo::AIControl;
using Tarvo::Apple;
using Tarvo::WormSprite;

namespace
{

// A skill above 100 passes every roll.
constexpr std::uint32_t Sharp = 4294967295u;
constexpr std::uint32_t Blind = 0;
constexpr unsigned Seed = 12345;

// An arena with walls around an 11 x 7 field; the humans start in the bottom corners.
const std::vector<std::string> Arena = {
    "#############", //
    "#...........#", //
    "#...........#", //
    "#...........#", //
    "#...........#", //
    "#...........#", //
    "#...........#", //
    "#1.........2#", //
    "#############", //
};
const Point Player1Start(1, 7);
const Point Player2Start(11, 7);

// Where the shared random sequence stands: its next three numbers, read without disturbing a later check.
std::array<int, 3> peekSequence()
{
    return {Fernhouse::Base::random(), Fernhouse::Base::random(), Fernhouse::Base::random()};
}

// How many numbers step drew from the shared sequence, counted against a replay from the same seed.
int drawsDuring(const std::function<void()>& step)
{
    constexpr int MaxDraws = 200;
    seedRandom(Seed);
    step();
    const std::array<int, 3> after = peekSequence();
    seedRandom(Seed);
    std::vector<int> sequence;
    for (int i = 0; i < MaxDraws + 3; ++i)
    {
        sequence.push_back(Fernhouse::Base::random());
    }
    for (std::size_t k = 0; k < MaxDraws; ++k)
    {
        if (sequence[k] == after[0] && sequence[k + 1] == after[1] && sequence[k + 2] == after[2])
        {
            return static_cast<int>(k);
        }
    }
    return -1;
}

// The first seed whose first draws pass and fail the notice roll of the given skill in this pattern.
unsigned seedForRolls(const std::vector<bool>& pattern, std::uint32_t skill)
{
    for (unsigned seed = 1;; ++seed)
    {
        seedRandom(seed);
        bool matches = true;
        for (const bool pass : pattern)
        {
            const auto percentage = static_cast<std::uint32_t>(Fernhouse::Base::random() / 32767.0 * 100.0);
            matches = matches && (skill > percentage) == pass;
        }
        if (matches)
        {
            return seed;
        }
    }
}

// Larger than any field of these tests.
constexpr std::int32_t OutsiderGridSide = 64;

class AIControlTest : public RoundSupport::RoundTest
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
        m_mapPath = writeMap("arena", Arena);
    }

    void TearDown() override
    {
        m_worms.clear();
        RoundTest::TearDown();
    }

    void writeAI(const std::string& name, const std::string& mission, std::uint32_t reach,
                 std::uint32_t skill, std::uint32_t speed = 100)
    {
        std::ofstream(dir().file("ai/" + name + ".ai")) << RoundSupport::FlatSkin << "\n"
                                                        << mission << "\n"
                                                        << reach << "\n"
                                                        << speed << "\n"
                                                        << skill << "\n";
    }

    // A worm of its own, outside the engine's list, steered by a new AIControl that sees the engine's
    // field: its own body is one cell, so only the field blocks its scans.
    AIControl& aiWorm(const std::string& aiName, const Point& start, std::uint32_t direction)
    {
        auto* control = new AIControl(aiName, &engine());
        m_worms.push_back(std::make_unique<WormSprite>(nullptr, aiName, control, nullptr, start, direction,
                                                       WormSprite::ControlAbsolute, &m_outsiders));
        return *control;
    }

    // A started round with one human (two if asked) and no apple but the given ones, in this order.
    void startWithApples(const std::vector<std::pair<std::int32_t, Point>>& wanted, bool twoHumans = false)
    {
        makeEngine(m_mapPath);
        addHuman("one", RoundSupport::arrowKeys());
        if (twoHumans)
        {
            addHuman("two", RoundSupport::letterKeys());
        }
        startRound();
        setApples(wanted);
    }

    void setApples(const std::vector<std::pair<std::int32_t, Point>>& wanted)
    {
        Tarvo::ApplePainter& painter = *engine().getApplePainter();
        stopSpawning();
        // The clock stands still in the start delay, so at most a vanishing apple spawns meanwhile.
        for (int pass = 0; pass < 3 && !apples().empty(); ++pass)
        {
            for (Apple* apple : apples())
            {
                apple->setKind(Apple::Gone);
            }
            painter.update();
        }
        ASSERT_TRUE(apples().empty());
        for (const auto& [kind, cell] : wanted)
        {
            painter.spawnApple();
            ASSERT_FALSE(apples().empty());
            apples().back()->setKind(kind);
            apples().back()->setCell(cell);
        }
    }

    static int stateOf(const AIControl& ai) { return ai.getCurrentState()->getId(); }

    std::string m_mapPath;
    // The cells of worms outside the engine's list, which the engine's field must not count.
    Tarvo::OccupancyGrid m_outsiders{OutsiderGridSide, OutsiderGridSide};

private:
    std::vector<std::unique_ptr<WormSprite>> m_worms;
};

Point targetOf(const AIControl& ai)
{
    return Point(ai.getTargetX(), ai.getTargetY());
}

} // namespace

TEST_F(AIControlTest, WormLinksItselfTakesItsSpeedAndStartsIdleTowardsItsOwnCell)
{
    writeAI("fast", "eat", 0, Sharp, 200);
    writeAI("slow", "eat", 0, Sharp, 50);
    makeEngine(m_mapPath);

    auto* control = new AIControl("fast", &engine());
    const WormSprite fast(nullptr, "fast", control, nullptr, Point(4, 3), WormSprite::Down,
                          WormSprite::ControlAbsolute, &m_outsiders);
    EXPECT_EQ(control->getWorm(), &fast);
    EXPECT_FALSE(fast.isKeyboardControlled());
    EXPECT_FLOAT_EQ(fast.getSpeed(), 6.0f);
    EXPECT_FLOAT_EQ(fast.getTopSpeed(), 6.0f);
    EXPECT_EQ(targetOf(*control), Point(4, 3));
    EXPECT_FALSE(control->isRegistered());
    EXPECT_EQ(control->getAIFile().getName(), "fast");

    // Through the engine, as the front end adds computer players.
    engine().addPlayer("slow", new AIControl("slow", &engine()), RoundSupport::FlatSkin, 0);
    EXPECT_FLOAT_EQ(engine().getWorms().back()->getSpeed(), 1.5f);

    // No apples before the round starts: the first query idles straight on.
    AIControl& ai = aiWorm("fast", Point(6, 3), WormSprite::Down);
    EXPECT_EQ(ai.getCurrentState(), nullptr);
    EXPECT_EQ(ai.getDirection(), 8u);
    EXPECT_EQ(stateOf(ai), AIControl::IdleState);
    EXPECT_FALSE(ai.hasTarget());
    EXPECT_EQ(ai.getFreeDown(), 5);
    EXPECT_EQ(ai.getFreeUp(), 3);
}

TEST_F(AIControlTest, MissingAIFileLeavesNoControl)
{
    makeEngine(m_mapPath);
    try
    {
        const AIControl control("buffy", &engine());
        ADD_FAILURE() << "nothing thrown";
    }
    catch (const FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Couldn't load file: ai/buffy.ai");
    }
}

TEST_F(AIControlTest, WallStraightAheadEvadesInTheSameStepTowardsTheFreerSideTiesTurningDownOrLeft)
{
    writeAI("sharp", "eat", 0, Sharp);
    makeEngine(m_mapPath);

    struct Case
    {
        Point head;
        std::uint32_t direction;
        std::uint32_t expected;
    };

    const Case cases[] = {
        {Point(3, 1), WormSprite::Up, 2},     // 2 free cells left, 8 right
        {Point(6, 1), WormSprite::Up, 1},     // 5 and 5: a tie turns left
        {Point(9, 1), WormSprite::Up, 1},     // 8 left, 2 right
        {Point(11, 6), WormSprite::Right, 4}, // 5 free cells up, 1 down
        {Point(11, 4), WormSprite::Right, 8}, // 3 and 3: a tie turns down
        {Point(11, 2), WormSprite::Right, 8}, // 1 up, 5 down
        {Point(1, 3), WormSprite::Left, 8},   // 2 up, 4 down
        {Point(3, 7), WormSprite::Down, 2},   // the field's bottom row: 2 left, 8 right
    };
    for (const Case& c : cases)
    {
        AIControl& ai = aiWorm("sharp", c.head, c.direction);
        EXPECT_EQ(ai.getDirection(), c.expected) << c.head.x << "," << c.head.y;
        EXPECT_EQ(stateOf(ai), AIControl::EvadeState) << c.head.x << "," << c.head.y;
    }

    // One free cell ahead is no reason to evade.
    AIControl& ai = aiWorm("sharp", Point(6, 2), WormSprite::Up);
    EXPECT_EQ(ai.getDirection(), 4u);
    EXPECT_EQ(stateOf(ai), AIControl::IdleState);
    EXPECT_EQ(ai.getFreeUp(), 2);
}

TEST_F(AIControlTest, SkillZeroNeverScansNeverTargetsAndRunsIntoTheWall)
{
    writeAI("blind", "eat", 0, Blind);
    writeAI("blindHunter", "kill", 0, Blind);
    startWithApples({{Apple::Normal, Point(6, 3)}, {Apple::Rotten, Point(8, 3)}});
    AIControl& eater = aiWorm("blind", Point(6, 1), WormSprite::Up);
    AIControl& hunter = aiWorm("blindHunter", Point(9, 1), WormSprite::Up);

    // One roll per apple that is not bad, one per scan.
    EXPECT_EQ(drawsDuring([&] { eater.getDirection(); }), 5);
    for (unsigned seed = 1; seed <= 300; ++seed)
    {
        seedRandom(seed);
        ASSERT_EQ(eater.getDirection(), 4u);
        ASSERT_EQ(eater.getFreeLeft(), AIControl::NotLooked);
        ASSERT_EQ(eater.getFreeRight(), AIControl::NotLooked);
        ASSERT_EQ(eater.getFreeUp(), AIControl::NotLooked);
        ASSERT_EQ(eater.getFreeDown(), AIControl::NotLooked);
        // Apples exist and reach is unlimited, so it pursues the target it was given: its own start.
        ASSERT_TRUE(eater.hasTarget());
        ASSERT_EQ(targetOf(eater), Point(6, 1));
        ASSERT_NE(stateOf(eater), AIControl::EvadeState);

        ASSERT_EQ(hunter.getDirection(), 4u);
        ASSERT_FALSE(hunter.hasTarget());
        ASSERT_EQ(stateOf(hunter), AIControl::IdleState);
    }
}

TEST_F(AIControlTest, ReachDropsATargetScoringAboveItAndZeroMeansNoLimit)
{
    writeAI("near", "eat", 5, Sharp);
    writeAI("edge", "eat", 6, Sharp);
    writeAI("far", "eat", 0, Sharp);
    // Seven cells away, worth 10 points: a score of 6.
    startWithApples({{Apple::Normal, Point(10, 7)}});

    AIControl& near = aiWorm("near", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(near.getDirection(), 4u);
    EXPECT_FALSE(near.hasTarget());
    EXPECT_EQ(stateOf(near), AIControl::IdleState);

    AIControl& edge = aiWorm("edge", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(edge.getDirection(), 2u);
    EXPECT_TRUE(edge.hasTarget());
    EXPECT_EQ(targetOf(edge), Point(10, 7));
    EXPECT_EQ(stateOf(edge), AIControl::GetAppleState);

    AIControl& far = aiWorm("far", Point(1, 1), WormSprite::Right);
    EXPECT_EQ(far.getDirection(), 2u);
    EXPECT_TRUE(far.hasTarget());

    // A super apple next to the head scores -4, inside any reach.
    setApples({{Apple::Super, Point(7, 4)}});
    EXPECT_EQ(near.getDirection(), 2u);
    EXPECT_TRUE(near.hasTarget());
    EXPECT_EQ(targetOf(near), Point(7, 4));

    // Without apples nothing is selected and the stored target is no longer pursued.
    setApples({});
    EXPECT_EQ(near.getDirection(), 4u);
    EXPECT_FALSE(near.hasTarget());
    EXPECT_EQ(targetOf(near), Point(7, 4));
}

TEST_F(AIControlTest, BadApplesAreNeverChosenAndCostNoRoll)
{
    writeAI("sharp", "eat", 0, Sharp);
    startWithApples({{Apple::Rotten, Point(6, 3)}, {Apple::Beer, Point(5, 4)}, {Apple::Normal, Point(1, 1)}});
    AIControl& ai = aiWorm("sharp", Point(6, 4), WormSprite::Up);

    EXPECT_EQ(drawsDuring([&] { ai.getDirection(); }), 5);
    EXPECT_EQ(targetOf(ai), Point(1, 1));
    // Eaters walk over apples: the beer apple to the left does not block.
    EXPECT_EQ(ai.getFreeLeft(), 6);
    EXPECT_EQ(ai.getDirection(), 1u);

    // Only bad apples: nothing is chosen, no roll is drawn for them, the old target stays.
    setApples({{Apple::Rotten, Point(6, 3)}, {Apple::Beer, Point(5, 4)}});
    EXPECT_EQ(drawsDuring([&] { ai.getDirection(); }), 4);
    EXPECT_TRUE(ai.hasTarget());
    EXPECT_EQ(targetOf(ai), Point(1, 1));
}

TEST_F(AIControlTest, LowestScoreWinsWithPointsCountingAndTheEarlierOfEqualApplesKept)
{
    writeAI("sharp", "eat", 0, Sharp);
    // Two cells away and worth 10 scores 1; three away and worth 50 scores -2.
    startWithApples({{Apple::Normal, Point(6, 2)}, {Apple::Super, Point(9, 4)}});
    AIControl& ai = aiWorm("sharp", Point(6, 4), WormSprite::Up);
    ai.getDirection();
    EXPECT_EQ(targetOf(ai), Point(9, 4));

    // Both score 1; a cake's 20 points count 2 and make up for a cell more.
    setApples({{Apple::Normal, Point(4, 4)}, {Apple::Normal, Point(8, 4)}, {Apple::Cake, Point(6, 1)}});
    ai.getDirection();
    EXPECT_EQ(targetOf(ai), Point(4, 4));
    setApples({{Apple::Normal, Point(8, 4)}, {Apple::Normal, Point(4, 4)}, {Apple::Cake, Point(6, 1)}});
    ai.getDirection();
    EXPECT_EQ(targetOf(ai), Point(8, 4));
    setApples({{Apple::Cake, Point(6, 1)}, {Apple::Normal, Point(8, 4)}});
    ai.getDirection();
    EXPECT_EQ(targetOf(ai), Point(6, 1));
}

TEST_F(AIControlTest, KillTargetsTheFirstHumanUnlessTheSecondIsStrictlyCloserAndNeverTheDead)
{
    writeAI("hunter", "kill", 0, Sharp);
    writeAI("halfHunter", "kill", 0, 50);
    // Kill missions only look while apples lie on the field.
    startWithApples({{Apple::Normal, Point(6, 1)}}, true);

    // Player 2 is 5 cells away, player 1 11.
    AIControl& nearTwo = aiWorm("hunter", Point(9, 4), WormSprite::Up);
    EXPECT_EQ(drawsDuring([&] { nearTwo.getDirection(); }), 6);
    EXPECT_EQ(targetOf(nearTwo), Player2Start);
    // 8 cells from both: the first stays.
    AIControl& middle = aiWorm("hunter", Point(6, 4), WormSprite::Up);
    middle.getDirection();
    EXPECT_EQ(targetOf(middle), Player1Start);
    EXPECT_EQ(middle.getDirection(), 1u);

    // A failed roll hides a human, however close.
    AIControl& half = aiWorm("halfHunter", Point(9, 4), WormSprite::Up);
    seedRandom(seedForRolls({true, false}, 50));
    half.getDirection();
    EXPECT_TRUE(half.hasTarget());
    EXPECT_EQ(targetOf(half), Player1Start);
    seedRandom(seedForRolls({false, true}, 50));
    half.getDirection();
    EXPECT_EQ(targetOf(half), Player2Start);
    seedRandom(seedForRolls({false, false}, 50));
    half.getDirection();
    EXPECT_FALSE(half.hasTarget());

    // The dead draw no roll and are never chosen.
    engine().getPlayer2()->setState(WormSprite::StateDead);
    EXPECT_EQ(drawsDuring([&] { nearTwo.getDirection(); }), 5);
    EXPECT_EQ(targetOf(nearTwo), Player1Start);
    engine().getPlayer1()->setState(WormSprite::StateDead);
    EXPECT_EQ(drawsDuring([&] { nearTwo.getDirection(); }), 4);
    EXPECT_FALSE(nearTwo.hasTarget());
    EXPECT_EQ(nearTwo.getDirection(), 4u);
}

TEST_F(AIControlTest, SurvivorsTreatApplesAsObstaclesAndNeverTarget)
{
    writeAI("coward", "survive", 0, Sharp);
    writeAI("sharp", "eat", 0, Sharp);
    startWithApples({{Apple::Normal, Point(6, 3)}});

    AIControl& survivor = aiWorm("coward", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(survivor.getDirection(), 1u);
    EXPECT_EQ(survivor.getFreeUp(), 1);
    EXPECT_EQ(stateOf(survivor), AIControl::EvadeState);
    EXPECT_FALSE(survivor.hasTarget());

    AIControl& eater = aiWorm("sharp", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(eater.getDirection(), 4u);
    EXPECT_EQ(eater.getFreeUp(), 4);
    EXPECT_EQ(stateOf(eater), AIControl::GetAppleState);
}

TEST_F(AIControlTest, GetAppleTurnsHorizontalFirstButNeverReverses)
{
    writeAI("sharp", "eat", 0, Sharp);
    startWithApples({{Apple::Normal, Point(2, 4)}});
    AIControl& ai = aiWorm("sharp", Point(6, 4), WormSprite::Right);
    // The target straight behind: keep going.
    EXPECT_EQ(ai.getDirection(), 2u);
    EXPECT_EQ(stateOf(ai), AIControl::GetAppleState);

    // Up and to the left: left is a reversal, so up.
    setApples({{Apple::Normal, Point(2, 2)}});
    EXPECT_EQ(ai.getDirection(), 4u);
    // Down and to the left while heading up: left comes first.
    AIControl& climber = aiWorm("sharp", Point(6, 4), WormSprite::Up);
    setApples({{Apple::Normal, Point(2, 6)}});
    EXPECT_EQ(climber.getDirection(), 1u);
    // Straight below while heading up: no turn.
    setApples({{Apple::Normal, Point(6, 6)}});
    EXPECT_EQ(climber.getDirection(), 4u);
}

TEST_F(AIControlTest, ComputerPlayersNeverTriggerActions)
{
    writeAI("sharp", "eat", 0, Sharp);
    startWithApples({{Apple::Normal, Point(9, 4)}});
    AIControl& ai = aiWorm("sharp", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(ai.getDirection(), 2u);
    EXPECT_EQ(ai.getAction1(), 0u);
    EXPECT_EQ(ai.getAction2(), 0u);
    // The command word keeps the direction: the queries do not clear it.
    EXPECT_EQ(ai.getCommands(), 2u);
    EXPECT_EQ(ai.getCommands(), 2u);
    EXPECT_EQ(ai.getAction1(), 0u);
    EXPECT_EQ(ai.getAction2(), 0u);
}
