#include "game/ai/AIControl.h"

#include "game/ai/AIFile.h"

#include "tests/game/play/RoundFixture.h"

using Fernhouse::Base::Point;
using Tarvo::AIControl;
using Tarvo::Apple;
using Tarvo::WormSprite;
using Apples = std::vector<std::pair<std::int32_t, Point>>;

namespace
{

constexpr std::uint32_t L = AIControl::Left, R = AIControl::Right, U = AIControl::Up, D = AIControl::Down;
constexpr int Idle = AIControl::IdleState, Chase = AIControl::GetAppleState, Evade = AIControl::EvadeState;
const Point NoTarget(-1, -1);

// An 11 x 7 field whose two humans wait in cells of their own beside it, and computer players ("reach speed
// skill"; reach 0 is everywhere, skill above 100 passes every roll).
class AIControlTest : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        std::filesystem::create_directory(dir().path() / "ai");
        std::istringstream players(
            "sharp eat 0 100 101\nfast eat 0 200 101\nslow eat 0 50 101\nblind eat 0 100 0\n"
            "near eat 5 100 101\nedge eat 6 100 101\nhunter kill 0 100 101\n"
            "blindHunter kill 0 100 0\ncoward survive 0 100 101\n");
        for (std::string name, mission, numbers;
             players >> name >> mission && std::getline(players, numbers);)
        {
            dir().written("ai/" + name + ".ai",
                          RoundSupport::FlatSkin + "\n" + mission + "\n" + numbers + "\n");
        }
        makeEngine(writeMap("arena", {"###############", "#...........#1#", "#...........###",
                                      "#...........#2#", "#...........###", "#...........###",
                                      "#...........###", "#...........###", "###############"}));
        addHuman("one", RoundSupport::arrowKeys());
        addHuman("two", RoundSupport::letterKeys());
        startRound();
        stopSpawning();
    }

    void TearDown() override
    {
        m_worms.clear();
        RoundTest::TearDown();
    }

    // A worm outside the engine's list; its body lies on a grid of its own, so only the field blocks its scans.
    AIControl& aiWorm(const std::string& aiName, const Point& start, std::uint32_t direction)
    {
        auto* control = new AIControl(aiName, &engine());
        m_worms.push_back(std::make_unique<WormSprite>(nullptr, aiName, control, nullptr, start, direction,
                                                       WormSprite::ControlAbsolute, &m_outsiders));
        return *control;
    }

    // No apples but these, in this order.
    void setApples(const Apples& wanted)
    {
        clearApples();
        engine().getApplePainter()->update();
        for (const auto& [kind, cell] : wanted)
        {
            addApple(kind, cell);
        }
    }

    static Point targetOf(const AIControl& a)
    {
        return a.hasTarget() ? Point(a.getTargetX(), a.getTargetY()) : NoTarget;
    }

    Tarvo::OccupancyGrid m_outsiders{64, 64};
    std::vector<std::unique_ptr<WormSprite>> m_worms;
};

// Loads ai/t.ai written with the text: its fields, or the source and message of what it threw.
std::string load(const std::string& text)
{
    std::ofstream("ai/t.ai") << text;
    try
    {
        const Tarvo::AIFile file("t");
        return "[" + file.getSkin() + "] " + std::to_string(file.getMission()) + " " +
               std::to_string(file.getReach()) + " " + std::to_string(file.getSpeed()) + " " +
               std::to_string(file.getSkill());
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        return e.getFile() + ": " + e.getMessage();
    }
}

} // namespace

// Speed is the file's percent of the base speed; skill 0 never scans nor targets, so the worm hits the wall.
TEST_F(AIControlTest, SpeedIsTheFilesPercentAndSkillZeroNeverScansOrTargets)
{
    EXPECT_FLOAT_EQ(aiWorm("fast", Point(6, 3), WormSprite::Down).getWorm()->getTopSpeed(), 6.0f);
    EXPECT_FLOAT_EQ(aiWorm("slow", Point(6, 3), WormSprite::Down).getWorm()->getSpeed(), 1.5f);
    setApples({{Apple::Normal, Point(6, 3)}, {Apple::Rotten, Point(8, 3)}});
    AIControl& eater = aiWorm("blind", Point(6, 1), WormSprite::Up);
    AIControl& hunter = aiWorm("blindHunter", Point(9, 1), WormSprite::Up);
    for (unsigned seed = 1; seed <= 300; ++seed)
    {
        Fernhouse::Base::seedRandom(seed);
        // Apples lie and reach is unlimited, so it pursues the target it was given: its own start.
        ASSERT_EQ(
            (std::tuple{eater.getDirection(),
                        eater.getFreeLeft() + eater.getFreeRight() + eater.getFreeUp() + eater.getFreeDown(),
                        targetOf(eater), hunter.getDirection(), targetOf(hunter)}),
            (std::tuple{U, 4 * AIControl::NotLooked, Point(6, 1), U, NoTarget}));
    }
}

// A wall ahead turns the worm in the same step towards the freer side, on a tie left or down. Eaters take
// the apple of lowest distance less a tenth of its points (the earlier on a tie) within their reach; bad
// apples are never chosen and block only survivors. Hunters roll for each living human and take the first
// unless the second is strictly closer. The worm turns towards its target, never back.
TEST_F(AIControlTest, DirectionTargetAndStateInConcreteSituations)
{
    const auto normal = [](std::int32_t x, std::int32_t y) { return std::pair(Apple::Normal, Point(x, y)); };
    const Apples bad{{Apple::Rotten, Point(6, 3)}, {Apple::Beer, Point(5, 4)}};
    const auto up = WormSprite::Up, right = WormSprite::Right;

    // Computer player (null: the worm of the row before, under new apples), apples, head, heading; then
    // the direction, target and state expected.
    const std::tuple<const char*, Apples, Point, std::uint32_t, std::uint32_t, Point, int> cases[] = {
        {"sharp", {}, {3, 1}, up, R, NoTarget, Evade}, // 2 cells free left, 8 right
        {"sharp", {}, {6, 1}, up, L, NoTarget, Evade}, // 5 and 5
        {"sharp", {}, {11, 6}, right, U, NoTarget, Evade},
        {"sharp", {}, {11, 4}, right, D, NoTarget, Evade}, // 3 and 3
        {"sharp", {}, {1, 3}, WormSprite::Left, D, NoTarget, Evade},
        {"sharp", {}, {3, 7}, WormSprite::Down, R, NoTarget, Evade},
        {"sharp", {}, {6, 2}, up, U, NoTarget, Idle}, // one free cell is enough
        // Seven cells away and worth 10 points scores 6; next to the head and worth 50, -4.
        {"near", {normal(10, 7)}, {6, 4}, up, U, NoTarget, Idle},
        {nullptr, {{Apple::Super, {7, 4}}}, {}, 0, R, {7, 4}, Chase},
        {nullptr, {}, {}, 0, U, NoTarget, Idle}, // no apples: the stored target is dropped
        {"edge", {normal(10, 7)}, {6, 4}, up, R, {10, 7}, Chase},
        {"sharp", {bad[0], bad[1], normal(1, 1)}, {6, 4}, up, L, {1, 1}, Chase},
        {nullptr, bad, {}, 0, L, {1, 1}, Chase}, // only bad apples: none chosen, the old target kept
        // Two cells and 10 points score 1, three cells and 50 points -2; the normals and the cake 1.
        {"sharp", {normal(6, 2), {Apple::Super, {9, 4}}}, {6, 4}, up, R, {9, 4}, Chase},
        {"sharp", {normal(4, 4), normal(8, 4), {Apple::Cake, {6, 1}}}, {6, 4}, up, L, {4, 4}, Chase},
        {"sharp", {normal(8, 4), normal(4, 4), {Apple::Cake, {6, 1}}}, {6, 4}, up, R, {8, 4}, Chase},
        // Straight behind: keep going; up and left while heading right: up, as left reverses.
        {"sharp", {normal(2, 4)}, {6, 4}, right, R, {2, 4}, Chase},
        {"sharp", {normal(2, 2)}, {6, 4}, right, U, {2, 2}, Chase},
        // Down and left while heading up: the horizontal turn first; straight below: no turn.
        {"sharp", {normal(2, 6)}, {6, 4}, up, L, {2, 6}, Chase},
        {"sharp", {normal(6, 6)}, {6, 4}, up, U, {6, 6}, Chase},
        {"coward", {normal(6, 3)}, {6, 4}, up, L, NoTarget, Evade},
        // Hunters look only while apples lie; 5 cells from player 2 and 7 from player 1, then 8 and 8.
        {"hunter", {normal(6, 1)}, {9, 4}, up, R, {13, 3}, Chase},
        {"hunter", {normal(6, 1)}, {6, 2}, up, R, {13, 1}, Chase},
    };
    AIControl* ai = nullptr;
    for (std::size_t row = 0; row < std::size(cases); ++row)
    {
        const auto& [name, wanted, head, heading, direction, target, state] = cases[row];
        setApples(wanted);
        ai = name != nullptr ? &aiWorm(name, head, heading) : ai;
        EXPECT_EQ((std::tuple{ai->getDirection(), targetOf(*ai), ai->getCurrentState()->getId()}),
                  (std::tuple{direction, target, state}))
            << "row " << row;
    }

    // The dead are never chosen.
    engine().getPlayer1()->setState(WormSprite::StateDead);
    ai->getDirection();
    EXPECT_EQ(targetOf(*ai), Point(13, 3));
    engine().getPlayer2()->setState(WormSprite::StateDead);
    ai->getDirection();
    EXPECT_EQ(targetOf(*ai), NoTarget);
}

TEST(AIFile, ReadsSkinLineWholeMissionAndThreeNumbersOnAnyLinesOrFailsNamingTheField)
{
    const std::pair<std::string, std::string> cases[] = {
        {"red\nkill\n0\n200\n100", "[red] 1 0 200 100"},
        {"  dark green \r\nsurvive\r\n30\r\n100\r\n75\r\n", "[  dark green ] 2 30 100 75"},
        {"blue\neat\n  7\t250 4294967295 trailing words\nmore\n", "[blue] 0 7 250 4294967295"},
        {"green\nEat\n1 2 3\n", "AIFile: Invalid mission."},
        {"green\neat \n1 2 3\n", "AIFile: Invalid mission."},
        {"eat\n1 2 3\n", "AIFile: Invalid mission."}, // without a skin line the mission is read as the skin
        {"blue\neat\n", "AIFile: Missing reach in ai/t.ai."},
        {"blue\neat\n30\n  \r\n", "AIFile: Missing speed in ai/t.ai."},
        {"blue\neat\n30\n100\n", "AIFile: Missing skill in ai/t.ai."},
        {"blue\neat\nfar\n100\n75\n", "AIFile: Invalid reach in ai/t.ai."},
        {"blue\neat\n30\n100\n7x5\n", "AIFile: Invalid skill in ai/t.ai."},
        // Nothing wraps around.
        {"blue\neat\n-5\n100\n75\n", "AIFile: Invalid reach in ai/t.ai."},
        {"blue\neat\n30\n4294967296\n75\n", "AIFile: Invalid speed in ai/t.ai."},
        {"blue\neat\n30\n100\n99999999999999999999999\n", "AIFile: Invalid skill in ai/t.ai."},
    };
    const TestSupport::TempDir dir;
    const TestSupport::ScopedWorkingDirectory cwd(dir.path());
    std::filesystem::create_directory("ai");
    for (const auto& [text, result] : cases)
    {
        EXPECT_EQ(load(text), result) << text;
    }
}
