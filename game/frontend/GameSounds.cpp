#include "game/frontend/GameSounds.h"

#include "engine/sound/SoundManager.h"

#include <array>

namespace Tarvo
{

namespace
{

struct SoundEntry
{
    const char* context;
    const char* name;
    const char* file;
    bool music;
};

constexpr std::array<SoundEntry, 12> Sounds{{
    {GameSounds::MenuContext, GameSounds::ClickSound, "sounds/menuClick.wav", false},
    {GameSounds::MenuContext, "hover", "sounds/menuHover.wav", false},
    {GameSounds::MenuContext, "song1", "sounds/song1.ogg", true},
    {GameSounds::CreditsContext, "song2", "sounds/song2.ogg", true},
    {GameSounds::GameContext, "eatNormal", "sounds/wormEatNormal.wav", false},
    {GameSounds::GameContext, "eatRotten", "sounds/wormEatRotten.wav", false},
    {GameSounds::GameContext, "eatBeer", "sounds/wormEatBeer.wav", false},
    {GameSounds::GameContext, "eatTurbo", "sounds/wormEatTurbo.wav", false},
    {GameSounds::GameContext, "eatSuper", "sounds/wormEatSuper.wav", false},
    {GameSounds::GameContext, "eatCake", "sounds/wormEatCake.wav", false},
    {GameSounds::GameContext, "die", "sounds/wormDie.wav", false},
    {GameSounds::GameContext, "move", "sounds/wormMove.wav", false},
}};

} // namespace

void GameSounds::registerAll(Fernhouse::Sound::SoundManager* soundManager)
{
    for (const SoundEntry& entry : Sounds)
    {
        if (entry.music)
        {
            soundManager->addMusic(entry.context, entry.name, entry.file, false);
        }
        else
        {
            soundManager->addSound(entry.context, entry.name, entry.file, true);
        }
    }
}

} // namespace Tarvo
