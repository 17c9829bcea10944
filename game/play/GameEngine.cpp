#include "game/play/GameEngine.h"

#include "engine/base/GameTime.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/io/Control.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/MapFile.h"
#include "game/play/MapPainter.h"
#include "game/play/PlayScreen.h"
#include "game/play/PlayerOverflowException.h"
#include "game/play/WormSprite.h"

#include <cassert>
#include <memory>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "GameEngine";

using Fernhouse::Base::GameTime;
using Fernhouse::Base::Point;

const char* const SoundContextName = "game";
const char* const SkinDirectory = "graphics/skins/";
const char* const SkinExtension = ".png";
// Black is the transparent colour of the skin sheets.
constexpr Fernhouse::Base::Color SkinColorKey{0, 0, 0, 255};

// Indexed by apple kind.
constexpr std::array<const char*, Apple::KindCount> EatSounds{"eatNormal", "eatSuper", "eatRotten",
                                                              "eatTurbo",  "eatBeer",  "eatCake"};

} // namespace

GameEngine::GameEngine(const std::string& mapPath, Fernhouse::Sound::SoundManager* soundManager)
    : m_soundManager(soundManager)
{
    assert(soundManager != nullptr);
    auto map = std::make_unique<MapFile>(mapPath);
    m_map = map.get();
    collectStartPoints();
    m_occupancy = OccupancyGrid(m_map->getWidth(), m_map->getHeight());
    m_soundManager->pushContext(SoundContextName);
    map.release();
}

GameEngine::~GameEngine()
{
    delete m_playScreen;
    delete m_hud;
    delete m_map;
    for (WormSprite* worm : m_worms)
    {
        delete worm;
    }
    auto* factory = Fernhouse::Graphics::TextureFactory::getInstance();
    for (const auto& skin : m_skins)
    {
        factory->freeTextureMap(skin.second);
    }
    m_soundManager->popContext();
}

void GameEngine::setGame(std::int32_t type, std::int32_t goal, std::int32_t timeLimit)
{
    m_settings.type = static_cast<GameType>(type);
    m_settings.goal = goal;
    m_settings.timeLimit = timeLimit;
}

void GameEngine::setGame(const GameSettings& settings)
{
    m_settings = settings;
}

void GameEngine::collectStartPoints()
{
    // Column by column, so that a number used twice ends at its last cell in that order.
    std::array<bool, MaxStartPoints> found{};
    for (std::int32_t x = 0; x < m_map->getWidth(); ++x)
    {
        for (std::int32_t y = 0; y < m_map->getHeight(); ++y)
        {
            const std::int32_t number = m_map->getTile(StartLayer, x, y);
            if (number >= 1 && number <= static_cast<std::int32_t>(MaxStartPoints))
            {
                m_startPoints[static_cast<std::size_t>(number - 1)] = Point(x, y);
                found[static_cast<std::size_t>(number - 1)] = true;
            }
        }
    }
    // Each number counts once and a missing one leaves no hole: counting every cell let a repeated
    // number send worms past the table (or wrap the count to 0), and a gap put a worm on (0, 0).
    for (std::size_t number = 0; number < MaxStartPoints; ++number)
    {
        if (found[number])
        {
            m_startPoints[m_startPointCount++] = m_startPoints[number];
        }
    }
}

void GameEngine::addPlayer(const std::string& name, Fernhouse::IO::Control* control,
                           const std::string& skinName, std::uint32_t controlMode)
{
    // Until the worm holds it, the control is ours to delete, so that a failed call leaves no stray
    // handler in the EventRouter.
    std::unique_ptr<Fernhouse::IO::Control> owned(control);
    if (m_wormCount == m_startPointCount)
    {
        FH_THROW(PlayerOverflowException, "No room for more players.");
    }
    Fernhouse::Graphics::TextureMap* skin = skinFor(skinName);
    auto* worm = new WormSprite(m_soundManager, name, owned.release(), skin->getTexture(0, 0),
                                m_startPoints[m_wormCount], WormSprite::Down, controlMode, &m_occupancy);
    m_worms.push_back(worm);
    if (worm->getType() == WormSprite::Type && m_humanCount < 2 &&
        dynamic_cast<Fernhouse::IO::KeyboardControl*>(control) != nullptr)
    {
        (m_humanCount == 0 ? m_player1 : m_player2) = worm;
        ++m_humanCount;
    }
    ++m_wormCount;
}

void GameEngine::addPlayer(const PlayerRecord& player)
{
    addPlayer(player.name, player.control, player.skinName, player.controlMode);
}

Fernhouse::Graphics::TextureMap* GameEngine::skinFor(const std::string& skinName)
{
    const auto found = m_skins.find(skinName);
    if (found != m_skins.end())
    {
        return found->second;
    }
    Fernhouse::Graphics::TextureMap* skin =
        Fernhouse::Graphics::TextureFactory::getInstance()->createTextureMap(
            SkinDirectory + skinName + SkinExtension, &SkinColorKey);
    m_skins.emplace(skinName, skin);
    return skin;
}

void GameEngine::start(const std::string& backgroundPath)
{
    if (m_humanCount == 0)
    {
        m_finished = true;
        return;
    }
    m_hud = new RoundHud(m_settings, m_humanCount == 2);
    m_playScreen = new PlayScreen(this, m_map, m_player1, m_player2, backgroundPath);

    addChild(m_playScreen);
    for (WormSprite* worm : m_worms)
    {
        m_playScreen->addWorm(worm);
    }
    m_playScreen->placeViews();
    addChild(m_hud);

    m_startTime = now();
    m_readyTime = GameTime::getTicks() + StartDelay;
    applyClock();
    m_playScreen->getMapPainter()->setShowStart(true);
}

void GameEngine::update()
{
    if (m_finished || m_endTime != 0)
    {
        if (m_playScreen != nullptr)
        {
            m_playScreen->scrollViews();
        }
        return;
    }
    assert(m_playScreen != nullptr && "update before start");
    if (m_readyTime != 0 && GameTime::getTicks() > m_readyTime && !m_paused)
    {
        m_readyTime = 0;
        m_playScreen->getMapPainter()->setShowStart(false);
        applyClock();
    }
    for (WormSprite* worm : m_worms)
    {
        if (worm->getType() == WormSprite::Type && !worm->isDead())
        {
            judge(worm);
        }
    }
    updateHud();
    // The clock stands still during the start delay; a round ended then could never reach its end delay.
    if (m_readyTime == 0)
    {
        checkRoundEnd();
    }
    Entity::update();
}

void GameEngine::judge(WormSprite* worm)
{
    for (Apple* apple : getApplePainter()->getApples())
    {
        const std::int32_t kind = apple->getKind();
        // The grid rules out nearly every apple at once; a covered cell still asks whose body covers it.
        const Point& cell = apple->getCell();
        if (kind == Apple::Gone || m_occupancy.count(cell.x, cell.y) == 0 || !worm->occupies(cell))
        {
            continue;
        }
        worm->addAppleEaten(static_cast<std::size_t>(kind));
        if (kind == Apple::Turbo)
        {
            worm->setState(WormSprite::StateTurbo);
        }
        else if (kind == Apple::Beer)
        {
            worm->setState(WormSprite::StateDrunk);
        }
        worm->grow(Apple::getGrowth(kind));
        worm->addScore(Apple::getPoints(kind));
        if (worm == m_player1 || worm == m_player2)
        {
            m_soundManager->playSound(EatSounds[static_cast<std::size_t>(kind)]);
        }
        apple->setKind(Apple::Gone);
        break;
    }

    if (hitsWall(worm))
    {
        kill(worm);
        return;
    }
    // The head itself is one segment on its cell: any other, of any worm, is a collision.
    const WormSprite::Segment& head = worm->getHead();
    if (m_occupancy.count(head.x, head.y) > 1)
    {
        kill(worm);
    }
}

bool GameEngine::hitsWall(const WormSprite* worm) const
{
    const WormSprite::Segment& head = worm->getHead();
    // A head off the grid counts as a wall: maps are meant to be walled in, but not all are.
    if (head.x < 0 || head.x >= m_map->getWidth() || head.y < 0 || head.y >= m_map->getHeight())
    {
        return true;
    }
    return m_map->getTile(WallLayer, head.x, head.y) != MapFile::EmptyCell;
}

void GameEngine::kill(WormSprite* worm)
{
    worm->setState(WormSprite::StateDead);
    ++m_deathCount;
}

bool GameEngine::isFree(const Point& cell, bool applesBlock) const
{
    if (cell.x < 0 || cell.x >= m_map->getWidth() || cell.y < 0 || cell.y >= m_map->getHeight())
    {
        return false;
    }
    if (m_map->getTile(WallLayer, cell.x, cell.y) != MapFile::EmptyCell)
    {
        return false;
    }
    if (m_occupancy.count(cell.x, cell.y) != 0)
    {
        return false;
    }
    const ApplePainter* apples = getApplePainter();
    if (applesBlock && apples != nullptr)
    {
        for (const Apple* apple : apples->getApples())
        {
            if (apple->getCell() == cell)
            {
                return false;
            }
        }
    }
    return true;
}

std::uint32_t GameEngine::getTimeLeft() const
{
    const std::int64_t left = static_cast<std::int64_t>(m_startTime) + m_settings.timeLimit - now();
    return left < 1 ? 0 : static_cast<std::uint32_t>(left);
}

ApplePainter* GameEngine::getApplePainter() const
{
    return m_playScreen != nullptr ? m_playScreen->getMapPainter()->getApplePainter() : nullptr;
}

void GameEngine::updateHud()
{
    const char* result = m_paused ? RoundHud::Pause : RoundHud::Nothing;
    showResult(result, true);
    showResult(result, false);
    for (const WormSprite* player : {m_player1, m_player2})
    {
        if (player != nullptr)
        {
            const int othersAlive = m_wormCount - (m_deathCount - (player->isDead() ? 1 : 0)) - 1;
            m_hud->showPlayer(*player, othersAlive, player == m_player1);
        }
    }
    m_hud->showTimeLeft(getTimeLeft());
}

void GameEngine::showResult(const char* text, bool forPlayer1)
{
    m_hud->showResult(text, forPlayer1);
}

void GameEngine::endRound()
{
    m_paused = false;
    m_endTime = now() + EndDelay;
    applyClock();
}

void GameEngine::applyClock() const
{
    GameTime* clock = GameTime::getInstance();
    if (!m_finished && m_endTime == 0 && (m_paused || m_readyTime != 0))
    {
        clock->stop();
    }
    else
    {
        clock->start();
    }
}

std::int64_t GameEngine::goalProgress(const WormSprite* player) const
{
    switch (m_settings.type)
    {
        case GAME_LENGTH:
            return player->getLength();
        case GAME_SCORE:
            return player->getScore();
        case GAME_APPLES:
            return static_cast<std::int64_t>(player->getApplesEaten(Apple::Normal)) +
                   player->getApplesEaten(Apple::Super);
        default:
            return 0;
    }
}

bool GameEngine::reachedGoal(const WormSprite* player) const
{
    return player != nullptr && goalProgress(player) >= m_settings.goal;
}

void GameEngine::checkRoundEnd()
{
    const bool player1Dead = m_player1 != nullptr && m_player1->isDead();
    const bool player2Dead = m_player2 != nullptr && m_player2->isDead();
    if (m_deathCount == m_wormCount || (m_humanCount == 1 && player1Dead) ||
        (m_humanCount == 2 && player1Dead && player2Dead))
    {
        endRound();
        return;
    }
    const std::uint32_t limitEnd = m_startTime + static_cast<std::uint32_t>(m_settings.timeLimit);
    if (m_settings.type != GAME_SURVIVE && m_settings.timeLimit != 0 && limitEnd <= now())
    {
        endRound();
        showResult(RoundHud::TimeUp, true);
        showResult(RoundHud::TimeUp, false);
        return;
    }
    switch (m_settings.type)
    {
        case GAME_ENEMIES:
            if (m_deathCount == m_wormCount - 1)
            {
                endWithLastWormStanding();
            }
            break;
        case GAME_LENGTH:
        case GAME_SCORE:
        case GAME_APPLES:
            if (reachedGoal(m_player1) || reachedGoal(m_player2))
            {
                endWithGoalReached();
            }
            break;
        case GAME_SURVIVE:
            if (limitEnd <= now())
            {
                endWithTimeSurvived(player1Dead, player2Dead);
            }
            break;
        case GAME_NONE:
        default:
            break;
    }
}

void GameEngine::endWithLastWormStanding()
{
    endRound();
    for (WormSprite* worm : m_worms)
    {
        if (!worm->isDead())
        {
            m_winner = worm;
        }
    }
    if (m_winner == m_player1)
    {
        showResult(RoundHud::YouWon, true);
    }
    else if (m_winner == m_player2)
    {
        showResult(RoundHud::YouWon, false);
    }
}

void GameEngine::endWithGoalReached()
{
    endRound();
    if (reachedGoal(m_player1))
    {
        if (reachedGoal(m_player2))
        {
            showResult(RoundHud::Draw, true);
            showResult(RoundHud::Draw, false);
        }
        else
        {
            showResult(RoundHud::YouWon, true);
            showResult(RoundHud::GameOver, false);
            m_winner = m_player1;
        }
    }
    else
    {
        showResult(RoundHud::YouWon, false);
        showResult(RoundHud::GameOver, true);
        m_winner = m_player2;
    }
}

void GameEngine::endWithTimeSurvived(bool player1Dead, bool player2Dead)
{
    endRound();
    if (m_humanCount == 2 && !player1Dead && !player2Dead)
    {
        showResult(RoundHud::Draw, false);
        showResult(RoundHud::Draw, true);
    }
    else if (m_player1 != nullptr && !player1Dead)
    {
        showResult(RoundHud::YouWon, true);
        m_winner = m_player1;
        showResult(RoundHud::GameOver, false);
    }
    else if (m_player2 != nullptr && !player2Dead)
    {
        showResult(RoundHud::YouWon, false);
        m_winner = m_player2;
        showResult(RoundHud::GameOver, true);
    }
}

bool GameEngine::keyDown(SDLKey key, bool, bool, bool)
{
    if (key == SDLK_ESCAPE)
    {
        // A round left during its start delay or a pause hands the clock back running: everything shown
        // afterwards (menus, scripts) waits on game time.
        m_paused = false;
        m_finished = true;
        applyClock();
        return true;
    }
    if (key == SDLK_PAUSE && m_endTime == 0)
    {
        // During the start delay the clock stays held either way; the delay itself starts it.
        m_paused = !m_paused;
        applyClock();
        return true;
    }
    if (m_endTime != 0 && m_endTime <= now())
    {
        m_finished = true;
    }
    return false;
}

std::uint32_t GameEngine::now() const
{
    return GameTime::getInstance()->getTime();
}

} // namespace Tarvo
