#pragma once

#include <string>

namespace Fernhouse::Base
{
class EventRouter;
class Screen;
} // namespace Fernhouse::Base

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class GameEngine;
class MapFile;

// The map as it is in the editor, played in a one-player round with the game's settings. The round reads
// a file, so the map goes to a temporary file of its own and the file the editor saves to is left alone.
class PlayTest final
{
public:
    // Writes the map and loads the round (not yet shown). Throws the saving and loading errors, leaving no
    // file behind. The sound manager is shared and must outlive the play-test.
    PlayTest(const MapFile& map, Fernhouse::Sound::SoundManager* soundManager);
    PlayTest(const PlayTest&) = delete;
    PlayTest& operator=(const PlayTest&) = delete;
    // Takes the round off the screen and the router, deletes it and its file.
    ~PlayTest();

    // Puts the round on the screen and the router (both shared, outliving the play-test) and starts it;
    // throws the round's starting errors.
    void start(Fernhouse::Base::Screen* screen, Fernhouse::Base::EventRouter* router);

    // Whether the round is over (Escape or its end).
    bool isFinished() const;

private:
    std::string m_path;
    GameEngine* m_round = nullptr;                    // owned
    Fernhouse::Base::Screen* m_screen = nullptr;      // shared; null until started
    Fernhouse::Base::EventRouter* m_router = nullptr; // shared; null until started
};

} // namespace Tarvo
