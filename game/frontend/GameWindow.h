#pragma once

#include <string>

namespace Fernhouse::Base
{
class Application;
} // namespace Fernhouse::Base

namespace Tarvo
{

// The window and mixer the game and the editor both open, one set of values for both: the editor's
// play-test round must look and sound as it does in the game.
class GameWindow final
{
public:
    // Where both look for their fonts.
    static constexpr const char* FontDirectory = "graphics/fonts/";

    GameWindow() = delete;

    // Through Application::init, with its errors: ScreenCreateFailedException without a window, the
    // SoundException (a silent sound manager in place) without an audio device.
    static void open(Fernhouse::Base::Application& application, const std::string& caption, bool fullscreen);
};

} // namespace Tarvo
