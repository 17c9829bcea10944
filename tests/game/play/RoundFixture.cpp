#include "tests/game/play/RoundFixture.h"

#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/base/Random.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

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

// The registrations the game makes for a round.
const char* const GameSounds[][2] = {
    {"eatNormal", "sounds/wormEatNormal.wav"},
    {"eatRotten", "sounds/wormEatRotten.wav"},
    {"eatBeer", "sounds/wormEatBeer.wav"},
    {"eatTurbo", "sounds/wormEatTurbo.wav"},
    {"eatSuper", "sounds/wormEatSuper.wav"},
    {"eatCake", "sounds/wormEatCake.wav"},
    {"die", "sounds/wormDie.wav"},
    {"move", "sounds/wormMove.wav"},
};

class Sheet
{
public:
    Sheet(int width, int height) : m_width(width), m_pixels(static_cast<std::size_t>(width * height) * 4, 0)
    {
    }

    void fillTile(int tile, const Color& color)
    {
        const int left = tile % Tile * Tile;
        const int top = tile / Tile * Tile;
        for (int y = top; y < top + Tile; ++y)
        {
            for (int x = left; x < left + Tile; ++x)
            {
                const auto at = static_cast<std::size_t>(y * m_width + x) * 4;
                m_pixels[at] = color.r;
                m_pixels[at + 1] = color.g;
                m_pixels[at + 2] = color.b;
                m_pixels[at + 3] = color.a;
            }
        }
    }

    void save(const std::string& path) const
    {
        TestSupport::writePng(path, m_width, static_cast<int>(m_pixels.size() / 4) / m_width, m_pixels);
    }

private:
    int m_width;
    std::vector<std::uint8_t> m_pixels;
};

void makeTileset(const std::string& path)
{
    Sheet sheet(SheetSide, SheetSide);
    for (int kind = 0; kind < Tarvo::Apple::KindCount; ++kind)
    {
        sheet.fillTile(kind, AppleColors[kind]);
    }
    sheet.fillTile(GroundTile, GroundColor);
    sheet.fillTile(WallTile, WallColor);
    sheet.save(path);
}

void makeSkin(const std::string& path)
{
    constexpr int Tiles = 20;
    constexpr int TilesPerDirection = 5;
    Sheet sheet(SheetSide, 4 * Tile);
    for (int tile = 0; tile < Tiles; ++tile)
    {
        const int role = tile % TilesPerDirection;
        sheet.fillTile(tile, role == 0 ? HeadColor : (role == TilesPerDirection - 1 ? TailColor : BodyColor));
    }
    sheet.save(path);
}

} // namespace

void registerGameSounds(Fernhouse::Sound::SoundManager& sound)
{
    for (const auto& entry : GameSounds)
    {
        sound.addSound("game", entry[0], entry[1], true);
    }
}

Fernhouse::IO::KeySet arrowKeys()
{
    Fernhouse::IO::KeySet keys;
    keys.left = SDLK_LEFT;
    keys.right = SDLK_RIGHT;
    keys.up = SDLK_UP;
    keys.down = SDLK_DOWN;
    return keys;
}

Fernhouse::IO::KeySet letterKeys()
{
    Fernhouse::IO::KeySet keys;
    keys.left = SDLK_a;
    keys.right = SDLK_d;
    keys.up = SDLK_w;
    keys.down = SDLK_s;
    return keys;
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
    fs::create_directory_symlink(source / "graphics" / "fonts", root / "graphics" / "fonts");
    fs::create_directory_symlink(source / "sounds", root / "sounds");
    for (const char* picture : {"singleplayer_back.png", "twoplayer_back.png"})
    {
        fs::create_symlink(source / "graphics" / picture, root / "graphics" / picture);
    }
    for (const auto& skin : fs::directory_iterator(source / "graphics" / "skins"))
    {
        fs::create_symlink(skin.path(), root / "graphics" / "skins" / skin.path().filename());
    }
    makeTileset((root / "tiles.png").string());
    makeSkin((root / "graphics" / "skins" / (FlatSkin + ".png")).string());
    m_cwd = std::make_unique<TestSupport::ScopedWorkingDirectory>(root);

    m_time = new Fernhouse::Base::GameTime();
    m_router = new Fernhouse::Base::EventRouter();
    m_textures = new Fernhouse::Graphics::TextureFactory();
    m_fonts = new Fernhouse::Graphics::FontManager("graphics/fonts/", ".png");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    m_sound = new Fernhouse::Sound::SoundManager(44100, AUDIO_S16LSB, 16, 2048);
    registerGameSounds(*m_sound);
    m_sound->pushContext("menu");
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
            if (c >= '1' && c <= '9')
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
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

const std::vector<Tarvo::Apple*>& RoundTest::apples() const
{
    return m_engine->getApplePainter()->getApples();
}

Tarvo::Apple* RoundTest::placeApple(std::int32_t kind, const Fernhouse::Base::Point& cell)
{
    stopSpawning();
    Tarvo::Apple* apple = apples().front();
    apple->setKind(kind);
    apple->setCell(cell);
    return apple;
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
