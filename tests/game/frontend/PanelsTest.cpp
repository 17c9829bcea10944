#include "engine/gui/SlideBar.h"

#include "game/frontend/AudioPanel.h"
#include "game/frontend/PlayerConfig.h"
#include "game/frontend/VideoPanel.h"
#include "game/progress/Configuration.h"

#include "tests/game/frontend/FrontFixture.h"

#include <algorithm>

using Fernhouse::IO::KeySet;
using namespace Fernhouse::GUI;
using namespace Tarvo;

namespace
{

class PanelTest : public FrontSupport::AppTest
{
protected:
    template <typename Panel, typename Argument> Panel& open(Argument argument)
    {
        m_panel = std::make_unique<Panel>(&m_configuration, argument);
        router().addHandler(m_panel.get());
        return static_cast<Panel&>(*m_panel);
    }

    void close()
    {
        router().removeHandler(m_panel.get());
        m_panel.reset();
    }

    bool press(SDLKey key, bool shift = false) { return router().keyDown(key, false, shift, false); }

    std::string focused() const
    {
        std::string texts;
        for (Fernhouse::Base::Entity* row : m_panel->getChildren())
        {
            const auto* label = dynamic_cast<const Label*>(row);
            const bool lit = label != nullptr && label->getColor() == SettingsPanel::FocusColor;
            texts += lit ? label->getText() : "";
        }
        return texts;
    }

    const KeySet& keys(bool first) const
    {
        return first ? m_configuration.getPlayer1Keys() : m_configuration.getPlayer2Keys();
    }

    Configuration m_configuration;
    std::unique_ptr<Widget> m_panel;
};

std::string row(const std::string& caption, const std::string& key)
{
    return caption + std::string(15 - key.size(), '.') + key;
}

} // namespace

// The control on the focused row alone is registered; closing, from any row, frees the panel's textures.
TEST_F(PanelTest, KeysMoveTheFocusAndOnlyReturnOnTheBackRowEndsAPanel)
{
    // key, shift, heard, the start of the lit row's text, and whether a row control is registered
    using Press = std::tuple<SDLKey, bool, bool, const char*, bool>;
    constexpr SDLKey Up = SDLK_UP, Down = SDLK_DOWN, Left = SDLK_LEFT, Right = SDLK_RIGHT;
    constexpr SDLKey Ret = SDLK_RETURN, Esc = SDLK_ESCAPE;
    const std::vector<Press> audio = {
        {Down, 0, 1, "SOUND", 1}, {Down, 0, 1, "BACK", 0}, {Left, 0, 0, "BACK", 0},
        {Down, 0, 1, "MUSIC", 1}, {Up, 0, 1, "BACK", 0},   {Up, 0, 1, "SOUND", 1},
        {Left, 0, 1, "SOUND", 1}, {Ret, 0, 1, "SOUND", 1}, {Esc, 0, 0, "SOUND", 1},
        {Down, 1, 0, "SOUND", 1}, {Down, 0, 1, "BACK", 0}, {Ret, 0, 1, "BACK", 0}};
    const std::vector<Press> player = {{Up, 0, 1, "BACK", 0},      {Down, 0, 1, "RELATIVE", 1},
                                       {Ret, 0, 1, "RELATIVE", 1}, {Left, 0, 1, "RELATIVE", 1},
                                       {Down, 0, 1, "LEFT.", 0},   {Up, 0, 1, "RELATIVE", 1},
                                       {Up, 0, 1, "BACK", 0},      {Esc, 0, 0, "BACK", 0},
                                       {Ret, 1, 0, "BACK", 0},     {Ret, 0, 1, "BACK", 0}};
    const std::vector<Press> video = {{Ret, 0, 1, "FULLSCREEN", 1}, {Down, 0, 1, "BACK", 0},
                                      {Right, 0, 0, "BACK", 0},     {Ret, 1, 0, "BACK", 0},
                                      {Up, 0, 1, "FULLSCREEN", 1},  {Up, 0, 1, "BACK", 0},
                                      {Ret, 0, 1, "BACK", 0}};
    const std::pair<std::function<Widget&()>, const std::vector<Press>*> kinds[] = {
        {[this]() -> Widget& { return open<AudioPanel>(m_app.getSoundManager()); }, &audio},
        {[this]() -> Widget& { return open<PlayerConfig>(true); }, &player},
        {[this]() -> Widget& { return open<VideoPanel>(m_app.getScreen()); }, &video}};
    const Label fontHolder("comic_medium"); // so that only a panel's own textures come and go
    const std::size_t textureMaps = m_app.getTextureFactory()->getTextureMapCount();
    for (const auto& [openPanel, presses] : kinds)
    {
        const Widget& panel = openPanel();
        for (const Press& p : *presses)
        {
            const auto& [key, shift, heard, focus, control] = p;
            SCOPED_TRACE(std::string(std::get<3>(presses->front())) + std::to_string(&p - presses->data()));
            EXPECT_EQ(press(key, shift), heard);
            EXPECT_EQ(std::tuple(focused().rfind(focus, 0), router().getHandlers().size(), panel.isDone()),
                      std::tuple(0u, control ? 2u : 1u, &p == &presses->back()))
                << focused();
        }
        close();
        openPanel();
        close();
        EXPECT_EQ(std::pair(router().getHandlers().size(), m_app.getTextureFactory()->getTextureMapCount()),
                  std::pair(0ul, textureMaps));
    }
}

TEST_F(PanelTest, AudioAndVideoChoicesTakeEffectInTheUpdateThatStoresThem)
{
    m_configuration.setMusicVolume(90);
    m_configuration.setSoundVolume(50);
    AudioPanel& audio = open<AudioPanel>(m_app.getSoundManager());
    const std::tuple<SDLKey, unsigned, unsigned> steps[] = {
        {SDLK_RIGHT, 100, 50}, {SDLK_RIGHT, 100, 50}, {SDLK_DOWN, 100, 50}, {SDLK_LEFT, 100, 40}};
    for (const auto& [key, music, effects] : steps)
    {
        press(key);
        audio.update();
        EXPECT_EQ(std::tuple(m_configuration.getMusicVolume(), m_configuration.getSoundVolume()),
                  std::tuple(music, effects));
    }
    EXPECT_EQ(std::tuple(Mix_VolumeMusic(-1), Mix_Volume(-1, -1), audio.getMusicBar()->getColor(),
                         audio.getSoundBar()->getColor()),
              std::tuple(MIX_MAX_VOLUME, MIX_MAX_VOLUME * 40 / 100, AudioPanel::NormalBarColor,
                         AudioPanel::FocusBarColor));
    close();
    m_configuration.setFullscreen(true);
    VideoPanel& video = open<VideoPanel>(m_app.getScreen());
    for (const auto& [key, on] : {std::pair{SDLK_RIGHT, false}, {SDLK_LEFT, true}, {SDLK_RIGHT, false}})
    {
        EXPECT_TRUE(press(key));
        video.update();
        EXPECT_EQ(std::pair(m_configuration.isFullscreen(), m_app.getScreen()->isFullscreen()),
                  std::pair(on, on));
    }
}

// A key name too wide for its row would end the game when drawn.
TEST_F(PanelTest, PlayerSetUpTakesOnlyFreeAssignableKeysNamedToFitAndLeavingWritesThemForItsPlayerOnly)
{
    const auto assignable = PlayerConfig::assignableKeys();
    const SDLKey menuKeys[] = {SDLK_SPACE,    SDLK_RETURN,    SDLK_ESCAPE, SDLK_TAB,      SDLK_F1,
                               SDLK_KP_ENTER, SDLK_KP_EQUALS, SDLK_LSHIFT, SDLK_QUESTION, SDLK_AT};
    EXPECT_TRUE(std::none_of(std::begin(menuKeys), std::end(menuKeys),
                             [&](SDLKey k) { return assignable.count(k); }));
    Label probe("comic_medium");
    for (const auto& [key, name] : assignable)
    {
        EXPECT_LE(name.name.size(), static_cast<std::size_t>(PlayerConfig::CaptionWidth)) << key;
        probe.setText(PlayerConfig::rowText("LEFT.", name.name));
        EXPECT_NO_THROW(probe.draw()) << name.name;
    }
    KeySet second = keys(false);
    second.action1 = SDLK_q;
    m_configuration.setPlayer2Keys(second);
    m_configuration.setPlayer2Relative(1);
    PlayerConfig& panel = open<PlayerConfig>(false);
    const auto rows = [&panel] {
        return panel.getLeftLabel()->getText() + panel.getRightLabel()->getText() +
               panel.getUpLabel()->getText() + panel.getDownLabel()->getText();
    };
    press(SDLK_RIGHT);
    press(SDLK_DOWN);
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_EQ(rows().substr(0, 20), row("LEFT.", "PRESS A KEY"));
    const std::tuple<SDLKey, bool, bool> refused[] = {
        {SDLK_UP, 0, 1}, {SDLK_q, 0, 1}, {SDLK_SPACE, 0, 0}, {SDLK_j, 1, 0}};
    for (const auto& [key, shift, heard] : refused)
    {
        EXPECT_EQ(std::tuple(press(key, shift), panel.isWaitingForKey(), panel.getFocus()),
                  std::tuple(heard, true, panel.getLeftLabel()))
            << key;
    }
    EXPECT_TRUE(press(SDLK_a) && !panel.isWaitingForKey());
    press(SDLK_DOWN);
    press(SDLK_RETURN);
    EXPECT_TRUE(press(SDLK_KP8));
    EXPECT_EQ(rows(), row("LEFT.", "A") + row("RIGHT", "KP8") + row("UP...", "W") + row("DOWN.", "S"));
    close();
    EXPECT_EQ(std::tuple(keys(false).left, keys(false).right, keys(false).action1, keys(false).buffered),
              std::tuple(SDLK_a, SDLK_KP8, SDLK_q, second.buffered));
    EXPECT_EQ(std::tuple(m_configuration.getPlayer2Relative(), keys(true).left), std::tuple(0u, SDLK_LEFT));
}
