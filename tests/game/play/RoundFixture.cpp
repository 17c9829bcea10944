#include "tests/game/play/RoundFixture.h"

#include "game/frontend/GameSounds.h"

namespace RoundSupport
{

namespace fs = std::filesystem;

void writePicture(const std::string& path, int width, int height,
                  const std::function<Color(int, int)>& colorAt, int channels)
{
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i)
    {
        const Color c = colorAt(i % width, i / width);
        pixels.insert(pixels.end(), &c.r, &c.r + channels);
    }
    TestSupport::writePng(path, width, height, pixels, channels);
}

::testing::AssertionResult showsAll(const std::vector<Probe>& probes, int tolerance)
{
    for (const Probe& p : probes)
    {
        if (auto shown =
                TestSupport::rgbIs(TestSupport::pixel(p.x, p.y), p.color.r, p.color.g, p.color.b, tolerance);
            !shown)
        {
            return shown << " at " << p.x << "," << p.y;
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::string> field(int w, int h, const std::vector<Mark>& marks)
{
    std::vector<std::string> rows(h, "#" + std::string(w - 2, '.') + "#");
    rows.front() = rows.back() = std::string(w, '#');
    for (const Mark& m : marks)
    {
        rows[m.y][m.x] = m.c;
    }
    return rows;
}

void RoundTest::SetUp()
{
    GLTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    glEnable(GL_BLEND); // the screen's, which GLTest switches off
    const fs::path source(TestSupport::SourceDir), root = m_dir.path();
    fs::create_directories(root / "graphics" / "skins");
    fs::create_directories(root / "maps");
    fs::create_symlink(source / "sounds", root / "sounds");
    for (const char* name :
         {"fonts", "singleplayer_back.png", "twoplayer_back.png", "scoreboard_back.png", "highscore.png"})
    {
        fs::create_symlink(source / "graphics" / name, root / "graphics" / name);
    }
    for (const auto& skin : fs::directory_iterator(source / "graphics" / "skins"))
    {
        fs::create_symlink(skin.path(), root / "graphics" / "skins" / skin.path().filename());
    }
    // Sheets 256 pixels wide of 16-pixel tiles, each of one colour.
    writePicture((root / "tiles.png").string(), 256, 256, [](int x, int y) {
        const int tile = y / 16 * 16 + x / 16;
        return tile < 6 ? AppleColors[tile] : (tile == 16 ? GroundColor : (tile == 17 ? WallColor : Color()));
    });
    // Five tiles per direction: head, three body pieces, tail.
    writePicture((root / "graphics" / "skins" / (FlatSkin + ".png")).string(), 256, 64, [](int x, int y) {
        const int tile = y / 16 * 16 + x / 16, role = tile % 5;
        return tile >= 20 ? Color() : (role == 0 ? HeadColor : Color(20, 20, role == 4 ? 100 : 200, 255));
    });
    m_cwd = std::make_unique<TestSupport::ScopedWorkingDirectory>(root);
    m_time = new Fernhouse::Base::GameTime();
    m_router = new Fernhouse::Base::EventRouter();
    m_textures = new Fernhouse::Graphics::TextureFactory();
    m_fonts = new Fernhouse::Graphics::FontManager("graphics/fonts/", ".png");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    m_sound = new Fernhouse::Sound::SoundManager(44100, AUDIO_S16LSB, 16, 2048);
    Tarvo::GameSounds::registerAll(m_sound);
    m_sound->pushContext("fixture"); // below the rounds' context, as the menu's is
    SDL_PauseAudio(1); // the mixer's thread held still, and its channels emptied before each frame
    m_time->start();
    Fernhouse::Base::seedRandom(1); // as a fresh process starts, whatever ran before
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
    const auto height = static_cast<std::int32_t>(rows.size()),
               width = static_cast<std::int32_t>(rows[0].size());
    Tarvo::MapFile map(layers, width, height);
    map.setName(name);
    map.setGraphicsFileName("tiles.png");
    for (std::int32_t i = 0; i < width * height; ++i)
    {
        const char c = rows[i / width][i % width];
        map.setTile(0, i % width, i / width, c == ' ' ? Tarvo::MapFile::EmptyCell : 16);
        map.setTile(1, i % width, i / width, c == '#' ? 17 : Tarvo::MapFile::EmptyCell);
        map.setTile(2, i % width, i / width, c > '0' && c < 'a' ? c - '0' : Tarvo::MapFile::EmptyCell);
    }
    map.save("maps/" + name + ".map");
    return map.getFileName();
}

Tarvo::GameEngine& RoundTest::makeEngine(const std::string& mapPath)
{
    dropEngine();
    return *(m_engine = new Tarvo::GameEngine(mapPath, m_sound));
}

void RoundTest::addHuman(const std::string& name, const Fernhouse::IO::KeySet& keys, const std::string& skin)
{
    auto* control = new Fernhouse::IO::KeyboardControl(keys);
    control->setRegistered(true);
    m_engine->addPlayer(name, control, skin, Tarvo::WormSprite::ControlAbsolute);
}

void RoundTest::addComputer(const std::string& name)
{
    m_engine->addPlayer(name, new Fernhouse::IO::Control, FlatSkin, Tarvo::WormSprite::ControlAbsolute);
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
        addComputer("Buffy");
    }
    startRound(background);
}

void RoundTest::startRound(const std::string& background)
{
    m_router->addHandler(m_engine); // after the controls, so the engine sees every key first
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
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0.375f, 0.375f, 0.0f);
        m_engine->draw();
    }
}

void RoundTest::pressKey(SDLKey key)
{
    SDL_Event event{};
    event.key = {SDL_KEYDOWN, 0, SDL_PRESSED, {0, key, KMOD_NONE, 0}};
    SDL_PushEvent(&event);
}

Tarvo::Apple* RoundTest::addApple(std::int32_t kind, const Fernhouse::Base::Point& cell)
{
    Tarvo::ApplePainter::Weights only{};
    only[static_cast<std::size_t>(kind)] = 1;
    m_engine->getApplePainter()->setWeights(only);
    m_engine->getApplePainter()->spawnApple();
    apples().back()->setCell(cell);
    stopSpawning();
    return apples().back();
}

void RoundTest::clearApples()
{
    for (Tarvo::Apple* apple : apples())
    {
        apple->setKind(Tarvo::Apple::Gone);
    }
    stopSpawning();
}

} // namespace RoundSupport
