#pragma once

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

// The game's sounds and music and the contexts they belong to, one table for the game and the editor.
class GameSounds final
{
public:
    GameSounds() = delete;

    static constexpr const char* MenuContext = "menu";
    static constexpr const char* CreditsContext = "credits";
    static constexpr const char* GameContext = "game";
    static constexpr const char* ClickSound = "click";

    // Registers every sound (loaded now) and song (loaded when its context is first pushed). Throws the
    // sounds' loading errors.
    static void registerAll(Fernhouse::Sound::SoundManager* soundManager);
};

} // namespace Tarvo
