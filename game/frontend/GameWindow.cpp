#include "game/frontend/GameWindow.h"

#include "engine/base/Application.h"

#include <SDL/SDL.h>

namespace Tarvo
{

namespace
{

constexpr std::uint32_t ScreenWidth = 800;
constexpr std::uint32_t ScreenHeight = 600;
constexpr std::uint32_t BitsPerPixel = 32;
constexpr int AudioFrequency = 44100;
constexpr std::uint16_t AudioFormat = AUDIO_S16LSB;
static_assert(AudioFormat == 0x8010);
constexpr int AudioChannels = 16;
constexpr int AudioChunkSize = 2048;

} // namespace

void GameWindow::open(Fernhouse::Base::Application& application, const std::string& caption, bool fullscreen)
{
    application.init(caption, ScreenWidth, ScreenHeight, BitsPerPixel, fullscreen, AudioFrequency,
                     AudioFormat, AudioChannels, AudioChunkSize);
}

} // namespace Tarvo
