#include "engine/base/Screen.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/gui/SlideBar.h"
#include "engine/sound/SoundManager.h"

#include "game/frontend/AudioPanel.h"
#include "game/frontend/PlayerConfig.h"
#include "game/frontend/VideoPanel.h"
#include "game/progress/Configuration.h"

#include "tests/game/frontend/FrontFixture.h"

#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

using Fernhouse::Base::Color;
using Fernhouse::GUI::Label;
using Fernhouse::GUI::Widget;
using Fernhouse::IO::KeySet;
using Tarvo::AudioPanel;
using Tarvo::PlayerConfig;
using Tarvo::SettingsPanel;
using Tarvo::VideoPanel;

namespace
{

// A settings panel placed and registered as the front end does it, editing a configuration.
class PanelTest : public FrontSupport::AppTest
{
protected:
    template <typename Panel, typename Argument> Panel& open(Argument argument)
    {
        auto* panel = new Panel(&m_configuration, argument);
        m_panel.reset(panel);
        m_panel->setPosition(250, 365);
        router().addHandler(m_panel.get());
        return *panel;
    }

    // The panel kinds, opened on this fixture's services.
    const std::vector<std::function<Widget&()>> m_openers{
        [this]() -> Widget& { return open<AudioPanel>(m_app.getSoundManager()); },
        [this]() -> Widget& { return open<PlayerConfig>(true); },
        [this]() -> Widget& { return open<VideoPanel>(m_app.getScreen()); }};

    void close()
    {
        router().removeHandler(m_panel.get());
        m_panel.reset();
    }

    bool press(SDLKey key, bool shift = false) { return router().keyDown(key, false, shift, false); }

    // The texts of the panel's rows drawn in the focus colour.
    std::string focused() const
    {
        std::string texts;
        for (Fernhouse::Base::Entity* row : m_panel->getChildren())
        {
            const auto* label = dynamic_cast<const Label*>(row);
            texts +=
                label != nullptr && label->getColor() == SettingsPanel::FocusColor ? label->getText() : "";
        }
        return texts;
    }

    Tarvo::Configuration m_configuration;
    std::unique_ptr<Widget> m_panel;
};

} // namespace

// Up and Down wrap through the rows and light only the focused one; the control on the focused row alone
// is registered; modified keys and Escape pass on, and only Return on the back row ends a panel.
TEST_F(PanelTest, KeysMoveTheFocusAndOnlyReturnOnTheBackRowEndsAPanel)
{
    struct Press
    {
        SDLKey key;
        bool shift;
        bool heard;
        const char* focus; // the start of the lit row's text
        bool control;      // a row control is registered
    };

    const std::vector<Press> audio = {
        {SDLK_DOWN, false, true, "SOUND", true},    {SDLK_DOWN, false, true, "BACK", false},
        {SDLK_LEFT, false, false, "BACK", false},   {SDLK_DOWN, false, true, "MUSIC", true},
        {SDLK_UP, false, true, "BACK", false},      {SDLK_UP, false, true, "SOUND", true},
        {SDLK_LEFT, false, true, "SOUND", true},    {SDLK_RETURN, false, true, "SOUND", true},
        {SDLK_ESCAPE, false, false, "SOUND", true}, {SDLK_DOWN, true, false, "SOUND", true},
        {SDLK_RIGHT, true, false, "SOUND", true},   {SDLK_DOWN, false, true, "BACK", false},
        {SDLK_RETURN, true, false, "BACK", false},  {SDLK_RETURN, false, true, "BACK", false}};
    const std::vector<Press> player = {
        {SDLK_UP, false, true, "BACK", false},        {SDLK_DOWN, false, true, "RELATIVE", true},
        {SDLK_RETURN, false, true, "RELATIVE", true}, {SDLK_LEFT, false, true, "RELATIVE", true},
        {SDLK_DOWN, false, true, "LEFT.", false},     {SDLK_DOWN, false, true, "RIGHT", false},
        {SDLK_DOWN, false, true, "UP...", false},     {SDLK_DOWN, false, true, "DOWN.", false},
        {SDLK_DOWN, false, true, "BACK", false},      {SDLK_ESCAPE, false, false, "BACK", false},
        {SDLK_RETURN, true, false, "BACK", false},    {SDLK_RETURN, false, true, "BACK", false}};
    const std::vector<Press> video = {
        {SDLK_RETURN, false, true, "FULLSCREEN", true}, {SDLK_DOWN, false, true, "BACK", false},
        {SDLK_RIGHT, false, false, "BACK", false},      {SDLK_ESCAPE, false, false, "BACK", false},
        {SDLK_RETURN, true, false, "BACK", false},      {SDLK_UP, false, true, "FULLSCREEN", true},
        {SDLK_UP, false, true, "BACK", false},          {SDLK_RETURN, false, true, "BACK", false}};
    const std::vector<Press>* walks[] = {&audio, &player, &video};

    Fernhouse::Graphics::TextureFactory& textures = *m_app.getTextureFactory();
    const Label fontHolder("comic_medium"); // so that only a panel's own textures come and go
    const std::size_t textureMaps = textures.getTextureMapCount();
    for (std::size_t kind = 0; kind < m_openers.size(); ++kind)
    {
        Widget& panel = m_openers[kind]();
        EXPECT_EQ(router().getHandlers().size(), 2u) << kind;
        for (const Press& p : *walks[kind])
        {
            SCOPED_TRACE(std::to_string(kind) + ": " + std::to_string(&p - walks[kind]->data()));
            EXPECT_EQ(press(p.key, p.shift), p.heard);
            EXPECT_EQ(focused().rfind(p.focus, 0), 0u) << focused();
            EXPECT_EQ(router().getHandlers().size(), p.control ? 2u : 1u);
            EXPECT_EQ(panel.isDone(), &p == &walks[kind]->back());
        }
        close();
        // Also when closed with its control focused, a panel leaves the router and frees its textures.
        m_openers[kind]();
        close();
        EXPECT_TRUE(router().getHandlers().empty());
        EXPECT_EQ(textures.getTextureMapCount(), textureMaps);
    }
}

TEST_F(PanelTest, AudioBarsSetTheVolumesHeardInTheSameUpdateWithinZeroTo100)
{
    m_configuration.setMusicVolume(90);
    m_configuration.setSoundVolume(50);
    AudioPanel& panel = open<AudioPanel>(m_app.getSoundManager());
    Fernhouse::Sound::SoundManager& sound = *m_app.getSoundManager();
    press(SDLK_RIGHT);
    panel.update();
    EXPECT_EQ(m_configuration.getMusicVolume(), 100u);
    EXPECT_EQ(sound.getMusicVolume(), 100u);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    press(SDLK_RIGHT);
    panel.update();
    EXPECT_EQ(m_configuration.getMusicVolume(), 100u);

    press(SDLK_DOWN);
    press(SDLK_LEFT);
    panel.update();
    EXPECT_EQ(m_configuration.getSoundVolume(), 40u);
    EXPECT_EQ(sound.getSoundVolume(), 40u);
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME * 40 / 100);
    EXPECT_EQ(m_configuration.getMusicVolume(), 100u);
    EXPECT_EQ(panel.getMusicBar()->getColor(), AudioPanel::NormalBarColor);
    EXPECT_EQ(panel.getSoundBar()->getColor(), AudioPanel::FocusBarColor);
    close();
    EXPECT_TRUE(router().getHandlers().empty());
}

TEST_F(PanelTest, VideoChoiceSwitchesTheScreenAtOnceAndIsStored)
{
    m_configuration.setFullscreen(true);
    VideoPanel& panel = open<VideoPanel>(m_app.getScreen());
    for (const auto& [key, on] : {std::pair{SDLK_RIGHT, false}, {SDLK_LEFT, true}, {SDLK_RIGHT, false}})
    {
        EXPECT_TRUE(press(key));
        panel.update();
        EXPECT_EQ(m_configuration.isFullscreen(), on);
        EXPECT_EQ(m_app.getScreen()->isFullscreen(), on);
    }
}

// Keys that steer nothing in the menus and that every font sheet can draw, or spelled out.
TEST_F(PanelTest, SeventyFiveKeysCanBeAssignedEachWithANameThatFitsItsRowAndDraws)
{
    const auto keys = PlayerConfig::assignableKeys();
    EXPECT_EQ(keys.size(), 75u);
    EXPECT_EQ(keys.at(SDLK_KP_MULTIPLY).name + keys.at(SDLK_LEFTBRACKET).name + keys.at(SDLK_BACKSLASH).name,
              "KP_MULTIPLYLEFTBRACKET\\");
    for (const SDLKey refused : {SDLK_SPACE, SDLK_RETURN, SDLK_ESCAPE, SDLK_TAB, SDLK_F1, SDLK_KP_ENTER,
                                 SDLK_KP_EQUALS, SDLK_LSHIFT, SDLK_QUESTION, SDLK_AT})
    {
        EXPECT_EQ(keys.count(refused), 0u) << refused;
    }
    // A name the font cannot draw would end the game from the panel's draw.
    Label probe("comic_medium");
    for (const auto& [key, name] : keys)
    {
        EXPECT_LE(name.name.size(), static_cast<std::size_t>(PlayerConfig::CaptionWidth)) << key;
        EXPECT_FALSE(name.used);
        probe.setText(PlayerConfig::rowText("LEFT.", name.name));
        EXPECT_NO_THROW(probe.draw()) << name.name;
    }
}

// While a row waits, keys either player uses are refused, and so are keys that cannot be assigned or come
// with a modifier; the row's own key was freed when it was chosen. Leaving writes the panel's copy of the
// keys and steering over its own player's, and only those.
TEST_F(PanelTest, PlayerSetUpTakesOnlyFreeKeysAndLeavingWritesThemForItsPlayerOnly)
{
    KeySet second = m_configuration.getPlayer2Keys();
    second.action1 = SDLK_q;
    m_configuration.setPlayer2Keys(second);
    m_configuration.setPlayer2Relative(1);
    PlayerConfig& panel = open<PlayerConfig>(false);
    EXPECT_EQ(panel.getLeftLabel()->getText(), "LEFT." + std::string(14, '.') + "A");
    EXPECT_EQ(panel.getRightLabel()->getText(), "RIGHT" + std::string(14, '.') + "D");
    EXPECT_EQ(panel.getUpLabel()->getText(), "UP..." + std::string(14, '.') + "W");
    EXPECT_EQ(panel.getDownLabel()->getText(), "DOWN." + std::string(14, '.') + "S");
    press(SDLK_RIGHT);
    press(SDLK_DOWN);
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_EQ(panel.getLeftLabel()->getText(), "LEFT." + std::string(4, '.') + "PRESS A KEY");
    for (const auto& [key, shift, heard] : {std::tuple{SDLK_UP, false, true},
                                            {SDLK_q, false, true},
                                            {SDLK_SPACE, false, false},
                                            {SDLK_j, true, false}})
    {
        EXPECT_EQ(press(key, shift), heard) << key;
        EXPECT_TRUE(panel.isWaitingForKey());
        EXPECT_EQ(panel.getFocus(), panel.getLeftLabel());
    }
    EXPECT_TRUE(press(SDLK_a));
    EXPECT_FALSE(panel.isWaitingForKey());
    EXPECT_EQ(panel.getLeftLabel()->getText(), "LEFT." + std::string(14, '.') + "A");
    press(SDLK_DOWN);
    press(SDLK_RETURN);
    EXPECT_TRUE(press(SDLK_KP8));
    EXPECT_EQ(panel.getRightLabel()->getText(), "RIGHT" + std::string(12, '.') + "KP8");
    EXPECT_FALSE(panel.getKeyNames().at(SDLK_d).used);
    EXPECT_TRUE(panel.getKeyNames().at(SDLK_KP8).used);
    close();
    EXPECT_EQ(m_configuration.getPlayer2Relative(), 0u);
    EXPECT_EQ(m_configuration.getPlayer2Keys().right, SDLK_KP8);
    EXPECT_EQ(m_configuration.getPlayer2Keys().left, SDLK_a);
    EXPECT_EQ(m_configuration.getPlayer2Keys().action1, SDLK_q);
    EXPECT_EQ(m_configuration.getPlayer2Keys().buffered, second.buffered);
    EXPECT_EQ(m_configuration.getPlayer1Keys().left, SDLK_LEFT);
    EXPECT_EQ(m_configuration.getPlayer1Relative(), 0u);

    // Leaving at once still writes the panel's copy, over whatever changed meanwhile.
    open<PlayerConfig>(true);
    KeySet first = m_configuration.getPlayer1Keys();
    first.up = SDLK_RIGHT;
    m_configuration.setPlayer1Keys(first);
    m_configuration.setPlayer1Relative(1);
    close();
    EXPECT_EQ(m_configuration.getPlayer1Keys().up, SDLK_UP);
    EXPECT_EQ(m_configuration.getPlayer1Relative(), 0u);
}
