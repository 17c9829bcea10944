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

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using Fernhouse::Base::Point;
namespace Base = Fernhouse::Base;
using Fernhouse::Base::seedRandom;
using Tarvo::AIControl;
using Tarvo::Apple;
using Tarvo::WormSprite;
using Apples = std::vector<std::pair<std::int32_t, Point>>;

namespace
{

// A skill above 100 passes every roll.
constexpr std::uint32_t Sharp = 4294967295u;
constexpr std::uint32_t Left = 1, Right = 2, Up = 4, Down = 8;

// Walls around an 11 x 7 field; the humans start in the bottom corners.
const std::vector<std::string> Arena = {
    "#############", "#...........#", "#...........#", "#...........#", "#...........#",
    "#...........#", "#...........#", "#1.........2#", "#############",
};
const Point Player1Start(1, 7);
const Point Player2Start(11, 7);

// How many numbers the call drew from the shared sequence, found by matching what follows in a replay.
int drawsDuring(const std::function<void()>& call)
{
    seedRandom(12345);
    call();
    const std::vector<int> after{Base::random(), Base::random(), Base::random()};
    seedRandom(12345);
    std::vector<int> sequence;
    for (int i = 0; i < 203; ++i)
    {
        sequence.push_back(Base::random());
    }
    for (std::size_t k = 0; k < 200; ++k)
    {
        if (std::vector<int>(sequence.begin() + k, sequence.begin() + k + 3) == after)
        {
            return static_cast<int>(k);
        }
    }
    return -1;
}

// Seeds the sequence so that its first notice rolls of the skill pass and fail in this pattern.
void seedForRolls(const std::vector<bool>& pattern, std::uint32_t skill)
{
    for (unsigned seed = 1;; ++seed)
    {
        seedRandom(seed);
        bool matches = true;
        for (const bool pass : pattern)
        {
            matches =
                matches && (skill > static_cast<std::uint32_t>(Base::random() / 32767.0 * 100.0)) == pass;
        }
        if (matches)
        {
            seedRandom(seed);
            return;
        }
    }
}

class AIControlTest : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
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
                                                        << reach << " " << speed << " " << skill << "\n";
    }

    // A worm outside the engine's list, whose new AIControl sees the engine's field: its own body is one
    // cell on a grid of its own, so only the field blocks its scans.
    AIControl& aiWorm(const std::string& aiName, const Point& start, std::uint32_t direction)
    {
        auto* control = new AIControl(aiName, &engine());
        m_worms.push_back(std::make_unique<WormSprite>(nullptr, aiName, control, nullptr, start, direction,
                                                       WormSprite::ControlAbsolute, &m_outsiders));
        return *control;
    }

    // A started round with one human (two if asked) and no apple but the given ones, in this order.
    void startWithApples(const Apples& wanted, bool twoHumans = false)
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

    void setApples(const Apples& wanted)
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
            apples().back()->setKind(kind);
            apples().back()->setCell(cell);
        }
    }

    static int stateOf(const AIControl& ai) { return ai.getCurrentState()->getId(); }

    static Point targetOf(const AIControl& ai) { return Point(ai.getTargetX(), ai.getTargetY()); }

    std::string m_mapPath;
    Tarvo::OccupancyGrid m_outsiders{64, 64};

private:
    std::vector<std::unique_ptr<WormSprite>> m_worms;
};

} // namespace

TEST_F(AIControlTest, WormTakesTheFilesSpeedAndStartsIdleTowardsItsOwnCell)
{
    writeAI("fast", "eat", 0, Sharp, 200);
    writeAI("slow", "eat", 0, Sharp, 50);
    makeEngine(m_mapPath);
    EXPECT_THROW(AIControl("missing", &engine()), Fernhouse::Base::FileNotFoundException);
    engine().addPlayer("slow", new AIControl("slow", &engine()), RoundSupport::FlatSkin, 0);
    EXPECT_FLOAT_EQ(engine().getWorms().back()->getSpeed(), 1.5f);

    // No apples before the round starts: the first query idles straight on.
    AIControl& ai = aiWorm("fast", Point(6, 3), WormSprite::Down);
    EXPECT_FLOAT_EQ(ai.getWorm()->getTopSpeed(), 6.0f);
    EXPECT_FALSE(ai.getWorm()->isKeyboardControlled());
    EXPECT_EQ(targetOf(ai), Point(6, 3));
    EXPECT_EQ(ai.getDirection(), Down);
    EXPECT_EQ(stateOf(ai), AIControl::IdleState);
    EXPECT_FALSE(ai.hasTarget());
    EXPECT_EQ(ai.getFreeDown(), 5);
    EXPECT_EQ(ai.getFreeUp(), 3);
    // Computer players never trigger actions, and reading the commands does not clear the direction.
    EXPECT_EQ(ai.getAction1() + ai.getAction2(), 0u);
    EXPECT_EQ(ai.getCommands(), Down);
    EXPECT_EQ(ai.getCommands(), Down);
}

TEST_F(AIControlTest, WallAheadEvadesInTheSameStepTowardsTheFreerSideTiesTurningDownOrLeft)
{
    writeAI("sharp", "eat", 0, Sharp);
    makeEngine(m_mapPath);

    struct Case
    {
        Point head;
        std::uint32_t direction, expected;
        int state;
    };

    for (const Case& c : {
             Case{Point(3, 1), WormSprite::Up, Right, AIControl::EvadeState}, // 2 cells free left, 8 right
             Case{Point(6, 1), WormSprite::Up, Left, AIControl::EvadeState},  // 5 and 5
             Case{Point(9, 1), WormSprite::Up, Left, AIControl::EvadeState},
             Case{Point(11, 6), WormSprite::Right, Up, AIControl::EvadeState},   // 5 up, 1 down
             Case{Point(11, 4), WormSprite::Right, Down, AIControl::EvadeState}, // 3 and 3
             Case{Point(11, 2), WormSprite::Right, Down, AIControl::EvadeState},
             Case{Point(1, 3), WormSprite::Left, Down, AIControl::EvadeState},
             Case{Point(3, 7), WormSprite::Down, Right, AIControl::EvadeState},
             Case{Point(6, 2), WormSprite::Up, Up, AIControl::IdleState} // one free cell is enough
         })
    {
        AIControl& ai = aiWorm("sharp", c.head, c.direction);
        EXPECT_EQ(ai.getDirection(), c.expected) << c.head.x << "," << c.head.y;
        EXPECT_EQ(stateOf(ai), c.state) << c.head.x << "," << c.head.y;
    }
}

TEST_F(AIControlTest, SkillZeroNeverScansNeverTargetsAndRunsIntoTheWall)
{
    writeAI("blind", "eat", 0, 0);
    writeAI("blindHunter", "kill", 0, 0);
    startWithApples({{Apple::Normal, Point(6, 3)}, {Apple::Rotten, Point(8, 3)}});
    AIControl& eater = aiWorm("blind", Point(6, 1), WormSprite::Up);
    AIControl& hunter = aiWorm("blindHunter", Point(9, 1), WormSprite::Up);
    // One roll per apple that is not bad, one per scan.
    EXPECT_EQ(drawsDuring([&] { eater.getDirection(); }), 5);
    for (unsigned seed = 1; seed <= 300; ++seed)
    {
        seedRandom(seed);
        ASSERT_EQ(eater.getDirection(), Up);
        ASSERT_EQ(eater.getFreeLeft() + eater.getFreeRight() + eater.getFreeUp() + eater.getFreeDown(),
                  4 * AIControl::NotLooked);
        // Apples exist and reach is unlimited, so it pursues the target it was given: its own start.
        ASSERT_EQ(targetOf(eater), Point(6, 1));
        ASSERT_NE(stateOf(eater), AIControl::EvadeState);
        ASSERT_EQ(hunter.getDirection(), Up);
        ASSERT_FALSE(hunter.hasTarget());
    }
}

TEST_F(AIControlTest, ReachDropsATargetScoringAboveItAndZeroMeansNoLimit)
{
    writeAI("near", "eat", 5, Sharp);
    writeAI("edge", "eat", 6, Sharp);
    writeAI("far", "eat", 0, Sharp);
    startWithApples({{Apple::Normal, Point(10, 7)}}); // seven cells away, worth 10 points: a score of 6
    AIControl& near = aiWorm("near", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(near.getDirection(), Up);
    EXPECT_FALSE(near.hasTarget());
    AIControl& edge = aiWorm("edge", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(edge.getDirection(), Right);
    EXPECT_EQ(targetOf(edge), Point(10, 7));
    EXPECT_EQ(stateOf(edge), AIControl::GetAppleState);
    EXPECT_EQ(aiWorm("far", Point(1, 1), WormSprite::Right).getDirection(), Right);

    setApples({{Apple::Super, Point(7, 4)}}); // next to the head and worth 50: -4, inside any reach
    EXPECT_EQ(near.getDirection(), Right);
    EXPECT_EQ(targetOf(near), Point(7, 4));
    // Without apples nothing is selected and the stored target is no longer pursued.
    setApples({});
    EXPECT_EQ(near.getDirection(), Up);
    EXPECT_FALSE(near.hasTarget());
}

TEST_F(AIControlTest, BadApplesAreNeverChosenCostNoRollAndDoNotBlockEaters)
{
    writeAI("sharp", "eat", 0, Sharp);
    startWithApples({{Apple::Rotten, Point(6, 3)}, {Apple::Beer, Point(5, 4)}, {Apple::Normal, Point(1, 1)}});
    AIControl& ai = aiWorm("sharp", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(drawsDuring([&] { ai.getDirection(); }), 5);
    EXPECT_EQ(targetOf(ai), Point(1, 1));
    EXPECT_EQ(ai.getFreeLeft(), 6);
    EXPECT_EQ(ai.getDirection(), Left);
    // Only bad apples: nothing is chosen, no roll is drawn for them, the old target stays.
    setApples({{Apple::Rotten, Point(6, 3)}, {Apple::Beer, Point(5, 4)}});
    EXPECT_EQ(drawsDuring([&] { ai.getDirection(); }), 4);
    EXPECT_TRUE(ai.hasTarget());
    EXPECT_EQ(targetOf(ai), Point(1, 1));
}

TEST_F(AIControlTest, EaterTargetsTheLowestDistanceLessTenthOfPointsKeepsTheEarlierTieAndNeverReverses)
{
    writeAI("sharp", "eat", 0, Sharp);
    startWithApples({});

    struct Case
    {
        std::uint32_t heading;
        Point target;
        std::uint32_t expected;
        Apples apples;
    };

    const auto normal = [](std::int32_t x, std::int32_t y) {
        return std::make_pair(Apple::Normal, Point(x, y));
    };
    const auto cake = std::make_pair(Apple::Cake, Point(6, 1));
    // Two cells and 10 points score 1, three cells and 50 points -2; both normals score 1, the cake 4 - 2,
    // so the earlier normal is kept. Straight behind: keep going; up and left while heading right: up, as
    // left reverses. Down and left while heading up: the horizontal turn first; straight below: no turn.
    for (const Case& c :
         {Case{WormSprite::Up, Point(9, 4), Right, {normal(6, 2), {Apple::Super, Point(9, 4)}}},
          Case{WormSprite::Up, Point(4, 4), Left, {normal(4, 4), normal(8, 4), cake}},
          Case{WormSprite::Up, Point(8, 4), Right, {normal(8, 4), normal(4, 4), cake}},
          Case{WormSprite::Up, Point(6, 1), Up, {cake, normal(8, 4)}},
          Case{WormSprite::Right, Point(2, 4), Right, {normal(2, 4)}},
          Case{WormSprite::Right, Point(2, 2), Up, {normal(2, 2)}},
          Case{WormSprite::Up, Point(2, 6), Left, {normal(2, 6)}},
          Case{WormSprite::Up, Point(6, 6), Up, {normal(6, 6)}}})
    {
        setApples(c.apples);
        AIControl& ai = aiWorm("sharp", Point(6, 4), c.heading);
        EXPECT_EQ(ai.getDirection(), c.expected) << c.target.x << "," << c.target.y;
        EXPECT_EQ(targetOf(ai), c.target);
        EXPECT_EQ(stateOf(ai), AIControl::GetAppleState);
    }
}

TEST_F(AIControlTest, KillTargetsTheFirstHumanUnlessTheSecondIsStrictlyCloserAndNeverTheDead)
{
    writeAI("hunter", "kill", 0, Sharp);
    writeAI("halfHunter", "kill", 0, 50);
    startWithApples({{Apple::Normal, Point(6, 1)}}, true); // kill missions only look while apples lie
    AIControl& nearTwo = aiWorm("hunter", Point(9, 4), WormSprite::Up); // 5 cells from player 2, 11 from 1
    EXPECT_EQ(drawsDuring([&] { nearTwo.getDirection(); }), 6);
    EXPECT_EQ(targetOf(nearTwo), Player2Start);
    AIControl& middle = aiWorm("hunter", Point(6, 4), WormSprite::Up); // 8 from both: the first stays
    EXPECT_EQ(middle.getDirection(), Left);
    EXPECT_EQ(targetOf(middle), Player1Start);

    // A failed roll hides a human, however close.
    AIControl& half = aiWorm("halfHunter", Point(9, 4), WormSprite::Up);
    seedForRolls({true, false}, 50);
    half.getDirection();
    EXPECT_EQ(targetOf(half), Player1Start);
    seedForRolls({false, true}, 50);
    half.getDirection();
    EXPECT_EQ(targetOf(half), Player2Start);
    seedForRolls({false, false}, 50);
    half.getDirection();
    EXPECT_FALSE(half.hasTarget());

    // The dead draw no roll and are never chosen.
    engine().getPlayer2()->setState(WormSprite::StateDead);
    EXPECT_EQ(drawsDuring([&] { nearTwo.getDirection(); }), 5);
    EXPECT_EQ(targetOf(nearTwo), Player1Start);
    engine().getPlayer1()->setState(WormSprite::StateDead);
    EXPECT_EQ(drawsDuring([&] { nearTwo.getDirection(); }), 4);
    EXPECT_FALSE(nearTwo.hasTarget());
    EXPECT_EQ(nearTwo.getDirection(), Up);
}

TEST_F(AIControlTest, SurvivorsTreatApplesAsObstaclesAndNeverTarget)
{
    writeAI("coward", "survive", 0, Sharp);
    startWithApples({{Apple::Normal, Point(6, 3)}});
    AIControl& survivor = aiWorm("coward", Point(6, 4), WormSprite::Up);
    EXPECT_EQ(survivor.getDirection(), Left);
    EXPECT_EQ(survivor.getFreeUp(), 1);
    EXPECT_EQ(stateOf(survivor), AIControl::EvadeState);
    EXPECT_FALSE(survivor.hasTarget());
}
