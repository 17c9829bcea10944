#include "tests/game/play/RoundFixture.h"

#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/base/Random.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/frontend/GameSounds.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include "tests/support/PngWriter.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstring>
#include <filesystem>

namespace RoundSupport
{

namespace
{

namespace fs = std::filesystem;
using Fernhouse::Base::Color;

constexpr int Tile = 16;
constexpr int SheetSide = 256;

// A sheet of 16-pixel tiles, 16 to a row, each filled with the colour it is given.
template <typename ColorOf> void writeSheet(const std::string& path, int rows, ColorOf colorOf)
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < rows * Tile; ++y)
    {
        for (int x = 0; x < SheetSide; ++x)
        {
            const Color c = colorOf(y / Tile * (SheetSide / Tile) + x / Tile);
            rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
        }
    }
    TestSupport::writePng(path, SheetSide, rows * Tile, rgba);
}

} // namespace

void registerGameSounds(Fernhouse::Sound::SoundManager& sound)
{
    Tarvo::GameSounds::registerAll(&sound);
}

::testing::AssertionResult showsAll(const std::vector<Probe>& probes, int tolerance)
{
    for (const Probe& p : probes)
    {
        const auto got = TestSupport::pixel(p.x, p.y);
        if (!TestSupport::rgbIs(got, p.color.r, p.color.g, p.color.b, tolerance))
        {
            return TestSupport::rgbIs(got, p.color.r, p.color.g, p.color.b, tolerance)
                   << " at " << p.x << "," << p.y;
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::string> field(int w, int h, const std::vector<Mark>& marks)
{
    std::vector<std::string> rows(static_cast<std::size_t>(h),
                                  "#" + std::string(static_cast<std::size_t>(w - 2), '.') + "#");
    rows.front() = rows.back() = std::string(static_cast<std::size_t>(w), '#');
    for (const Mark& m : marks)
    {
        rows[static_cast<std::size_t>(m.y)][static_cast<std::size_t>(m.x)] = m.c;
    }
    return rows;
}

Fernhouse::IO::KeySet arrowKeys()
{
    return {false, SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_UNKNOWN, SDLK_UNKNOWN};
}

Fernhouse::IO::KeySet letterKeys()
{
    return {false, SDLK_a, SDLK_d, SDLK_w, SDLK_s, SDLK_UNKNOWN, SDLK_UNKNOWN};
}

void RoundTest::SetUp()
{
    GLTest::SetUp();
    if (HasFatalFailure())
    {
        return;
    }
    // The screen's blending, which GLTest switches off.
    glEnable(GL_BLEND);

    const fs::path source(TARVO_SOURCE_DIR);
    const fs::path root = m_dir.path();
    fs::create_directories(root / "graphics" / "skins");
    fs::create_directories(root / "maps");
    fs::create_symlink(source / "sounds", root / "sounds");
    // Only what every round reads: other fixtures link more of the game's pictures.
    for (const char* name : {"fonts", "singleplayer_back.png", "twoplayer_back.png"})
    {
        fs::create_symlink(source / "graphics" / name, root / "graphics" / name);
    }
    for (const auto& skin : fs::directory_iterator(source / "graphics" / "skins"))
    {
        fs::create_symlink(skin.path(), root / "graphics" / "skins" / skin.path().filename());
    }
    writeSheet((root / "tiles.png").string(), SheetSide / Tile, [](int tile) {
        return tile < Tarvo::Apple::KindCount
                   ? AppleColors[tile]
                   : (tile == GroundTile ? GroundColor : (tile == WallTile ? WallColor : Color()));
    });
    // Five tiles per direction: head, three body pieces, tail.
    writeSheet((root / "graphics" / "skins" / (FlatSkin + ".png")).string(), 4, [](int tile) {
        const int role = tile % 5;
        return tile >= 20 ? Color() : (role == 0 ? HeadColor : (role == 4 ? TailColor : BodyColor));
    });
    m_cwd = std::make_unique<TestSupport::ScopedWorkingDirectory>(root);

    m_time = new Fernhouse::Base::GameTime();
    m_router = new Fernhouse::Base::EventRouter();
    m_textures = new Fernhouse::Graphics::TextureFactory();
    m_fonts = new Fernhouse::Graphics::FontManager("graphics/fonts/", ".png");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    m_sound = new Fernhouse::Sound::SoundManager(44100, AUDIO_S16LSB, 16, 2048);
    registerGameSounds(*m_sound);
    // Below the rounds' context, as the menu's is in the game, but without its song.
    m_sound->pushContext("fixture");
    // The mixer plays in real time on its own thread, so a short sound may be over before a busy machine
    // gets to look. Held still, and emptied before each frame, it plays exactly what the last frame began.
    SDL_PauseAudio(1);
    // The application starts the clock once, at start-up.
    m_time->start();
    // Where apples land depends on the sequence: start it as a fresh process does, whatever ran before.
    Fernhouse::Base::seedRandom(1);
}

void RoundTest::TearDown()
{
    dropEngine();
    delete m_sound;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    delete m_fonts;
    delete m_textures;
    delete m_router;
    delete m_time;
    m_cwd.reset();
    GLTest::TearDown();
}

std::string RoundTest::writeMap(const std::string& name, const std::vector<std::string>& rows,
                                std::int32_t layers)
{
    const auto height = static_cast<std::int32_t>(rows.size());
    const auto width = static_cast<std::int32_t>(rows.front().size());
    Tarvo::MapFile map(layers, width, height);
    map.setName(name);
    map.setGraphicsFileName("tiles.png");
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            if (c != ' ')
            {
                map.setTile(0, x, y, GroundTile);
            }
            if (c == '#')
            {
                map.setTile(1, x, y, WallTile);
            }
            if (c > '0' && c < 'a')
            {
                map.setTile(2, x, y, c - '0');
            }
        }
    }
    const std::string path = "maps/" + name + ".map";
    map.save(path);
    return path;
}

void RoundTest::dropEngine()
{
    if (m_engine != nullptr)
    {
        m_router->removeHandler(m_engine);
        delete m_engine;
        m_engine = nullptr;
    }
}

Tarvo::GameEngine& RoundTest::makeEngine(const std::string& mapPath)
{
    dropEngine();
    m_engine = new Tarvo::GameEngine(mapPath, m_sound);
    return *m_engine;
}

void RoundTest::addHuman(const std::string& name, const Fernhouse::IO::KeySet& keys)
{
    auto* control = new Fernhouse::IO::KeyboardControl(keys);
    control->setRegistered(true);
    m_engine->addPlayer(name, control, FlatSkin, Tarvo::WormSprite::ControlAbsolute);
}

void RoundTest::addComputer(const std::string& name, std::vector<std::uint32_t> plan)
{
    m_engine->addPlayer(name, new PlanControl(std::move(plan)), FlatSkin, Tarvo::WormSprite::ControlAbsolute);
}

void RoundTest::play(const std::vector<std::string>& rows, int humans, std::int32_t type, std::int32_t goal,
                     std::int32_t limit, int computers, const std::string& background)
{
    makeEngine(writeMap("round", rows)).setGame(type, goal, limit);
    for (int i = 0; i < humans; ++i)
    {
        addHuman(i == 0 ? "Tarvo" : "Piggy", i == 0 ? arrowKeys() : letterKeys());
    }
    for (int i = 0; i < computers; ++i)
    {
        addComputer("Buffy", {});
    }
    startRound(background);
}

void RoundTest::startRound(const std::string& background)
{
    // Registered after the controls, so the engine sees every key first.
    m_router->addHandler(m_engine);
    m_engine->start(background);
    frame(0);
}

void RoundTest::passStartDelay(std::uint32_t frameMs)
{
    // Bounded: a round that ended during the delay never clears it.
    const std::uint32_t limit = m_clock.now() + 2 * Tarvo::GameEngine::StartDelay;
    while (m_engine->getReadyTime() != 0 && !m_engine->isFinished() && m_clock.now() < limit)
    {
        frame(frameMs);
    }
    EXPECT_EQ(m_engine->getReadyTime(), 0u) << "the start delay did not end";
}

void RoundTest::frame(std::uint32_t ms, bool draw)
{
    m_clock.advance(ms);
    Mix_HaltChannel(-1);
    m_router->poll();
    m_time->update();
    m_engine->update();
    if (draw)
    {
        redraw();
    }
}

void RoundTest::redraw()
{
    // As the screen clears each frame.
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.375f, 0.375f, 0.0f);
    m_engine->draw();
}

void RoundTest::frames(int count, std::uint32_t ms)
{
    for (int i = 0; i < count; ++i)
    {
        frame(ms);
    }
}

void RoundTest::pressKey(SDLKey key)
{
    SDL_Event event{};
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

const std::vector<Tarvo::Apple*>& RoundTest::apples() const
{
    return m_engine->getApplePainter()->getApples();
}

Tarvo::Apple* RoundTest::addApple(std::int32_t kind, const Fernhouse::Base::Point& cell)
{
    Tarvo::ApplePainter* painter = m_engine->getApplePainter();
    Tarvo::ApplePainter::Weights only{};
    only[static_cast<std::size_t>(kind)] = 1;
    painter->setWeights(only);
    painter->spawnApple();
    painter->getApples().back()->setCell(cell);
    stopSpawning();
    return painter->getApples().back();
}

void RoundTest::clearApples()
{
    for (Tarvo::Apple* apple : apples())
    {
        apple->setKind(Tarvo::Apple::Gone);
    }
    stopSpawning();
}

void RoundTest::stopSpawning()
{
    m_engine->getApplePainter()->setWeights({0, 0, 0, 0, 0, 0});
}

bool RoundTest::isPlaying(const std::string& soundFile) const
{
    Mix_Chunk* expected = Mix_LoadWAV(soundFile.c_str());
    if (expected == nullptr)
    {
        return false;
    }
    bool found = false;
    for (int channel = 0; channel < Mix_AllocateChannels(-1) && !found; ++channel)
    {
        const Mix_Chunk* chunk = Mix_Playing(channel) != 0 ? Mix_GetChunk(channel) : nullptr;
        found = chunk != nullptr && chunk->alen == expected->alen &&
                std::memcmp(chunk->abuf, expected->abuf, expected->alen) == 0;
    }
    Mix_FreeChunk(expected);
    return found;
}

std::uint32_t RoundTest::gameTime() const
{
    return m_time->getTime();
}

std::string RoundTest::screenshotPath(const std::string& name)
{
    const fs::path directory(TARVO_SCREENSHOT_DIR);
    fs::create_directories(directory);
    return (directory / (name + ".png")).string();
}

} // namespace RoundSupport
