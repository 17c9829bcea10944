#pragma once

#include "engine/base/EventRouter.h"
#include "engine/base/Random.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/MapPainter.h"
#include "game/play/PlayScreen.h"
#include "game/play/WormSprite.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/Paths.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrintTo.h"
#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

namespace RoundSupport
{

using namespace Tarvo;
using Fernhouse::Base::Color;
using Fernhouse::Base::Point;
using Fernhouse::Base::Rect;
using Fernhouse::GUI::Label;

// Colours of the flat test tileset (apples 0 to 5, ground 16, wall 17) and skin, so that pixels name what was drawn.
constexpr Color AppleColors[6] = {{200, 0, 0, 255},   {255, 215, 0, 255},  {90, 60, 20, 255},
                                  {0, 200, 255, 255}, {230, 160, 30, 255}, {255, 120, 200, 255}};
constexpr Color GroundColor{40, 120, 40, 255}, WallColor{120, 120, 120, 255}, HeadColor{240, 240, 240, 255};
const std::string FlatSkin = "flat";

struct Probe
{
    int x, y;
    Color color;
};

::testing::AssertionResult showsAll(const std::vector<Probe>& probes, int tolerance = 0);

// Writes a PNG of four channels, or three for a colour key, with the colour of each pixel.
void writePicture(const std::string& path, int width, int height,
                  const std::function<Color(int x, int y)>& colorAt, int channels = 4);

struct Mark
{
    int x, y;
    char c;
};

// A walled field of w x h cells with ground inside and the marked cells changed.
std::vector<std::string> field(int w, int h, const std::vector<Mark>& marks = {});

inline Fernhouse::IO::KeySet arrowKeys()
{
    return {false, SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, {}, {}};
}

inline Fernhouse::IO::KeySet letterKeys()
{
    return {false, SDLK_a, SDLK_d, SDLK_w, SDLK_s, {}, {}};
}

// Everything a round needs, as the application provides it, in a data directory of the repository's fonts,
// skins, backgrounds, score board pictures and sounds, the flat tileset and skin; game time on a fake clock.
class RoundTest : public TestSupport::GLTest
{
protected:
    static constexpr std::uint32_t StartTicks = 100000;

    void SetUp() override;
    void TearDown() override;

    // Writes maps/<name>.map: '#' wall, '.' ground, ' ' nothing, '1' up to '`' a start point on ground,
    // other letters ground.
    std::string writeMap(const std::string& name, const std::vector<std::string>& rows,
                         std::int32_t layers = 3);
    Tarvo::GameEngine& makeEngine(const std::string& mapPath);

    void dropEngine()
    {
        m_router->removeHandler(m_engine);
        delete std::exchange(m_engine, nullptr);
    }

    void addHuman(const std::string& name, const Fernhouse::IO::KeySet& keys,
                  const std::string& skin = FlatSkin);
    // A computer player that never asks to turn.
    void addComputer(const std::string& name);
    // A started round as setGame sets it: humans first (arrows, then letters), then computers without a plan.
    void play(const std::vector<std::string>& rows, int humans, std::int32_t type = 0, std::int32_t goal = 0,
              std::int32_t limit = 0, int computers = 0, const std::string& background = std::string());
    void startRound(const std::string& background = std::string());
    void passStartDelay(std::uint32_t frameMs = 50);
    // ms of real time, events, the clock, a step and, when asked, drawing: one pass of the frame loop.
    void frame(std::uint32_t ms, bool draw = false);

    void frames(int count, std::uint32_t ms)
    {
        while (count-- > 0)
        {
            frame(ms);
        }
    }

    void pressKey(SDLKey key);

    const std::vector<Tarvo::Apple*>& apples() const { return m_engine->getApplePainter()->getApples(); }

    // A fresh apple of the kind on the cell; no later spawn is ever seen.
    Tarvo::Apple* addApple(std::int32_t kind, const Fernhouse::Base::Point& cell);
    void clearApples();

    void stopSpawning() { m_engine->getApplePainter()->setWeights({0, 0, 0, 0, 0, 0}); }

    std::uint32_t gameTime() const { return m_time->getTime(); }

    Tarvo::GameEngine& engine() { return *m_engine; }

    TestSupport::FakeClock& clock() { return m_clock; }

    Fernhouse::Base::EventRouter& router() { return *m_router; }

    Fernhouse::Sound::SoundManager* soundManager() { return m_sound; }

    const TestSupport::TempDir& dir() const { return m_dir; }

private:
    TestSupport::TempDir m_dir;
    std::unique_ptr<TestSupport::ScopedWorkingDirectory> m_cwd;
    TestSupport::FakeClock m_clock{StartTicks};
    Fernhouse::Base::GameTime* m_time = nullptr;
    Fernhouse::Base::EventRouter* m_router = nullptr;
    Fernhouse::Graphics::TextureFactory* m_textures = nullptr;
    Fernhouse::Graphics::FontManager* m_fonts = nullptr;
    Fernhouse::Sound::SoundManager* m_sound = nullptr;
    Tarvo::GameEngine* m_engine = nullptr;
};

} // namespace RoundSupport
