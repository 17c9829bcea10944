#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/SoundManager.h"

#include "game/frontend/ScriptEnvironment.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "fuzz/FuzzInput.h"

// Loads arbitrary bytes as a script and runs its statements for some frames of game time, drawing each, on
// the shipped fonts, pictures and sounds (the working folder is the source tree) in a real GL window
// (DISPLAY must name an X server, e.g. Xvfb). Every input either runs or fails with one of our
// exceptions.

namespace
{

constexpr int Frames = 40;
constexpr std::uint32_t FrameMs = 100;

std::uint32_t s_ticks = 0;

std::uint32_t ticks()
{
    return s_ticks;
}

// The services a script needs, made once: opening a window per input would be all the fuzzer does.
struct Services
{
    Services()
    {
        if (SDL_Init(SDL_INIT_VIDEO) != 0 ||
            SDL_SetVideoMode(800, 600, 32, SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT) == nullptr)
        {
            std::fprintf(stderr, "no GL window: %s\n", SDL_GetError());
            std::exit(1);
        }
        glEnable(GL_BLEND);
        Fernhouse::Base::GameTime::setTickSource(ticks);
        time.start();
    }

    Fernhouse::Base::GameTime time;
    Fernhouse::Graphics::TextureFactory textures;
    Fernhouse::Graphics::FontManager fonts{"graphics/fonts/", ".png"};
    Fernhouse::Sound::SoundManager silent;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return chdir(TARVO_SOURCE_DIR);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Services* services = new Services(); // kept for the process's life
    const std::string path = TarvoFuzz::FuzzInput::write("script.fhs", data, size);
    try
    {
        Fernhouse::Script::ScriptEngine engine;
        Tarvo::ScriptEnvironment environment(&engine, &services->silent);
        engine.load(path);
        for (int frame = 0; frame < Frames && engine.run(); ++frame)
        {
            environment.update();
            glClear(GL_COLOR_BUFFER_BIT);
            environment.draw();
            s_ticks += FrameMs;
            services->time.update();
        }
    }
    catch (const Fernhouse::Base::Exception&)
    {
    }
    return 0;
}
