#include "game/frontend/MapRound.h"

#include "engine/io/KeyboardControl.h"

#include "game/ai/AIControl.h"
#include "game/ai/AIFile.h"
#include "game/play/GameEngine.h"
#include "game/play/GameType.h"
#include "game/progress/Configuration.h"

#include <memory>

namespace Tarvo
{

namespace
{

constexpr std::int32_t MapGameType = GAME_ENEMIES;
constexpr std::int32_t MapGameGoal = 0;
constexpr std::int32_t OnePlayerTimeLimit = 180000; // ms
constexpr std::int32_t TwoPlayerTimeLimit = 300000; // ms
constexpr const char* PlayerOneName = "Tarvo";
constexpr const char* PlayerOneSkin = "tarvo";
constexpr const char* PlayerTwoName = "Piggy";
constexpr const char* PlayerTwoSkin = "king";
constexpr const char* ComputerPlayer = "buffy";
constexpr std::uint32_t ComputerControlMode = 0;

} // namespace

GameEngine* MapRound::create(const std::string& mapPath, const Configuration& configuration,
                             Fernhouse::Sound::SoundManager* soundManager, bool twoPlayers)
{
    auto engine = std::make_unique<GameEngine>(mapPath, soundManager);
    engine->setGame(MapGameType, MapGameGoal, twoPlayers ? TwoPlayerTimeLimit : OnePlayerTimeLimit);

    auto* playerOne = new Fernhouse::IO::KeyboardControl(configuration.getPlayer1Keys());
    playerOne->setRegistered(true);
    engine->addPlayer(PlayerOneName, playerOne, PlayerOneSkin, configuration.getPlayer1Relative());
    if (twoPlayers)
    {
        auto* playerTwo = new Fernhouse::IO::KeyboardControl(configuration.getPlayer2Keys());
        playerTwo->setRegistered(true);
        engine->addPlayer(PlayerTwoName, playerTwo, PlayerTwoSkin, configuration.getPlayer2Relative());
    }
    else
    {
        const int freeStarts = engine->getStartPointCount() - engine->getWormCount();
        for (int i = 0; i < freeStarts; ++i)
        {
            auto* computer = new AIControl(ComputerPlayer, engine.get());
            // Copied: the engine deletes the control when adding it fails.
            const std::string name = computer->getAIFile().getName();
            const std::string skin = computer->getAIFile().getSkin();
            engine->addPlayer(name, computer, skin, ComputerControlMode);
        }
    }
    return engine.release();
}

} // namespace Tarvo
