#include "game/TarvoApp.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"

#include <SDL/SDL.h>

namespace Tarvo
{

namespace
{

constexpr const char* Caption = "Tarvo";
constexpr std::uint32_t ScreenWidth = 800;
constexpr std::uint32_t ScreenHeight = 600;
constexpr std::uint32_t BitsPerPixel = 32;
constexpr int AudioFrequency = 44100;
constexpr std::uint16_t AudioFormat = AUDIO_S16LSB;
static_assert(AudioFormat == 0x8010);
constexpr int AudioChannels = 16;
constexpr int AudioChunkSize = 2048;
constexpr int KeyRepeatDelay = 500;
constexpr int KeyRepeatInterval = 30;
constexpr int ExitNoWindow = 1;

} // namespace

TarvoApp::TarvoApp(int /*argc*/, char** /*argv*/)
{
    try
    {
        init(Caption, ScreenWidth, ScreenHeight, BitsPerPixel, false, AudioFrequency, AudioFormat,
             AudioChannels, AudioChunkSize);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        Fernhouse::Base::ErrorLog::write(e);
    }
}

int TarvoApp::run()
{
    if (getScreen() == nullptr)
    {
        return ExitNoWindow;
    }
    Fernhouse::Base::EventRouter* router = getEventRouter();
    router->enableKeyRepeat(KeyRepeatDelay, KeyRepeatInterval);
    router->addHandler(this);
    getGameTime()->start();

    while (frame())
    {
    }

    router->removeHandler(this);
    return 0;
}

} // namespace Tarvo
