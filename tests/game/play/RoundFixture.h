#pragma once

#include "engine/base/Color.h"
#include "engine/base/Point.h"
#include "engine/io/Control.h"
#include "engine/io/KeySet.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Fernhouse::Base
{
class EventRouter;
class GameTime;
} // namespace Fernhouse::Base

namespace Fernhouse::Graphics
{
class FontManager;
class TextureFactory;
} // namespace Fernhouse::Graphics

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{
class Apple;
class GameEngine;
} // namespace Tarvo

namespace RoundSupport
{

// Colours of the flat test tileset and skin, so that read-back pixels name what was drawn.
constexpr Fernhouse::Base::Color AppleColors[6] = {{200, 0, 0, 255},    {255, 215, 0, 255},
                                                   {90, 60, 20, 255},   {0, 200, 255, 255},
                                                   {230, 160, 30, 255}, {255, 120, 200, 255}};
constexpr Fernhouse::Base::Color GroundColor{40, 120, 40, 255};
constexpr Fernhouse::Base::Color WallColor{120, 120, 120, 255};
constexpr Fernhouse::Base::Color HeadColor{240, 240, 240, 255};
constexpr Fernhouse::Base::Color BodyColor{20, 20, 200, 255};
constexpr Fernhouse::Base::Color TailColor{200, 20, 200, 255};
// Tiles of the test tileset: 0 to 5 are the apples, every tile not named here is see-through.
constexpr std::int32_t GroundTile = 16;
constexpr std::int32_t WallTile = 17;
// The skin made of HeadColor, BodyColor and TailColor.
const std::string FlatSkin = "flat";

// A computer player that follows a plan: one answer per cell step, then no request.
class PlanControl final : public Fernhouse::IO::Control
{
public:
    explicit PlanControl(std::vector<std::uint32_t> plan) : m_plan(std::move(plan)) {}

    std::uint32_t getDirection() override { return m_next < m_plan.size() ? m_plan[m_next++] : 0; }

private:
    std::vector<std::uint32_t> m_plan;
    std::size_t m_next = 0;
};

// A pixel of the current frame and the colour it must have.
struct Probe
{
    int x, y;
    Fernhouse::Base::Color color;
};

::testing::AssertionResult showsAll(const std::vector<Probe>& probes, int tolerance = 0);

// A cell of a field and the map character put there.
struct Mark
{
    int x;
    int y;
    char c;
};

// A walled field of w x h cells with ground inside and the marked cells changed.
std::vector<std::string> field(int w, int h, const std::vector<Mark>& marks = {});

// Arrow keys, and W A S D for a second player.
Fernhouse::IO::KeySet arrowKeys();
Fernhouse::IO::KeySet letterKeys();

// Every sound and song the game registers (Tarvo::GameSounds), sounds loaded now.
void registerGameSounds(Fernhouse::Sound::SoundManager& sound);

// Everything a round needs, as the application provides it: the shared GL window, a data directory
// (fonts, skins, backgrounds and sounds of the repository, plus a flat test tileset and skin) as the
// working directory, a fake tick source driving the game clock, the event router, texture factory, font
// manager and a sound manager on SDL's dummy driver with the game's sounds registered.
class RoundTest : public TestSupport::GLTest
{
protected:
    // The real time at which every test starts.
    static constexpr std::uint32_t StartTicks = 100000;

    void SetUp() override;
    void TearDown() override;

    // Writes maps/<name>.map from rows of text: '#' wall, '.' ground, ' ' nothing, any character c from
    // '1' up to 'a' a start point numbered c - '0' on ground, other letters ground. Three layers unless told
    // otherwise. Returns the path.
    std::string writeMap(const std::string& name, const std::vector<std::string>& rows,
                         std::int32_t layers = 3);

    // A new engine on the map, replacing the one before; deleted by TearDown.
    Tarvo::GameEngine& makeEngine(const std::string& mapPath);
    // Takes the engine out of the router and deletes it, as the front end does after a round.
    void dropEngine();
    // A registered keyboard control, handed to the engine.
    void addHuman(const std::string& name, const Fernhouse::IO::KeySet& keys);
    void addComputer(const std::string& name, std::vector<std::uint32_t> plan);
    // A round on the rows, as setGame sets it: humans at the first start points (arrows, then letters),
    // then computers without a plan; started.
    void play(const std::vector<std::string>& rows, int humans, std::int32_t type = 0, std::int32_t goal = 0,
              std::int32_t limit = 0, int computers = 0, const std::string& background = std::string());
    // start, then the first frame.
    void startRound(const std::string& background = std::string());
    // Frames of the given real length until the start delay is over.
    void passStartDelay(std::uint32_t frameMs = 50);

    // One pass of the frame loop: ms of real time pass, events are dispatched, the clock reads the time,
    // the engine steps and, when asked, the frame is drawn.
    void frame(std::uint32_t ms, bool draw = false);
    void frames(int count, std::uint32_t ms);
    // Draws the engine again without a step, as the screen draws it.
    void redraw();
    void pressKey(SDLKey key);

    // The live apples; the first frame of a round spawns one.
    const std::vector<Tarvo::Apple*>& apples() const;
    // A fresh apple of the kind on the cell; no later spawn is ever seen.
    Tarvo::Apple* addApple(std::int32_t kind, const Fernhouse::Base::Point& cell);
    // Every apple gone, and no later spawn ever seen.
    void clearApples();
    void stopSpawning();

    // Whether the last frame started the named file's sample on an effect channel.
    bool isPlaying(const std::string& soundFile) const;

    std::uint32_t gameTime() const;

    Tarvo::GameEngine& engine() { return *m_engine; }

    TestSupport::FakeClock& clock() { return m_clock; }

    Fernhouse::Base::EventRouter& router() { return *m_router; }

    Fernhouse::Sound::SoundManager* soundManager() { return m_sound; }

    const TestSupport::TempDir& dir() const { return m_dir; }

    // The directory for screenshots a person can look at: under the build tree.
    static std::string screenshotPath(const std::string& name);

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
