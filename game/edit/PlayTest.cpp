#include "game/edit/PlayTest.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/Screen.h"

#include "game/frontend/MapRound.h"
#include "game/frontend/TarvoApp.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/progress/Configuration.h"

#include <filesystem>
#include <unistd.h>

namespace Tarvo
{

namespace
{

constexpr const char* DefaultBackground = "";

// One file per editor process, so two editors can play-test at once.
std::string temporaryPath()
{
    const std::string name = "tarvo-edit-" + std::to_string(::getpid()) + MapFile::Extension;
    return (std::filesystem::temp_directory_path() / name).string();
}

// The players' keys and steering as the game has them, the defaults when it has none.
Configuration gameConfiguration()
{
    Configuration configuration;
    try
    {
        configuration.load(TarvoApp::ConfigurationFile);
    }
    catch (const Fernhouse::Base::Exception&)
    {
        configuration.setDefaults();
    }
    return configuration;
}

} // namespace

PlayTest::PlayTest(const MapFile& map, Fernhouse::Sound::SoundManager* soundManager) : m_path(temporaryPath())
{
    try
    {
        MapFile copy = map;
        copy.save(m_path);
        m_round = MapRound::create(m_path, gameConfiguration(), soundManager, false);
    }
    catch (const Fernhouse::Base::Exception&)
    {
        std::filesystem::remove(m_path);
        throw;
    }
}

PlayTest::~PlayTest()
{
    if (m_router != nullptr)
    {
        m_router->removeHandler(m_round);
        m_screen->removeChild(m_round);
    }
    delete m_round;
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

void PlayTest::start(Fernhouse::Base::Screen* screen, Fernhouse::Base::EventRouter* router)
{
    m_screen = screen;
    m_router = router;
    m_screen->addChild(m_round);
    m_router->addHandler(m_round);
    m_round->start(DefaultBackground);
}

bool PlayTest::isFinished() const
{
    return m_round->isFinished();
}

} // namespace Tarvo
