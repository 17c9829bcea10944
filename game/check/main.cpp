#include "engine/base/Exception.h"
#include "engine/sound/SoundManager.h"

#include "game/check/ContentChecker.h"

#include <SDL/SDL.h>

#include <cstdlib>
#include <iostream>

namespace
{

constexpr int Frequency = 22050;
constexpr int Channels = 8;
constexpr int ChunkSize = 1024;

} // namespace

// Checks the game's maps, campaigns, computer players and scripts; run it from the game's folder.
int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::cerr << "usage: tarvo-check FILE-OR-FOLDER...   (from the game's folder, e.g. tarvo-check maps "
                     "campaigns ai scripts)\n";
        return 2;
    }
    // Songs load only on an open mixer; no sound is ever played.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_AUDIO) != 0)
    {
        std::cerr << "tarvo-check: " << SDL_GetError() << "\n";
        return 2;
    }
    int result = 0;
    try
    {
        Fernhouse::Sound::SoundManager sound(Frequency, AUDIO_S16LSB, Channels, ChunkSize);
        Tarvo::ContentChecker checker(&sound);
        for (int i = 1; i < argc; ++i)
        {
            checker.checkPath(argv[i]);
        }
        for (const std::string& problem : checker.getProblems())
        {
            std::cout << problem << "\n";
        }
        result = checker.getProblems().empty() ? 0 : 1;
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        std::cerr << "tarvo-check: " << e.getMessage() << "\n";
        result = 2;
    }
    SDL_Quit();
    return result;
}
