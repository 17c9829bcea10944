#pragma once

#include <string>

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class Configuration;
class GameEngine;

// A round on one map as the map lists start it, and the editor's play-test with them: the last worm alive
// wins within a time limit, player one on start point 1, then player two or a computer player on every
// other start point.
class MapRound final
{
public:
    MapRound() = delete;

    // A new engine, the caller's to delete, not yet started: the caller shows it, routes keys to it and
    // calls start. The configuration gives the players' keys and steering. Throws the engine's loading
    // errors.
    static GameEngine* create(const std::string& mapPath, const Configuration& configuration,
                              Fernhouse::Sound::SoundManager* soundManager, bool twoPlayers);
};

} // namespace Tarvo
