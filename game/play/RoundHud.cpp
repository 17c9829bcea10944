#include "game/play/RoundHud.h"

#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"

#include "game/play/Apple.h"
#include "game/play/WormSprite.h"

#include <array>
#include <cstdio>

namespace Tarvo
{

using Fernhouse::Base::Point;
using Fernhouse::GUI::Label;

namespace
{

struct PlayerLayout
{
    Point pointsCaption;
    Point goalCaption;
    Point points;
    Point goal;
    Point result;
};

// A one-player round, and player 1 and player 2 of a two-player round.
constexpr PlayerLayout SoloPlayer1{{156, 27}, {332, 27}, {288, 35}, {464, 35}, {400, 330}};
constexpr PlayerLayout DuoPlayer1{{491, 28}, {645, 28}, {618, 35}, {772, 35}, {595, 330}};
constexpr PlayerLayout DuoPlayer2{{27, 28}, {181, 28}, {154, 35}, {308, 35}, {205, 330}};

const char* const SmallFont = "fixed_small";
const char* const MediumFont = "fixed_medium";
const char* const LargeFont = "fixed_large";
const char* const TimeCaption = "TIME LEFT";
const char* const PointsCaption = "POINTS";
const Fernhouse::Base::Color ResultBackground{0, 0, 0, 255};
const Fernhouse::Base::Size ResultMargin{30, 30};

// Indexed by game type; types beyond the table have no caption.
constexpr std::array<const char*, 6> GoalCaptions{"",           "ENEMIES", "LENGTH",
                                                  "SCORE GOAL", "APPLES",  "SURVIVE TIME OUT"};

constexpr Point SoloTimeCaption{505, 27};
constexpr Point SoloTime{637, 35};
constexpr Point DuoTimeCaption{336, 28};
constexpr Point DuoTime{463, 35};

constexpr std::uint32_t MsPerMinute = 60000;
constexpr std::uint32_t MsPerSecond = 1000;
// Room for any HUD number: a 32-bit value, a slash and another.
constexpr std::size_t TextBufferSize = 32;

Label* makeCaption(const char* text, const Point& position)
{
    auto* label = new Label(SmallFont);
    label->setText(text);
    label->setPosition(position);
    return label;
}

// Short HUD texts fit the string's own buffer, so setting them each frame does not allocate.
void setRightAligned(Label* label, const char* text, const Point& anchor)
{
    label->setText(text);
    const auto width = static_cast<std::int32_t>(label->getFont()->getTextSize(label->getText()).w);
    label->setPosition(anchor.x - width, anchor.y);
}

const char* goalCaption(std::int32_t type)
{
    return type >= 0 && static_cast<std::size_t>(type) < GoalCaptions.size()
               ? GoalCaptions[static_cast<std::size_t>(type)]
               : RoundHud::Nothing;
}

} // namespace

RoundHud::RoundHud(const GameSettings& settings, bool twoPlayers) : m_settings(settings)
{
    const char* goal = goalCaption(settings.type);
    m_timeCaption = makeCaption(TimeCaption, twoPlayers ? DuoTimeCaption : SoloTimeCaption);
    m_timeValue = new Label(MediumFont);
    m_timeAnchor = twoPlayers ? DuoTime : SoloTime;
    addChild(m_timeCaption);
    addChild(m_timeValue);
    addPlayer(true, twoPlayers, goal);
    if (twoPlayers)
    {
        addPlayer(false, twoPlayers, goal);
    }
}

RoundHud::~RoundHud()
{
    delete m_timeCaption;
    delete m_timeValue;
    for (const PlayerLabels* player : {&m_player1, &m_player2})
    {
        for (Label* label : {player->pointsCaption, player->goalCaption, player->pointsValue,
                             player->goalValue, player->result})
        {
            delete label;
        }
    }
}

void RoundHud::addPlayer(bool forPlayer1, bool twoPlayers, const char* goalCaption)
{
    const PlayerLayout& layout = !twoPlayers ? SoloPlayer1 : forPlayer1 ? DuoPlayer1 : DuoPlayer2;
    PlayerLabels& labels = labelsOf(forPlayer1);
    labels.pointsCaption = makeCaption(PointsCaption, layout.pointsCaption);
    labels.goalCaption = makeCaption(goalCaption, layout.goalCaption);
    labels.pointsValue = new Label(MediumFont);
    labels.goalValue = new Label(MediumFont);
    labels.result = new Label(LargeFont);
    labels.result->setDrawBackground(true);
    labels.result->setBackgroundColor(ResultBackground);
    labels.result->setMargin(ResultMargin);
    labels.pointsAnchor = layout.points;
    labels.goalAnchor = layout.goal;
    labels.resultAnchor = layout.result;
    for (Label* label :
         {labels.pointsCaption, labels.goalCaption, labels.pointsValue, labels.goalValue, labels.result})
    {
        addChild(label);
    }
}

void RoundHud::showPlayer(const WormSprite& player, std::int32_t othersAlive, bool forPlayer1)
{
    const PlayerLabels& labels = labelsOf(forPlayer1);
    if (labels.pointsValue == nullptr)
    {
        return;
    }
    char text[TextBufferSize];
    std::snprintf(text, sizeof text, "%5d", player.getScore());
    setRightAligned(labels.pointsValue, text, labels.pointsAnchor);

    const std::int32_t goal = m_settings.goal;
    bool showGoal = true;
    switch (m_settings.type)
    {
        case GAME_ENEMIES:
            std::snprintf(text, sizeof text, "%d", othersAlive);
            break;
        case GAME_LENGTH:
            std::snprintf(text, sizeof text, "%u/%d", player.getLength(), goal);
            break;
        case GAME_SCORE:
            std::snprintf(text, sizeof text, "%d", goal);
            break;
        case GAME_APPLES:
            std::snprintf(text, sizeof text, "%u/%d",
                          player.getApplesEaten(Apple::Normal) + player.getApplesEaten(Apple::Super), goal);
            break;
        case GAME_SURVIVE:
            text[0] = '\0';
            break;
        case GAME_NONE:
        default:
            // The goal display keeps whatever it shows.
            showGoal = false;
            break;
    }
    if (showGoal)
    {
        setRightAligned(labels.goalValue, text, labels.goalAnchor);
    }
    if (player.isDead())
    {
        showResult(GameOver, forPlayer1);
    }
}

void RoundHud::showTimeLeft(std::uint32_t ms)
{
    if (m_settings.timeLimit == 0)
    {
        m_timeValue->setText(Nothing);
        return;
    }
    char text[TextBufferSize];
    std::snprintf(text, sizeof text, "%u:%02u", ms / MsPerMinute, (ms % MsPerMinute) / MsPerSecond);
    setRightAligned(m_timeValue, text, m_timeAnchor);
}

void RoundHud::showResult(const char* text, bool forPlayer1)
{
    const PlayerLabels& labels = labelsOf(forPlayer1);
    if (labels.result == nullptr)
    {
        return;
    }
    labels.result->setText(text);
    const Fernhouse::Base::Size size = labels.result->getFont()->getTextSize(labels.result->getText());
    labels.result->setPosition(labels.resultAnchor.x - static_cast<std::int32_t>(size.w / 2),
                               labels.resultAnchor.y - static_cast<std::int32_t>(size.h / 2));
}

const Label* RoundHud::getPointsValue(bool forPlayer1) const
{
    return labelsOf(forPlayer1).pointsValue;
}

const Label* RoundHud::getGoalValue(bool forPlayer1) const
{
    return labelsOf(forPlayer1).goalValue;
}

const Label* RoundHud::getResult(bool forPlayer1) const
{
    return labelsOf(forPlayer1).result;
}

} // namespace Tarvo
