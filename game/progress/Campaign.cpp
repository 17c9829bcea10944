#include "game/progress/Campaign.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIControl.h"
#include "game/ai/AIFile.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/frontend/ScriptHost.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapEntry.h"
#include "game/play/MapFile.h"
#include "game/play/ScoreBoard.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreTable.h"

#include <cassert>
#include <memory>
#include <type_traits>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "Campaign";

using Fernhouse::Base::EventRouter;

static_assert(std::is_same_v<MapEntry::Weights, ApplePainter::Weights>);

EventRouter& router()
{
    EventRouter* router = EventRouter::getInstance();
    assert(router != nullptr && "a campaign needs the application's event router");
    return *router;
}

// Taking a handler out needs no router once the application has already dropped it.
void unregister(Fernhouse::Base::EventHandler* handler)
{
    if (EventRouter* router = EventRouter::getInstance())
    {
        router->removeHandler(handler);
    }
}

} // namespace

Campaign::Campaign(const std::string& path, Configuration* configuration,
                   Fernhouse::Sound::SoundManager* soundManager, HighscoreTable* highscores)
    : m_configuration(configuration),
      m_soundManager(soundManager),
      m_highscores(highscores)
{
    assert(configuration != nullptr && soundManager != nullptr && highscores != nullptr);
    auto campaignFile = std::make_unique<CampaignFile>();
    campaignFile->load(path);
    m_campaignFile = campaignFile.release();
    // A campaign without music keeps the rounds' context as it is: an empty file name could never load,
    // and pushing the context would fail on it.
    const std::string& music = m_campaignFile->getMusic();
    if (!music.empty())
    {
        m_soundManager->addMusic(SoundContext, music, music, false);
    }
}

Campaign::~Campaign()
{
    stopScript();
    if (m_gameEngine != nullptr)
    {
        unregister(m_gameEngine);
        removeChild(m_gameEngine);
        delete m_gameEngine;
    }
    if (m_scoreBoard != nullptr)
    {
        unregister(m_scoreBoard);
        removeChild(m_scoreBoard);
        delete m_scoreBoard;
    }
    // The song was registered for the rounds' context, which single maps use too.
    if (!m_campaignFile->getMusic().empty())
    {
        m_soundManager->removeMusic(SoundContext);
    }
    delete m_campaignFile;
}

void Campaign::start()
{
    runScript(m_campaignFile->getIntroScript());
}

void Campaign::update()
{
    if (m_mapIndex >= m_campaignFile->getMapCount())
    {
        FH_THROW(Fernhouse::Base::ArgumentException, "invalid campaign index");
    }
    const MapEntry& map = m_campaignFile->getMap(m_mapIndex);
    switch (m_state)
    {
        case BetweenMaps:
            if (scriptEnded())
            {
                stopScript();
                runScript(map.getIntroScript());
                m_state = MapIntro;
            }
            break;
        case MapIntro:
            if (scriptEnded())
            {
                stopScript();
                m_state = Round;
                startRound();
            }
            break;
        case Round:
            assert(m_gameEngine != nullptr);
            if (m_gameEngine->isFinished())
            {
                endRound();
            }
            break;
        case WinScene:
            if (scriptEnded())
            {
                stopScript();
                m_state = ShowingScores;
                showScoreBoard();
            }
            break;
        case ShowingScores:
            if (m_scoreBoard->isDone())
            {
                leaveScoreBoard();
            }
            break;
        case Ending:
            if (scriptEnded())
            {
                m_configuration->unlockCampaign(m_campaignFile->getRewardKey());
                stopScript();
                m_state = Finished;
            }
            break;
        default:
            break;
    }
    Entity::update();
}

void Campaign::leaveScoreBoard()
{
    closeScoreBoard();
    if (m_mapIndex + 1 == m_campaignFile->getMapCount())
    {
        runScript(m_campaignFile->getEndScript());
        m_state = Ending;
    }
    else
    {
        ++m_mapIndex;
        m_state = BetweenMaps;
    }
}

const ScriptEnvironment* Campaign::getScriptEnvironment() const
{
    return m_scene != nullptr ? m_scene->getEnvironment() : nullptr;
}

void Campaign::runScript(const std::string& path)
{
    assert(m_scene == nullptr && "the previous scene must be stopped first");
    if (!path.empty())
    {
        m_scene = new ScriptHost(path, m_soundManager, this);
    }
}

void Campaign::stopScript()
{
    delete m_scene;
    m_scene = nullptr;
}

bool Campaign::scriptEnded()
{
    return m_scene == nullptr || m_scene->runFrame();
}

void Campaign::startRound()
{
    const MapEntry& map = m_campaignFile->getMap(m_mapIndex);
    m_gameEngine = new GameEngine(map.getMapPath(), m_soundManager);
    m_gameEngine->setGame(map.getSettings());
    addChild(m_gameEngine);

    auto* control = new Fernhouse::IO::KeyboardControl(m_configuration->getPlayer1Keys());
    control->setRegistered(true);
    const std::uint32_t steering = m_configuration->getPlayer1Relative() != 0 ? WormSprite::ControlRelative
                                                                              : WormSprite::ControlAbsolute;
    m_gameEngine->addPlayer(PlayerName, control, PlayerSkin, steering);

    for (const std::string& aiName : map.getAINames())
    {
        auto* ai = new AIControl(aiName, m_gameEngine);
        // Copied: the engine deletes the control, and its AI file with it, when it cannot add the player.
        const std::string name = ai->getAIFile().getName();
        const std::string skin = ai->getAIFile().getSkin();
        m_gameEngine->addPlayer(name, ai, skin, WormSprite::ControlAbsolute);
    }

    router().addHandler(m_gameEngine);
    m_gameEngine->start(m_campaignFile->getBackground());
    // Before the first frame, so that even the round's first apple follows the map's weights.
    ApplePainter* apples = m_gameEngine->getApplePainter();
    if (map.hasAppleWeights() && apples != nullptr)
    {
        apples->setWeights(map.getAppleWeights());
    }
}

void Campaign::endRound()
{
    const MapEntry& map = m_campaignFile->getMap(m_mapIndex);
    const WormSprite* player1 = m_gameEngine->getPlayer1();
    assert(player1 != nullptr && "every campaign round has player 1");
    const std::uint32_t bests = m_highscores->submit(map.getMapPath(), player1->getScore(),
                                                     static_cast<std::int32_t>(player1->getLength()));
    m_newHighscore = (bests & HighscoreTable::NewScore) != 0;

    unregister(m_gameEngine);
    removeChild(m_gameEngine);
    const bool won = m_gameEngine->getWinner() == player1;
    m_results = player1->getResults();
    m_mapTileset = m_gameEngine->getMap()->getGraphicsFileName();
    delete m_gameEngine;
    m_gameEngine = nullptr;

    if (won)
    {
        m_state = WinScene;
        runScript(map.getWinScript());
    }
    else
    {
        m_state = Finished;
    }
}

void Campaign::showScoreBoard()
{
    m_scoreBoard = new ScoreBoard(m_results, m_newHighscore, m_mapTileset);
    addChild(m_scoreBoard);
    router().addHandler(m_scoreBoard);
}

void Campaign::closeScoreBoard()
{
    unregister(m_scoreBoard);
    removeChild(m_scoreBoard);
    delete m_scoreBoard;
    m_scoreBoard = nullptr;
}

} // namespace Tarvo
