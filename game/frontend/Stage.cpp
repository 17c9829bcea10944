#include "game/frontend/Stage.h"

#include "engine/base/Application.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Screen.h"

#include "game/frontend/MapRound.h"
#include "game/frontend/ScriptHost.h"
#include "game/play/GameEngine.h"
#include "game/progress/Campaign.h"

#include <cassert>
#include <malloc.h>

namespace Tarvo
{

namespace
{

constexpr const char* DefaultBackground = "";

Fernhouse::Base::Screen& screenOf(const Fernhouse::Base::Application& application)
{
    assert(application.getScreen() != nullptr && "the stage plays only once the window is open");
    return *application.getScreen();
}

} // namespace

Stage::Stage(Fernhouse::Base::Application* application) : m_application(application)
{
}

Stage::~Stage()
{
    stop();
}

void Stage::returnFreedMemory()
{
    malloc_trim(0);
}

void Stage::startScript(const std::string& fileName)
{
    m_script = new ScriptHost(fileName, m_application->getSoundManager(), &screenOf(*m_application));
}

bool Stage::scriptEnded()
{
    return m_script->runFrame();
}

void Stage::stopScript()
{
    delete m_script;
    m_script = nullptr;
}

ScriptEnvironment* Stage::getScriptEnvironment() const
{
    return m_script != nullptr ? m_script->getEnvironment() : nullptr;
}

void Stage::startGame(const std::string& mapPath, const Configuration& configuration, bool twoPlayers)
{
    m_gameEngine = MapRound::create(mapPath, configuration, m_application->getSoundManager(), twoPlayers);
    screenOf(*m_application).addChild(m_gameEngine);
    m_application->getEventRouter()->addHandler(m_gameEngine);
    m_gameEngine->start(DefaultBackground);
}

void Stage::stopGame()
{
    if (m_gameEngine != nullptr)
    {
        m_application->getEventRouter()->removeHandler(m_gameEngine);
        screenOf(*m_application).removeChild(m_gameEngine);
        delete m_gameEngine;
        m_gameEngine = nullptr;
        returnFreedMemory();
    }
}

void Stage::startCampaign(const std::string& campaignPath, Configuration* configuration,
                          HighscoreTable* highscores)
{
    m_campaign = new Campaign(campaignPath, configuration, m_application->getSoundManager(), highscores);
    screenOf(*m_application).addChild(m_campaign);
}

void Stage::stopCampaign()
{
    if (m_campaign != nullptr)
    {
        screenOf(*m_application).removeChild(m_campaign);
        delete m_campaign;
        m_campaign = nullptr;
    }
}

void Stage::stop()
{
    stopScript();
    stopGame();
    stopCampaign();
}

} // namespace Tarvo
